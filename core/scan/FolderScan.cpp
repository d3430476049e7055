#include "core/scan/FolderScan.h"

#include <algorithm>
#include <dirent.h>
#include <memory>

#include "platform/NaturalOrder.h"
#include "platform/ThreadShares.h"
#include "platform/errors.h"
#include "core/scan/CVNFileFindFixed.h"
#include "core/messages/MessagePresenter.h"
#include "core/messages/Messages.h"
#include "res/LoadString.h"

namespace {

constexpr std::uint32_t kSkipFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;

// The order in which entries are handed on: by name, as file managers show a folder. The file
// system's own order (hash order on ext4) would number files at random in a counter run.
std::vector<std::size_t> naturalOrder(const std::vector<FindData>& entries) {
    std::vector<std::pair<std::string, std::size_t>> keys(entries.size());
    const auto makeKeys = [&](std::size_t from, std::size_t to) {
        static thread_local NaturalOrder order; // a collator serves one thread at a time
        for (std::size_t i = from; i < to; ++i) keys[i] = {order.key(entries[i].name), i};
    };
    ShareOutOnThreads(entries.size(), 8192, makeKeys); // each thread starts a collator of its own
    std::sort(keys.begin(), keys.end());
    std::vector<std::size_t> indexes(entries.size());
    for (std::size_t i = 0; i < keys.size(); ++i) indexes[i] = keys[i].second;
    return indexes;
}

// Between two entries: true when the scan must end now.
bool pumpAndCheck(ScanContext& ctx) {
    ctx.list.maybeFlushPending();
    if (ctx.pump.PumpMessages()) {
        ctx.quit = true;
        ctx.stop = true;
    }
    return ctx.stop;
}

// The files pass; false when the folder could not be read.
bool scanFiles(ScanContext& ctx, const std::string& folder, const std::string& searchPattern,
               bool regularExpression) {
    CVNFileFindFixed find(ctx.matcher);
    find.setStoredAttributesWanted(ctx.attributes);
    find.setNamesOnly(ctx.namesOnly);
    // Folders are never listed, and a regular expression must match the name.
    find.setPrefilter([&](const char* name, unsigned char type) {
        return type != DT_DIR && (!regularExpression || ctx.matcher.match(name));
    });
    const std::string path = JoinPath(folder, regularExpression ? std::string("*") : searchPattern);
    std::vector<FindData> found;
    // In batches, so that Anhalten acts between them in a folder of a million files.
    if (find.Open(path))
        while (find.ReadBatch(found, 4096))
            if (pumpAndCheck(ctx)) break;
    const std::uint32_t code = find.error();
    find.Close();
    // A folder that cannot be read at all is said; one that fails half way lists what it gave.
    if (code != 0 && found.empty() && !ctx.stop) {
        const auto& ignored = ctx.ignoredErrors;
        if (std::find(ignored.begin(), ignored.end(), code) == ignored.end()) {
            const int answer = GetMessagePresenter()->show(
                Format(LoadString(145), {folder, FormatSystemError(code)}),
                MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, 0);
            if (answer == IDYES) ctx.ignoredErrors.push_back(code);
            else if (answer == IDCANCEL) ctx.stop = true;
        }
        return false;
    }
    std::erase_if(found, [](const FindData& f) { return (f.attributes & kSkipFile) != 0; });
    const SharedText folderText = std::make_shared<const std::string>(folder);
    for (std::size_t i : naturalOrder(found)) {
        if (ctx.stop) break;
        const int before = ctx.list.itemCount();
        ctx.list.addFile(folderText, found[i]);
        if (ctx.maxFiles > 0 && before + 1 >= ctx.maxFiles) {
            ctx.list.flushPending();
            GetMessagePresenter()->show(LoadString(133), MB_OK | MB_ICONINFORMATION, 0);
            ctx.stop = true;
        }
    }
    return true;
}

} // namespace

void ScanFolder(ScanContext& ctx, const std::string& folder, const std::string& searchPattern,
                bool includeSubfolders, bool regularExpression) {
    if (ctx.showStatus) ctx.showStatus(folder);
    const bool readable = scanFiles(ctx, folder, searchPattern, regularExpression);
    if (ctx.stop || !includeSubfolders || !readable) return;

    // The folders pass: every entry, the finder's filter off.
    CVNFileNameMatcher unused;
    CVNFileFindFixed find(unused);
    // Only folders are descended into; links and files need not be examined here.
    find.setPrefilter([](const char*, unsigned char type) { return type == DT_DIR || type == DT_UNKNOWN; });
    if (!find.FindFile(JoinPath(folder, "*"))) {
        const std::uint32_t code = find.error();
        if (code != ERROR_FILE_NOT_FOUND &&
            GetMessagePresenter()->show(Format(LoadString(142), {folder, FormatSystemError(code)}),
                                        MB_OKCANCEL | MB_ICONWARNING, 0) == IDCANCEL)
            ctx.stop = true;
        return;
    }
    std::vector<FindData> folders;
    for (bool more = true; more;) {
        if (pumpAndCheck(ctx)) break;
        more = find.FindNextFile();
        const FindData& fd = find.current();
        if (!(fd.attributes & FILE_ATTRIBUTE_TEMPORARY) && (fd.attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(fd.attributes & FILE_ATTRIBUTE_SYSTEM))
            folders.push_back(fd);
    }
    find.Close();
    for (std::size_t i : naturalOrder(folders)) {
        if (ctx.stop) break;
        ScanFolder(ctx, JoinPath(folder, folders[i].name), searchPattern, includeSubfolders, regularExpression);
        if (pumpAndCheck(ctx)) break;
    }
}
