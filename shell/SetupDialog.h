// Shows the setup dialog for the shell's device table.
#pragma once

#include "platform/win/WinTypes.h"

namespace quorvel {

class AppShell;

// 1 for OK (the choice is written into the table when it changed), 2 for Cancel. Without a
// display no dialog can appear: the table's current selection is accepted as it stands and a
// line on stderr says so, so the program still starts in its default configuration.
INT showSetupDialogBox(AppShell& shell);

}  // namespace quorvel
