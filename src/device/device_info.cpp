#include "device/device_info.h"

namespace varnel {

void splitDeviceId(const std::string& deviceId, std::string& chipName, std::string& suffix) {
    const auto dash = deviceId.find('-');
    chipName = deviceId.substr(0, dash);
    if (chipName.size() > 31) chipName.resize(31);
    suffix = dash == std::string::npos ? std::string() : deviceId.substr(dash + 1);
}

}  // namespace varnel
