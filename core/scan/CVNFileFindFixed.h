#pragma once

// Enumerates one folder and passes on only the entries whose names match the program's own
// wildcard rules (so *.htm never lists page.html), whatever the file system would match.
// Like a file finder with one entry of look-ahead: FindFile loads the first entry, each
// FindNextFile makes the look-ahead entry current and tells whether another one follows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/CVNFileNameMatcher.h"
#include "platform/DirectoryReader.h"

class CVNFileFindFixed {
public:
    explicit CVNFileFindFixed(CVNFileNameMatcher& matcher) : matcher_(matcher) {}

    // path = folder + "/" + name part (a wildcard; "*" and "*.*" mean every entry). False when
    // the folder cannot be read (error() tells why) or holds no matching entry (error() is
    // ERROR_FILE_NOT_FOUND).
    bool FindFile(const std::string& path);

    // Makes the next entry current; false once the current entry is the last.
    bool FindNextFile();

    // The other way through a folder: Open, then ReadBatch until it gives false. Open fails
    // only when the folder cannot be read; each batch appends up to max matching entries.
    bool Open(const std::string& path);
    bool ReadBatch(std::vector<FindData>& entries, std::size_t max);

    // Which entries are worth examining besides the name filter: by name and entry type.
    void setPrefilter(std::function<bool(const char* name, unsigned char type)> wanted) {
        wanted_ = std::move(wanted);
    }

    void setStoredAttributesWanted(bool wanted) { reader_.setStoredAttributesWanted(wanted); }
    void setNamesOnly(bool namesOnly) { reader_.setNamesOnly(namesOnly); }

    const FindData& current() const { return current_; }
    std::uint32_t error() const { return error_; }
    void Close() { reader_.close(); }

private:
    bool loadNext();

    CVNFileNameMatcher& matcher_;
    DirectoryReader reader_;
    bool filter_ = false;
    bool haveNext_ = false;
    FindData current_;
    FindData next_;
    std::uint32_t error_ = 0;
    std::function<bool(const char*, unsigned char)> wanted_;
};

// folder + "/" + name, without doubling a slash; name alone for an empty folder.
std::string JoinPath(const std::string& folder, const std::string& name);
