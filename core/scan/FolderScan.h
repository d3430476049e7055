#pragma once

// Fills the file list for Find: every file of a folder whose name matches, then, if wanted, the
// subfolders, depth first. Messages go through the message presenter.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/CVNFileNameMatcher.h"
#include "core/list/FileListModel.h"
#include "core/scan/MessagePump.h"

struct ScanContext {
    FileListModel& list;
    CVNFileNameMatcher& matcher; // compiled from the regular expression, or by the finder
    MessagePump& pump;
    int maxFiles = 0;            // 0 = no limit
    bool& stop;                  // set on Abbrechen or when the list is full
    bool& quit;                  // set when the application is closing
    std::vector<std::uint32_t>& ignoredErrors; // codes the user chose to ignore in this Find
    std::function<void(const std::string&)> showStatus; // the folder being read
    bool attributes = true; // the attributes kept in extended attributes are read too
    bool namesOnly = false;  // regular files are listed by name alone: no size, times or identity
};

void ScanFolder(ScanContext& ctx, const std::string& folder, const std::string& searchPattern,
                bool includeSubfolders, bool regularExpression);
