#pragma once

// "Im Dateimanager zeigen": asks the desktop's file manager to show the files selected in their
// folder (org.freedesktop.FileManager1.ShowItems on the session bus); where no file manager
// answers, the common folder is opened with the default application for folders.

#include <string>
#include <vector>

void ShowInFileManager(const std::vector<std::string>& paths, const std::string& commonFolder);
