#include "config/profile_record.h"

namespace varnel {

// The writable view is instantiated once here, so every accessor is compiled
// and the users of the header do not each instantiate them again. The const
// view is left to implicit instantiation: clang instantiates the setters that
// `requires kWritable` excludes when a whole class is instantiated explicitly.
template class BasicProfileRecord<std::uint8_t>;

}  // namespace varnel
