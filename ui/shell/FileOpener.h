#pragma once

// Opening listed files: with the desktop's default application for each, or with one chosen
// application for all of them. Many files at once are opened only after a question, as each
// starts a program.

#include <string>
#include <vector>

#include "core/shell/DesktopApplications.h"
#include "ui/shell/TrashOperation.h"

class FileOpener {
public:
    // More files than this are opened only after a question.
    static constexpr std::size_t kAskAbove = 10;

    static ShellOutcome open(const std::vector<std::string>& paths);
    // workingFolder: the folder the application starts in (the files' common folder).
    static ShellOutcome openWith(const DesktopApplication& app,
                                 const std::vector<std::string>& paths,
                                 const std::string& workingFolder);
};
