#include "config/device_target.h"

namespace varnel {

const TargetTableEntry* findTarget(std::string_view chipName) {
    for (const auto& entry : kTargetTable)
        if (entry.chipName == chipName) return &entry;
    return nullptr;
}

void selectTarget(DeviceTarget& target, const std::string& chipName) {
    target.chipName = chipName;
    target.scriptAddress = 0;
    const TargetTableEntry* entry = findTarget(chipName);
    if (!entry) return;
    target.kind = entry->kind;
    target.settingsAddress = entry->settingsAddress;
    target.settingsSize = entry->settingsSize;
    target.scriptAddress = entry->scriptAddress;
    target.featureMask = entry->featureMask;
    target.voltageScale = entry->voltageScale;
}

}  // namespace varnel
