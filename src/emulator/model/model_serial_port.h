#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "serial/serial_port.h"
#include "emulator/model/device_model.h"
#include "link/link_clock.h"

namespace varnel {

// A serial port wired straight to a device model in the same process:
// bytes cross at their line speed's wire time (10 bits a byte) and the
// model's answers come after its working time, then wait in the port's
// receive buffer; a read keeps the system ports' time-out table. Bytes sent
// at another speed than the receiver listens at are heard as the device's
// UART hears them (`hearAtSpeed`), the same way varnel-emu treats them on a
// pseudo-terminal. Line faults aimed at chosen bytes of either direction, or
// seeded noise, stand in for a poor line.
//
// The line runs on one of two clocks, and behaves the same on both:
// - the virtual clock stands still until the port moves it: a read that
//   waits (or the link's sleep) advances it instead of sleeping, ticking the
//   model on the way (its announce, its time-outs), so a whole connect, read
//   or firmware load takes no real time and always runs the same way (the
//   noisy-line tests, the link's fuzz target);
// - the real clock is the machine's steady clock: the port runs the line up
//   to it whenever it is used, and a wait sleeps, handing the interface its
//   turn every millisecond (the page's emulated trackers: a wait in the
//   browser spins, and its turn is where the page repaints and idles).
class ModelSerialPort : public SerialPort, public LinkClock {
public:
    enum class Time : std::uint8_t { Virtual, Real };
    // The tracker a port name stands for (nullptr: no such device).
    using ModelFor = std::function<DeviceModel*(const std::string& name)>;
    enum class Way : std::uint8_t { ToHost, ToTracker };
    enum class FaultKind : std::uint8_t {
        Flip,       // the byte arrives with the bits of `value` flipped (0: bit 0)
        Drop,       // the byte is lost
        Duplicate,  // the byte arrives twice
        Insert,     // the byte `value` arrives just ahead of it
        Delay,      // it (and so everything behind it) arrives `value` ms late
    };
    struct LineFault {
        Way way = Way::ToHost;
        std::uint64_t atByte = 0;  // the byte's index in its direction, from 0
        FaultKind kind = FaultKind::Flip;
        std::uint8_t value = 0;
    };

    // One tracker, whatever name the port is opened with, on the virtual
    // clock from startMs (a second port on a copy of a model carries on at
    // the first one's time).
    explicit ModelSerialPort(DeviceModel& model, std::int64_t startMs = 0);
    // The tracker each open's name stands for; a name that stands for none
    // does not open ("Can't open serial port"). The virtual clock starts at 0.
    ModelSerialPort(ModelFor modelFor, Time time);

    // Noise, as on a long or poor cable: each of a character's ten bits
    // (start, eight data, stop) flips with probability bitErrorRate, drawn
    // from the seed. A data bit gives a wrong byte; the stop bit a right byte
    // that the host's UART flags as a framing error; the start bit both (the
    // character is framed a bit early). Flags count as the host reads.
    struct Noise {
        double bitErrorRate = 0;
        std::uint32_t seed = 1;
        bool toHost = true, toTracker = true;
        // Only bytes sent faster than this are hit (0: all), as on a cable
        // that is clean at the bootloader's speed but not at the fast link's.
        std::uint32_t onlyAbove = 0;
    };
    void setNoise(const Noise& noise);

    // Faults fire as their byte passes; a fault behind the bytes gone by never does.
    void addFault(const LineFault& fault);
    std::size_t faultsFired() const { return fired_; }
    std::uint64_t bytesSent(Way way) const { return count_[static_cast<int>(way)]; }

    int openPort(const std::string& name, const std::string& speed, UserInterface& ui) override;
    int closePort() override;
    bool isOpen() const override { return open_; }
    int writeBytes(const std::uint8_t* data, int n) override;
    int readBytes(std::uint8_t* buffer, int n) override;
    int flushPort(int discardInput) override;
    int takeLineErrors() override;

    // The line's time (on the real clock: the machine's, in its milliseconds).
    std::int64_t nowMs() const;
    std::int64_t nowMs() override { return std::as_const(*this).nowMs(); }
    void sleepMs(int ms) override { advanceTo(nowMs() + std::max(ms, 0)); }

    std::uint32_t speed() const { return speed_; }

private:
    struct Timed {
        std::int64_t at;
        std::uint8_t byte;
        std::uint32_t speed;  // the host's speed when it was sent (towards the tracker)
        bool framingError;
    };
    // The noise on one byte; true when it leaves a framing error.
    bool addNoise(Way way, std::uint8_t& b, std::uint32_t speed);
    DeviceModel::Clock::time_point modelTime() const;
    // Moves the line on to `t`: the virtual clock at once, the real one once
    // the machine's clock has got there, and then as far as it has got.
    void advanceTo(std::int64_t t);
    // The real clock: what has happened on the line since the port last ran
    // it. (The virtual clock is wherever the port last moved it.)
    void catchUp();
    // Runs the model up to `t`: bytes due to it are heard, its deadlines
    // ticked, and its answers put on the line towards the host.
    void runTo(std::int64_t t);
    void collectOutput();
    // Puts one byte on the line one way, through the faults aimed at it.
    void transmit(Way way, std::uint8_t b, std::uint32_t speed, std::uint64_t busyMicros = 0);
    std::int64_t nextEvent() const;

    ModelFor modelFor_;
    DeviceModel* model_ = nullptr;  // the tracker of the last open (or the one tracker)
    Time time_ = Time::Virtual;
    std::int64_t now_ = 0;  // how far the line has run
    bool open_ = false;
    std::uint32_t speed_ = 9600;
    Noise noise_;
    std::mt19937 random_;
    int lineErrors_ = 0;
    std::vector<LineFault> faults_;
    std::size_t fired_ = 0;
    std::uint64_t count_[2] = {0, 0};
    // When each direction's last byte is in (microseconds), so bytes keep their order.
    std::int64_t lineFreeUs_[2] = {0, 0};
    std::deque<Timed> toHost_;
    std::deque<Timed> toTracker_;
};

}  // namespace varnel
