// What the "Demoengine Setup" dialog does, without any toolkit: the working selection the user
// edits, the initial one it is compared with, and the contents and states of every control. A
// view shows lists() and reports each user action through command().
#pragma once

#include "shell/DeviceTables.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// The user's choice: adapter index, device index within it, mode index within that device,
// windowed or fullscreen, multisample type.
struct DeviceSelection {
    UINT adapter;
    UINT device;
    UINT mode;
    BOOL windowed;
    D3DMULTISAMPLE_TYPE multiSampleType;
    bool operator==(const DeviceSelection&) const = default;
};

// The check box that lets a show's own plug-in libraries load: caption and tooltip.
inline constexpr const char* kShowTrustCaption = "Allow this show's own plug-ins";
inline constexpr const char* kShowTrustTooltip =
    "Plug-ins are programs: they run with your rights. Allow them only for shows you trust.";

// That check box, offered only when the script asks for a library that comes with the show.
struct ShowTrustChoice {
    bool checked = false;  // the remembered choice when the dialog opens, the user's at OK
    bool locked = false;   // --trust-show allows them already: shown checked, not changeable
};

// Everything the dialog shows. A selection of -1 means no entry is selected.
struct SetupDialogLists {
    std::vector<std::string> adapters;
    int adapterSelection = -1;
    std::vector<std::string> devices;
    int deviceSelection = -1;
    std::vector<std::string> modes;
    int modeSelection = -1;
    std::vector<std::string> multiSamples;
    std::vector<D3DMULTISAMPLE_TYPE> multiSampleValues;  // one per entry of multiSamples
    int multiSampleSelection = -1;

    bool multiSampleEnabled = false;
    bool windowedEnabled = false;   // the "Windowed" button
    bool windowedChecked = false;   // which radio button is on
    bool modeListEnabled = false;

    bool trustShown = false;  // the show's-own-plug-ins box exists at all
    bool trustChecked = false;
    bool trustEnabled = false;
};

enum class SetupDialogCommand {
    Ok,
    Cancel,
    AdapterChosen,      // selection confirmed in a drop-down list: the index comes along
    DeviceChosen,
    ModeChosen,
    MultiSampleChosen,
    RadioClicked,       // "Windowed" or "Full Screen" clicked
    TrustToggled,       // the show's-own-plug-ins box: index 1 checked, 0 unchecked
};

class SetupDialogModel {
public:
    static constexpr int kStillOpen = 0;
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    SetupDialogModel(AdapterEntry* adapters, UINT adapterCount, UINT& currentAdapter, IDirect3D8* direct3d);

    // Takes the table's current selection as working and initial selection; builds the lists.
    void initialise();
    // Adds the show's-own-plug-ins box (before initialise).
    void offerShowTrust(const ShowTrustChoice& choice) { trust_ = choice; }
    // One command message. `windowedChecked` is the state of the "Windowed" button, read first
    // as the dialog does on every command. Returns kOk or kCancel when the dialog ends.
    int command(SetupDialogCommand command, int index, bool windowedChecked);

    const SetupDialogLists& lists() const { return lists_; }
    const DeviceSelection& working() const { return working_; }
    const DeviceSelection& initial() const { return initial_; }
    const std::optional<ShowTrustChoice>& showTrust() const { return trust_; }

private:
    void rebuild();
    void writeBack();

    AdapterEntry* adapters_;
    UINT adapterCount_;
    UINT& currentAdapter_;
    IDirect3D8* direct3d_;
    DeviceSelection working_{};
    DeviceSelection initial_{};
    SetupDialogLists lists_;
    std::optional<ShowTrustChoice> trust_;
};

}  // namespace quorvel
