#include "emulator/model/model_serial_port.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/user_interface.h"
#include "serial/serial_timing.h"
#include "emulator/model/line_speed.h"
#include "serial/serial_messages.h"

namespace varnel {

namespace {

// The machine's steady clock, the one the device model counts in.
std::int64_t machineMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(DeviceModel::Clock::now().time_since_epoch()).count();
}

// In the port's milliseconds, rounded up: a wait timed from it never ends
// before its deadline.
std::int64_t machineMs() { return (machineMicros() + 999) / 1000; }

}  // namespace

ModelSerialPort::ModelSerialPort(DeviceModel& model, std::int64_t startMs)
    : model_(&model), now_(startMs), lineFreeUs_{startMs * 1000, startMs * 1000} {}

ModelSerialPort::ModelSerialPort(ModelFor modelFor, Time time)
    : modelFor_(std::move(modelFor)), time_(time),
      now_(time == Time::Real ? machineMs() : 0), lineFreeUs_{now_ * 1000, now_ * 1000} {}

std::int64_t ModelSerialPort::nowMs() const { return time_ == Time::Real ? std::max(now_, machineMs()) : now_; }

void ModelSerialPort::addFault(const LineFault& fault) { faults_.push_back(fault); }

void ModelSerialPort::setNoise(const Noise& noise) {
    noise_ = noise;
    random_.seed(noise.seed);
}

bool ModelSerialPort::addNoise(Way way, std::uint8_t& b, std::uint32_t speed) {
    if (noise_.bitErrorRate <= 0 || !(way == Way::ToHost ? noise_.toHost : noise_.toTracker)) return false;
    if (noise_.onlyAbove != 0 && speed <= noise_.onlyAbove) return false;
    // The generator's raw numbers are the same with every library, unlike
    // its distributions.
    const auto threshold = static_cast<std::uint32_t>(std::min(noise_.bitErrorRate, 1.0) * 4294967295.0);
    bool framing = false;
    for (int bit = 0; bit < 10; ++bit) {
        if (static_cast<std::uint32_t>(random_()) >= threshold) continue;
        if (bit == 0) {
            b = static_cast<std::uint8_t>((b << 1) | 1);
            framing = true;
        } else if (bit == 9) {
            framing = true;
        } else {
            b ^= static_cast<std::uint8_t>(1u << (bit - 1));
        }
    }
    return framing;
}

int ModelSerialPort::takeLineErrors() {
    const int errors = lineErrors_;
    lineErrors_ = 0;
    return errors;
}

DeviceModel::Clock::time_point ModelSerialPort::modelTime() const {
    return DeviceModel::Clock::time_point{} + std::chrono::milliseconds(now_);
}

int ModelSerialPort::openPort(const std::string& name, const std::string& speed, UserInterface& ui) {
    DeviceModel* model = modelFor_ ? modelFor_(name) : model_;
    if (!model) {
        ui.message(serial_messages::kCantOpen);
        return -1;
    }
    unsigned long baud = 0;
    if (!parsePortSpeed(speed, baud)) {
        ui.message(serial_messages::kInvalidSpeed);
        return -1;
    }
    if (model != model_) {
        // Another tracker: nothing on the way to the last one reaches it.
        toTracker_.clear();
        toHost_.clear();
        model_ = model;
    }
    // Whatever the tracker said while the port was closed went unheard, as
    // opening a system port purges its input.
    catchUp();
    speed_ = static_cast<std::uint32_t>(baud);
    open_ = true;
    return 1;
}

int ModelSerialPort::closePort() {
    if (!open_) return -1;
    open_ = false;
    toHost_.clear();  // nobody listens: what is on its way is lost
    return 0;
}

void ModelSerialPort::transmit(Way way, std::uint8_t b, std::uint32_t speed, std::uint64_t busyMicros) {
    const int w = static_cast<int>(way);
    const std::uint64_t index = count_[w]++;
    std::vector<std::uint8_t> bytes{b};
    std::int64_t delay = 0;
    for (const auto& f : faults_) {
        if (f.way != way || f.atByte != index) continue;
        ++fired_;
        switch (f.kind) {
        // Two faults may land on one byte: a byte already dropped has no bits to flip.
        case FaultKind::Flip:
            if (!bytes.empty()) bytes.back() ^= f.value ? f.value : 1;
            break;
        case FaultKind::Drop: bytes.clear(); break;
        case FaultKind::Duplicate:
            if (!bytes.empty()) bytes.push_back(bytes.back());
            break;
        case FaultKind::Insert: bytes.insert(bytes.begin(), f.value); break;
        case FaultKind::Delay: delay += f.value; break;
        }
    }
    // Each byte has crossed once its last bit is in, after the device's own
    // work for the first byte of an answer.
    auto& queue = way == Way::ToHost ? toHost_ : toTracker_;
    std::int64_t& free = lineFreeUs_[w];
    free = std::max(now_ * 1000, free) + delay * 1000 + static_cast<std::int64_t>(busyMicros);
    if (bytes.empty()) free += static_cast<std::int64_t>(wireTimeMicros(1, speed));
    for (std::uint8_t x : bytes) {
        free += static_cast<std::int64_t>(wireTimeMicros(1, speed));
        const bool framing = addNoise(way, x, speed);
        queue.push_back({(free + 999) / 1000, x, speed, framing});
    }
}

void ModelSerialPort::collectOutput() {
    for (const auto& chunk : model_->takeOutput()) {
        // A port that is closed hears nothing; one at another speed hears what
        // the host's UART makes of the bytes.
        if (!open_) continue;
        std::uint64_t busy = chunk.busyMicros;
        for (std::uint8_t b : hearAtSpeed(chunk.bytes.data(), chunk.bytes.size(), chunk.speed, speed_)) {
            transmit(Way::ToHost, b, chunk.speed, busy);
            busy = 0;
        }
    }
}

std::int64_t ModelSerialPort::nextEvent() const {
    std::int64_t next = INT64_MAX;
    if (!toTracker_.empty()) next = toTracker_.front().at;
    if (auto d = model_->nextDeadline()) {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*d - DeviceModel::Clock::time_point{});
        next = std::min<std::int64_t>(next, ms.count());
    }
    return next;
}

void ModelSerialPort::advanceTo(std::int64_t t) {
    if (time_ == Time::Virtual) {
        runTo(t);
        return;
    }
    // A wait hands the interface its turn every millisecond.
    for (std::int64_t left; t > now_ && (left = t * 1000 - machineMicros()) > 0;) {
        std::this_thread::sleep_for(std::chrono::microseconds(std::min<std::int64_t>(left, 1000)));
        handOver();
    }
    catchUp();
}

void ModelSerialPort::catchUp() {
    if (time_ == Time::Real) runTo(machineMs());
}

void ModelSerialPort::runTo(std::int64_t t) {
    if (!model_) {
        now_ = std::max(now_, t);
        return;
    }
    for (;;) {
        while (!toTracker_.empty() && toTracker_.front().at <= now_) {
            const Timed x = toTracker_.front();
            toTracker_.pop_front();
            model_->receive(&x.byte, 1, x.speed, modelTime());
        }
        model_->tick(modelTime());
        collectOutput();
        const std::int64_t next = nextEvent();
        if (next > t) break;
        // A deadline the model has just passed must not hold the clock still.
        now_ = std::max(next, now_ + (next <= now_ ? 1 : 0));
    }
    now_ = std::max(now_, t);
}

int ModelSerialPort::writeBytes(const std::uint8_t* data, int n) {
    if (!open_ || model_->hungUp() || handingOver()) return -1;
    catchUp();
    for (int i = 0; i < n; ++i) transmit(Way::ToTracker, data[i], speed_);
    advanceTo(now_);
    return n;
}

int ModelSerialPort::readBytes(std::uint8_t* buffer, int n) {
    if (!open_ || model_->hungUp() || handingOver()) return -1;
    catchUp();
    // The port's time-outs, on the line's clock: all n bytes, a gap of
    // 100 ms after a byte, or 500 + 2n ms in all.
    const std::int64_t end = now_ + serial_timing::readTotalMs(n);
    std::int64_t giveUp = end;
    int got = 0;
    for (;;) {
        advanceTo(now_);
        while (got < n && !toHost_.empty() && toHost_.front().at <= now_) {
            buffer[got++] = toHost_.front().byte;
            lineErrors_ += toHost_.front().framingError ? 1 : 0;
            toHost_.pop_front();
            giveUp = std::min(end, now_ + serial_timing::kReadIntervalMs);
        }
        if (got == n || now_ >= giveUp) return got;
        std::int64_t next = std::min(nextEvent(), giveUp);
        if (!toHost_.empty()) next = std::min(next, toHost_.front().at);
        advanceTo(std::max(next, now_ + 1));
    }
}

int ModelSerialPort::flushPort(int discardInput) {
    if (!discardInput || handingOver()) return 0;
    advanceTo(now_);
    // Only what has arrived is discarded; bytes still on the line come later.
    while (!toHost_.empty() && toHost_.front().at <= now_) toHost_.pop_front();
    return 0;
}

}  // namespace varnel
