#include "shell/SetupDialogModel.h"

#include <cstdio>

namespace quorvel {

SetupDialogModel::SetupDialogModel(AdapterEntry* adapters, UINT adapterCount, UINT& currentAdapter,
                                   IDirect3D8* direct3d)
    : adapters_(adapters), adapterCount_(adapterCount), currentAdapter_(currentAdapter), direct3d_(direct3d) {}

void SetupDialogModel::initialise() {
    const AdapterEntry& adapter = adapters_[currentAdapter_];
    const DeviceEntry& dev = adapter.devices[adapter.currentDevice];
    working_ = DeviceSelection{currentAdapter_, adapter.currentDevice, dev.currentMode, dev.windowed,
                               dev.multiSampleType};
    initial_ = working_;
    rebuild();
}

int SetupDialogModel::command(SetupDialogCommand command, int index, bool windowedChecked) {
    working_.windowed = windowedChecked ? TRUE : FALSE;
    switch (command) {
    case SetupDialogCommand::Ok:
        if (!(working_ == initial_)) writeBack();
        return kOk;
    case SetupDialogCommand::Cancel:
        return kCancel;
    case SetupDialogCommand::AdapterChosen: {
        if (index < 0 || static_cast<UINT>(index) >= adapterCount_) return kStillOpen;
        working_.adapter = static_cast<UINT>(index);
        const AdapterEntry& adapter = adapters_[working_.adapter];
        working_.device = adapter.currentDevice;
        working_.mode = adapter.devices[working_.device].currentMode;
        working_.windowed = adapter.devices[working_.device].windowed;
        break;
    }
    case SetupDialogCommand::DeviceChosen: {
        const AdapterEntry& adapter = adapters_[working_.adapter];
        if (index < 0 || static_cast<UINT>(index) >= adapter.deviceCount) return kStillOpen;
        working_.device = static_cast<UINT>(index);
        working_.mode = adapter.devices[working_.device].currentMode;
        working_.windowed = adapter.devices[working_.device].windowed;
        break;
    }
    case SetupDialogCommand::ModeChosen: {
        const DeviceEntry& dev = adapters_[working_.adapter].devices[working_.device];
        if (index < 0 || static_cast<UINT>(index) >= dev.modeCount) return kStillOpen;
        working_.mode = static_cast<UINT>(index);
        break;
    }
    case SetupDialogCommand::MultiSampleChosen:
        if (index < 0 || static_cast<std::size_t>(index) >= lists_.multiSampleValues.size()) return kStillOpen;
        working_.multiSampleType = lists_.multiSampleValues[static_cast<std::size_t>(index)];
        break;
    case SetupDialogCommand::RadioClicked:
        break;
    case SetupDialogCommand::TrustToggled:
        if (trust_ && !trust_->locked) trust_->checked = index != 0;
        break;
    }
    rebuild();
    return kStillOpen;
}

void SetupDialogModel::writeBack() {
    currentAdapter_ = working_.adapter;
    AdapterEntry& adapter = adapters_[working_.adapter];
    adapter.currentDevice = working_.device;
    DeviceEntry& dev = adapter.devices[working_.device];
    dev.currentMode = working_.mode;
    dev.windowed = working_.windowed;
    dev.multiSampleType = working_.multiSampleType;
}

void SetupDialogModel::rebuild() {
    lists_ = SetupDialogLists{};
    char text[64];

    for (UINT a = 0; a < adapterCount_; ++a) lists_.adapters.emplace_back(adapters_[a].identifier.Description);
    lists_.adapterSelection = static_cast<int>(working_.adapter);

    const AdapterEntry& adapter = adapters_[working_.adapter];
    for (UINT d = 0; d < adapter.deviceCount; ++d) lists_.devices.emplace_back(adapter.devices[d].name);
    lists_.deviceSelection = static_cast<int>(working_.device);

    const DeviceEntry& dev = adapter.devices[working_.device];
    for (UINT m = 0; m < dev.modeCount; ++m) {
        const ModeEntry& mode = dev.modes[m];
        std::snprintf(text, sizeof text, "%ld x %ld x %ld", static_cast<long>(mode.width),
                      static_cast<long>(mode.height), static_cast<long>(displayBits(mode.format)));
        lists_.modes.emplace_back(text);
    }
    lists_.modeSelection = working_.mode < dev.modeCount ? static_cast<int>(working_.mode) : -1;

    // Multisampling as the device offers it for the surface it would render to.
    const D3DFORMAT surfaceFormat =
        working_.windowed ? adapter.desktopMode.Format
                          : (working_.mode < dev.modeCount ? dev.modes[working_.mode].format : adapter.desktopMode.Format);
    for (DWORD type = 0; type <= 16; ++type) {
        if (type == 1) continue;
        const auto sampleType = static_cast<D3DMULTISAMPLE_TYPE>(type);
        if (FAILED(direct3d_->CheckDeviceMultiSampleType(adapter.ordinal, dev.type, surfaceFormat,
                                                         working_.windowed, sampleType)))
            continue;
        if (type == 0) {
            lists_.multiSamples.emplace_back("none");
            lists_.multiSampleSelection = static_cast<int>(lists_.multiSamples.size()) - 1;
        } else {
            std::snprintf(text, sizeof text, "%d samples", static_cast<int>(type));
            lists_.multiSamples.emplace_back(text);
        }
        lists_.multiSampleValues.push_back(sampleType);
        if (sampleType == working_.multiSampleType)
            lists_.multiSampleSelection = static_cast<int>(lists_.multiSamples.size()) - 1;
    }
    // The working type follows what the list can offer: a type the new surface does not
    // support falls back to the selected entry.
    if (lists_.multiSampleSelection >= 0)
        working_.multiSampleType = lists_.multiSampleValues[static_cast<std::size_t>(lists_.multiSampleSelection)];

    lists_.multiSampleEnabled = lists_.multiSamples.size() > 1;
    lists_.windowedEnabled = dev.windowCapable != FALSE;
    lists_.windowedChecked = working_.windowed != FALSE;
    lists_.modeListEnabled = !working_.windowed;

    lists_.trustShown = trust_.has_value();
    lists_.trustChecked = trust_ && trust_->checked;
    lists_.trustEnabled = trust_ && !trust_->locked;
}

}  // namespace quorvel
