// Address fields and paths as a settings record holds them (any bytes), and
// callsign and path texts as the user types them.
#include "config/ax25_codec.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnel::fuzz::Input in(data, size);
    // A record's path slot (up to six fields and some) with any length byte.
    const std::size_t storedLength = in.byte();
    const std::size_t slotSize = in.byte() % 50;
    std::array<std::uint8_t, 50> path{};
    in.fill(path);
    varnel::decodeAddress(path.data());
    const std::string shown = varnel::decodePath(path.data(), slotSize, storedLength);

    // What the decoder shows must encode again (the form writes it back).
    std::vector<std::uint8_t> encoded;
    varnel::encodePath(shown, encoded);

    const std::string typed(in.restText());
    varnel::AddressField field{};
    varnel::encodeAddress(typed, field);
    varnel::encodePath(typed, encoded);
    return 0;
}
