// A firmware file as the user picks it: any text, read with the file rules.
#include "firmware/srecord_loader.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static varnel::FlashImage image;  // 256 KiB: made once, reset by every load
    varnel::fuzz::SilentUi ui;
    varnel::loadSRecordText({reinterpret_cast<const char*>(data), size}, image, ui);
    return 0;
}
