#include "core/runs/FindCommand.h"

#include <QDir>
#include <sys/stat.h>
#include <vector>

#include "core/messages/Messages.h"
#include "core/scan/FolderScan.h"
#include "res/Format.h"
#include "res/LoadString.h"

namespace {
constexpr unsigned IDS_FOUND = 130, IDS_FIND_STOPPED = 147, IDS_RELATIVE_FOLDER = 33120, IDS_NO_FOLDER = 33128;
}

bool NormalizeFolder(std::string& folder) {
    if (folder == "~" || folder.rfind("~/", 0) == 0) folder = QDir::homePath().toStdString() + folder.substr(1);
    if (folder.empty() || folder[0] != '/') return false;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return true;
}

FindProblem PrepareFind(FindRequest& r, CVNFileNameMatcher& matcher) {
    const std::string typed = r.folder;
    if (!NormalizeFolder(r.folder)) {
        ShowMessageId(IDS_RELATIVE_FOLDER, typed, MB_OK | MB_ICONERROR);
        return FindProblem::RelativeFolder;
    }
    // A start folder that is not there is the user's typing, not a folder that cannot be read.
    struct stat st {};
    if (stat(r.folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        ShowMessageId(IDS_NO_FOLDER, r.folder, MB_OK | MB_ICONWARNING);
        return FindProblem::NoFolder;
    }
    if (r.pattern.empty()) r.pattern = r.regExp ? ".+" : "*";
    if (r.regExp) {
        if (!matcher.compile(r.pattern, false)) {
            GetMessagePresenter()->show(matcher.errorMessage(), MB_OK | MB_ICONERROR, 0);
            return FindProblem::BadPattern;
        }
    } else if (r.pattern.back() == '.') {
        r.pattern.pop_back();
    }
    return FindProblem::None;
}

FindOutcome RunFind(const FindRequest& r, FileListModel& model, CVNFileNameMatcher& matcher, MessagePump& pump,
                    bool& stop) {
    model.clear();
    FindOutcome outcome;
    stop = false;
    std::vector<std::uint32_t> ignoredErrors;
    ScanContext ctx{model, matcher, pump, r.maxFiles, stop, outcome.quit, ignoredErrors, {}, r.attributes, r.namesOnly};
    ScanFolder(ctx, r.folder, r.pattern, r.subfolders, r.regExp);
    model.flushPending();
    outcome.count = model.itemCount();
    outcome.stopped = stop;
    return outcome;
}

std::string FindStatus(const FindOutcome& outcome) {
    std::string status = FormatId(IDS_FOUND, {outcome.count});
    if (outcome.stopped) status += " " + LoadString(IDS_FIND_STOPPED);
    return status;
}
