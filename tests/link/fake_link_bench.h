#pragma once

#include "config/device_target.h"
#include "device/device_info.h"
#include "device/flash_image.h"
#include "link/boot_link.h"
#include "link/fake_bootloader.h"
#include "link/fake_serial_port.h"
#include "support/recording_ui.h"

namespace varnel::test {

// A BootLink wired to the scripted port and fake bootloader, on simulated
// time: what every test of the operations built on the link starts from.
struct FakeLinkBench {
    FakeClock clock;
    FakeSerialPort port{clock};
    FakeBootloader device;
    LinkState link;
    DeviceTarget target;
    FlashImage image;
    RecordingUi ui;
    BootLink boot{port, link, target, image, ui};

    // The tracker already sits in its bootloader and has been greeted; the
    // port is open at the bootloader's speed.
    void startInBootloader() {
        device.attach(port);
        device.inBootloader = device.acked = true;
        boot.setClock(clock);
        port.openPort("p", "19200", ui);
        // The record a connect keeps; the test's traffic starts after it.
        boot.identify();
        device.log.clear();
        port.written.clear();
        port.writes.clear();
    }
};

}  // namespace varnel::test
