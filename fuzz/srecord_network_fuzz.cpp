// A download body from the firmware mirror, read with the download's rules.
#include "firmware/srecord_loader.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static varnel::FlashImage image;
    varnel::fuzz::SilentUi ui;
    varnel::readSRecordText({reinterpret_cast<const char*>(data), size}, varnel::SRecordRules::network(), image, ui);
    return 0;
}
