// Shows the setup dialog for the shell's device table.
#pragma once

#include "platform/win/WinTypes.h"

namespace quorvel {

class AppShell;
struct ShowTrustChoice;

// 1 for OK (the choice is written into the table when it changed), 2 for Cancel. Without a
// display no dialog can appear: the table's current selection is accepted as it stands and a
// line on stderr says so, so the program still starts in its default configuration.
// With trust, the dialog also shows the box that allows the show's own plug-ins; at OK trust
// holds the user's choice (without a display it stays as it was).
INT showSetupDialogBox(AppShell& shell, ShowTrustChoice* trust = nullptr);

}  // namespace quorvel
