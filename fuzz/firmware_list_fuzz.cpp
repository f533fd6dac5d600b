// The list body the firmware server sends.
#include "firmware/firmware_list.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto rows = varnel::parseFirmwareList({reinterpret_cast<const char*>(data), size});
    if (rows.size() > varnel::firmware_list_limits::kMaxRows) __builtin_trap();
    for (const auto& row : rows)
        if (row.file.size() > varnel::firmware_list_limits::kMaxFile ||
            row.description.size() > varnel::firmware_list_limits::kMaxDescription ||
            row.date.size() > varnel::firmware_list_limits::kMaxDate)
            __builtin_trap();
    return 0;
}
