#include "shell/SetupDialog.h"

#include "platform/dialog/SetupDialogView.h"
#include "shell/AppShell.h"
#include "shell/SetupDialogModel.h"

#include <cstdio>

namespace quorvel {

INT showSetupDialogBox(AppShell& shell, ShowTrustChoice* trust) {
    SetupDialogModel model(shell.adapters, shell.adapterCount, shell.currentAdapter, shell.direct3d);
    if (trust) model.offerShowTrust(*trust);
    const int result = platform::runSetupDialogView(model);
    if (result == platform::kSetupDialogNoDisplay) {
        std::fprintf(stderr, "Demoengine Setup: no display to show the dialog on; "
                             "starting with the default device and mode\n");
        return SetupDialogModel::kOk;
    }
    if (trust && result == SetupDialogModel::kOk) *trust = *model.showTrust();
    return result;
}

}  // namespace quorvel
