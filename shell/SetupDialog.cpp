#include "shell/SetupDialog.h"

#include "platform/dialog/SetupDialogView.h"
#include "shell/AppShell.h"
#include "shell/SetupDialogModel.h"

#include <cstdio>

namespace quorvel {

INT showSetupDialogBox(AppShell& shell) {
    SetupDialogModel model(shell.adapters, shell.adapterCount, shell.currentAdapter, shell.direct3d);
    const int result = platform::runSetupDialogView(model);
    if (result == platform::kSetupDialogNoDisplay) {
        std::fprintf(stderr, "Demoengine Setup: no display to show the dialog on; "
                             "starting with the default device and mode\n");
        return SetupDialogModel::kOk;
    }
    return result;
}

}  // namespace quorvel
