#include "device/device_info.h"

namespace varnel {

void splitDeviceId(const std::string& deviceId, std::string& chipName, std::string& suffix) {
    const auto dash = deviceId.find('-');
    chipName = deviceId.substr(0, dash);
    if (chipName.size() > 31) chipName.resize(31);
    suffix = dash == std::string::npos ? std::string() : deviceId.substr(dash + 1);
}

bool identificationMakesSense(const DeviceInfo& info) {
    auto powerOfTwo = [](unsigned v) { return v != 0 && (v & (v - 1)) == 0; };
    return powerOfTwo(info.eraseBlockSize) && powerOfTwo(info.writeBlockSize) &&
           info.writeBlockSize <= info.eraseBlockSize && info.writeBlockSize <= 255 && info.validStart < info.validEnd;
}

}  // namespace varnel
