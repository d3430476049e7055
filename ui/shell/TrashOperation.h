#pragma once

// Deleting listed files: into the freedesktop trash, or for good after a confirmation that
// names the file or the count. A file whose file system has no trash is deleted for good only
// when the user says so. Files that fail cost one message at the end, with the first failing
// path and its reason; the other files are still deleted. A cancelled delete says nothing.

#include <string>
#include <vector>

enum class ShellOutcome { Done, Cancelled, Failed };

class TrashOperation {
public:
    static ShellOutcome moveToTrash(const std::vector<std::string>& paths);
    static ShellOutcome deleteForGood(const std::vector<std::string>& paths);
};

// Shows the failures of an operation over several files in one message box (the first one
// with its reason, then how many more failed); nothing when there are none.
void ReportFileFailures(const std::vector<std::string>& failures);
