#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "link/fake_serial_port.h"

namespace varnel::test {

// A bootloader in the test's memory: enough of the device side to answer the
// link byte for byte, with real flash rules (erase sets 0xFF, programming only
// clears bits) and a log of the commands it understood.
struct FakeBootloader {
    struct Command {
        char code;
        std::uint32_t field;
        int length;
    };

    std::vector<std::uint8_t> flash = std::vector<std::uint8_t>(0x40000, 0xFF);
    std::string deviceId = "AP64";
    std::uint8_t version = 0x17;
    std::uint16_t eraseSize = 512, writeSize = 64;
    bool scaled = false;  // JM128: addresses in 4-byte units
    std::string firmwareSpeed = "4800";
    bool silent = false;  // never enters the bootloader
    bool inBootloader = false;
    bool pendingAnnounce = false;
    bool acked = false;
    int announceRepeats = 0;  // extra 0xFC before answering 'I'
    int lateAnnounces = 0;    // stray 0xFC still on its way ahead of the next records
    std::vector<std::uint8_t> noiseBeforeAnnounce;
    std::set<std::uint32_t> nakErase, nakWrite;  // by address field
    bool mute = false;                           // stops answering erase/write/commit
    bool corruptRead = false;
    bool truncateRead = false;
    std::vector<Command> log;
    std::vector<std::string> resetSpeeds;  // the line speed of every reset request heard

    std::uint32_t byteAddress(std::uint32_t field) const { return scaled ? field << 2 : field; }

    void attach(FakeSerialPort& port) {
        port.onOpen = [this](FakeSerialPort& p) {
            if (pendingAnnounce && p.speed == "19200") {
                p.queue(noiseBeforeAnnounce);
                p.queue({0xFC});
                pendingAnnounce = false;
                inBootloader = true;
                acked = false;
            }
        };
        port.onWrite = [this](FakeSerialPort& p, const std::vector<std::uint8_t>& w) { handle(p, w); };
    }

    void program(std::uint32_t address, const std::uint8_t* data, int n) {
        for (int i = 0; i < n; ++i) flash[(address + i) % flash.size()] &= data[i];
    }

    void handle(FakeSerialPort& port, const std::vector<std::uint8_t>& w) {
        if (!inBootloader) {
            const std::uint8_t kiss[3] = {0xC0, 0xFE, 0xC0};
            if (w.size() == 3 && std::equal(w.begin(), w.end(), kiss)) resetSpeeds.push_back(port.speed);
            if (!silent && w.size() == 3 && std::equal(w.begin(), w.end(), kiss) && port.speed == firmwareSpeed)
                pendingAnnounce = true;
            return;
        }
        const char c = static_cast<char>(w[0]);
        const std::uint32_t field = w.size() >= 3 ? (w[1] << 8) | w[2] : 0;
        switch (c) {
        case '\xFC':
            // The answer to the announce is acknowledged once.
            if (!acked) port.queue({0xFC});
            acked = true;
            return;
        case 'I': {
            log.push_back({c, 0, 0});
            if (announceRepeats > 0) {
                --announceRepeats;
                port.queue({0xFC});
                return;
            }
            std::vector<std::uint8_t> r{version,
                                        0x10,
                                        0x00,
                                        0xF4,
                                        0x00,
                                        0xFF,
                                        0xC0,
                                        0xFF,
                                        0xC0,
                                        static_cast<std::uint8_t>(eraseSize >> 8),
                                        static_cast<std::uint8_t>(eraseSize),
                                        static_cast<std::uint8_t>(writeSize >> 8),
                                        static_cast<std::uint8_t>(writeSize),
                                        1,
                                        2,
                                        3,
                                        4,
                                        5,
                                        6,
                                        7,
                                        8};
            r.insert(r.end(), deviceId.begin(), deviceId.end());
            r.push_back(0);
            if (lateAnnounces > 0) {
                --lateAnnounces;
                r.insert(r.begin(), 0xFC);
            }
            port.queue(r);
            return;
        }
        case 'R': {
            log.push_back({c, field, w[3]});
            const std::uint32_t a = byteAddress(field);
            std::vector<std::uint8_t> out(flash.begin() + a, flash.begin() + a + w[3]);
            if (corruptRead && !out.empty()) out[0] ^= 0x01;
            if (truncateRead && !out.empty()) out.pop_back();
            port.queue(out);
            return;
        }
        case 'E': {
            log.push_back({c, field, 0});
            if (mute) return;
            if (nakErase.count(field)) return port.queue({0x00});
            const std::uint32_t a = byteAddress(field) / eraseSize * eraseSize;
            std::fill(flash.begin() + a, flash.begin() + a + eraseSize, 0xFF);
            return port.queue({0xFC});
        }
        case 'W': {
            log.push_back({c, field, w[3]});
            if (mute) return;
            if (nakWrite.count(field)) return port.queue({0x00});
            program(byteAddress(field), w.data() + 4, w[3]);
            return port.queue({0xFC});
        }
        case 'V': {
            log.push_back({c, field, w[3]});
            if (mute) return;
            std::uint8_t x = 0;
            for (int i = 0; i < w[3]; ++i) x ^= w[5 + i];
            if (x != w[4] || nakWrite.count(field)) return port.queue({0x00});
            program(byteAddress(field), w.data() + 5, w[3]);
            return port.queue({0xFC});
        }
        case 'U':
            log.push_back({c, 0, 0});
            if (mute) return;
            std::copy(flash.begin() + 0x10000, flash.begin() + 0x17000, flash.begin());
            return port.queue({0xFC});
        case 'Q':
            log.push_back({c, 0, 0});
            inBootloader = false;
            return;
        case 'H':
        case 'T': log.push_back({c, 0, 0}); return;
        default: return;
        }
    }

    std::string codes() const {
        std::string s;
        for (const auto& cmd : log) s.push_back(cmd.code);
        return s;
    }
};

}  // namespace varnel::test
