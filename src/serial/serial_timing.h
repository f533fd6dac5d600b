#pragma once

namespace varnel::serial_timing {

// The port's time-outs, in milliseconds: a read of n bytes ends after all n
// arrived, after a gap of kReadIntervalMs between two bytes, or after
// kReadTotalConstantMs + n * kReadTotalPerByteMs in all; a write of n bytes
// may take kWriteTotalConstantMs + n * kWriteTotalPerByteMs.
inline constexpr int kReadIntervalMs = 100;
inline constexpr int kReadTotalPerByteMs = 2;
inline constexpr int kReadTotalConstantMs = 500;
inline constexpr int kWriteTotalPerByteMs = 1;
inline constexpr int kWriteTotalConstantMs = 1000;

inline constexpr int readTotalMs(int n) { return kReadTotalConstantMs + kReadTotalPerByteMs * n; }
inline constexpr int writeTotalMs(int n) { return kWriteTotalConstantMs + kWriteTotalPerByteMs * n; }

inline constexpr const char* kDefaultSpeed = "9600";

}  // namespace varnel::serial_timing
