// A code listing typed or edited by the user, as "script compile" reads it:
// the statements, then the compiled 512-byte program.
#include "fuzz_input.h"
#include "script/script_compiler.h"
#include "script/script_file_operations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnel::fuzz::SilentUi ui;
    std::vector<std::vector<std::uint8_t>> statements;
    if (varnel::readCodeListingStatements({reinterpret_cast<const char*>(data), size}, statements, ui) != 0) return 0;
    varnel::ScriptBuffer buffer;
    varnel::compileScript(statements, buffer, ui);
    return 0;
}
