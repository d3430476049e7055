#pragma once

// The commands of orvane-cli on the program's core: find, rename and change run exactly as
// Finden, Alle Umbenennen and Alle Umändern do in the window (a dry run is the window's
// preview); history and undo read the undo journal.

#include "cli/CliOptions.h"

// Carries out the command; gives the exit status: 0 all done, 1 some files failed, 2 a bad call
// or an invalid pattern.
int RunCliCommand(const CliOptions& options);
