#pragma once

// Finden without the window: the folder and pattern as the user typed them become a full
// folder path, a pattern with its defaults and, for a regular expression, a compiled matcher;
// then the folder scan fills the list. The window and the command line both go this way, so
// that they list the same files in the same order.

#include <string>

#include "core/list/FileListModel.h"
#include "core/scan/MessagePump.h"
#include "engine/CVNFileNameMatcher.h"

struct FindRequest {
    std::string folder;
    std::string pattern;
    bool regExp = false;
    bool subfolders = true;
    int maxFiles = 0; // 0: no limit
    bool attributes = true; // false: A, H and S kept in extended attributes are not read
    bool namesOnly = false;  // true: files are listed without size, times or identity
};

// Drops trailing '/' (but keeps "/") and expands a leading "~"; false for a relative path.
bool NormalizeFolder(std::string& folder);

enum class FindProblem { None, RelativeFolder, NoFolder, BadPattern };

// Normalises the folder, fills in the default pattern (".+" or "*"), drops the trailing dot of
// a wildcard ("*.txt." means the names ending in ".txt") and compiles a regular expression
// into matcher. A problem is shown (its message box) and returned.
FindProblem PrepareFind(FindRequest& request, CVNFileNameMatcher& matcher);

struct FindOutcome {
    int count = 0;
    bool stopped = false; // by the user, or because the list was full
    bool quit = false;    // the application is closing
};

// Empties model and scans into it. stop is the run's stop flag (Anhalten).
FindOutcome RunFind(const FindRequest& request, FileListModel& model, CVNFileNameMatcher& matcher,
                    MessagePump& pump, bool& stop);

// "%i Datei(en) gefunden." and, if it was stopped, "Suche abgebrochen."
std::string FindStatus(const FindOutcome& outcome);
