#include "config/profile_record.h"

namespace varnel {

// Both views are instantiated once here, so every accessor is compiled and
// the users of the header do not each instantiate them again.
template class BasicProfileRecord<std::uint8_t>;
template class BasicProfileRecord<const std::uint8_t>;

}  // namespace varnel
