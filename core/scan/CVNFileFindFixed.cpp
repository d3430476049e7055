#include "core/scan/CVNFileFindFixed.h"

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + '/' + name;
}

bool CVNFileFindFixed::Open(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0             ? std::string("/")
                                                        : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) name = "*.*";
    filter_ = name != "*" && name != "*.*" && matcher_.compileWildcard(name);
    haveNext_ = false;
    // Names are checked before an entry is examined, so that a scan pays only for matches.
    reader_.setFilter([this](const char* entryName, unsigned char type) {
        return (!filter_ || matcher_.match(entryName)) && (!wanted_ || wanted_(entryName, type));
    });
    if (!reader_.open(folder)) {
        error_ = reader_.error();
        return false;
    }
    error_ = 0;
    return true;
}

bool CVNFileFindFixed::ReadBatch(std::vector<FindData>& entries, std::size_t max) {
    const bool more = reader_.nextBatch(entries, max);
    error_ = reader_.error();
    return more;
}

bool CVNFileFindFixed::FindFile(const std::string& path) {
    if (!Open(path)) return false;
    if (!loadNext()) {
        reader_.close();
        if (error_ == 0) error_ = ERROR_FILE_NOT_FOUND;
        return false;
    }
    return true;
}

bool CVNFileFindFixed::loadNext() {
    if (reader_.next(next_)) return haveNext_ = true;
    error_ = reader_.error();
    return haveNext_ = false;
}

bool CVNFileFindFixed::FindNextFile() {
    if (!haveNext_) return false;
    std::swap(current_, next_);
    return loadNext();
}
