#include "platform/NameRules.h"

#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// The file-system type of the mount that holds device dev, as mountinfo names it (the ninth
// field, after the " - " separator), or empty.
std::string mountTypeOfDevice(dev_t dev) {
    std::ifstream in("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    std::string line, found;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, device;
        fields >> id >> parent >> device;
        if (device != wanted) continue;
        const auto sep = line.find(" - ");
        if (sep == std::string::npos) continue;
        std::istringstream rest(line.substr(sep + 3));
        rest >> found; // the last matching mount is the one on top
    }
    return found;
}

} // namespace

NameRules nameRulesOfType(std::string_view t) {
    static constexpr std::string_view windowsTypes[] = {
        "vfat", "msdos", "exfat", "ntfs", "ntfs3", "cifs", "smb3", "smbfs",
        // FUSE drivers of the same file systems; fuseblk is ntfs-3g or exfat-fuse.
        "fuseblk", "fuse.fusefat", "fuse.exfat", "fuse.ntfs-3g", "fuse.ntfs", "fuse.smbnetfs"};
    for (std::string_view w : windowsTypes)
        if (t == w) return {true, true};
    return {};
}

NameRules nameRulesOf(const std::string& folder) {
    struct stat st {};
    if (stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return {};
    static std::mutex mutex;
    static std::map<dev_t, NameRules> cache;
    std::lock_guard<std::mutex> guard(mutex);
    auto it = cache.find(st.st_dev);
    if (it == cache.end()) it = cache.emplace(st.st_dev, nameRulesOfType(mountTypeOfDevice(st.st_dev))).first;
    return it->second;
}

std::string withoutTrailingDotsAndSpaces(std::string name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}
