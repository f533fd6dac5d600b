#pragma once

#include <cstdint>

namespace varnel {

class BootLink;

// Reads of the tracker's memory that count. The bootloader's reads carry no
// checksum and the line may change any byte, so a chunk counts only when two
// reads of it agree with no line error; it is kept in the link's
// confirmedReads until the next erase, write, commit, leave or connect. A
// read-back of what was just written counts when one read brings exactly
// those bytes (noise does not make wrong bytes right).

// A chunk of device memory, confirmed (or confirmed since the last change):
// length, -1 when no read brought it whole, -2 when whole reads never agreed
// or the line flagged them (the line garbles).
int readConfirmed(BootLink& link, std::uint32_t address, int length, std::uint8_t* destination);
// Device memory [start, end) into any buffer indexed from `start`, in
// confirmed chunks of 128 bytes. 0, or -1 after "Error receiving data from
// device" or the garbling line's message.
int readConfirmedInto(BootLink& link, std::uint32_t start, std::uint32_t end, std::uint8_t* destination);
// Device memory [start, end) into the link's image at the same addresses.
int readConfirmedRange(BootLink& link, std::uint32_t start, std::uint32_t end);

// What reading back the image's bytes found.
enum class ReadBack {
    Matches,
    Differs,    // a read came whole, and wrong or flagged by the line
    CameShort,  // no read of the chunk that failed came back whole
};
// Whether the device holds the image's bytes [address, address + length) at
// address + offset: each chunk counts when one of kVerifyReads reads brings
// exactly those bytes.
ReadBack readBack(BootLink& link, std::uint32_t address, std::uint32_t length, std::uint32_t offset);

}  // namespace varnel
