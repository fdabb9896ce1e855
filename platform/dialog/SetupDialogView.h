// The GTK 3 face of the "Demoengine Setup" dialog. It shows a SetupDialogModel and passes every
// user action to it; the model decides what changes.
#pragma once

namespace quorvel {
class SetupDialogModel;
}

namespace quorvel::platform {

// Result when no display can be opened, so no dialog could be shown.
constexpr int kSetupDialogNoDisplay = -1;

// Runs the dialog modally (model.initialise() is called here). Returns 1 for OK, 2 for Cancel
// (also for closing the dialog or pressing Escape), or kSetupDialogNoDisplay.
int runSetupDialogView(SetupDialogModel& model);

}  // namespace quorvel::platform
