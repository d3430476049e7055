#pragma once

// The program's version information: file version numbers and the vendor texts. On Linux the
// build writes them into the program (res/Version.h); VersionResource is that record, so a test
// can hand in one with a text missing.

#include <cstdint>
#include <map>
#include <string>

struct VersionResource {
    std::uint16_t fileVersion[4] = {}; // major, minor, build, revision
    std::uint16_t productVersionLow = 0;
    std::map<std::string, std::string> strings; // "CompanyName", "LegalCopyright", "Comments"

    // The program's own, from the build.
    static VersionResource Own();
};

class CVNVersionInfo {
public:
    // Parts of VersionText.
    enum Part { kProduct = 1, kMajor = 2, kMinor = 4, kBuild = 8, kRevision = 16 };

    // Valid only when "CompanyName" and "LegalCopyright" are both present.
    bool Read(const VersionResource& resource);

    // The selected parts in the order product, major, minor, build, revision; the product part
    // as three digits. With separator, "." between parts.
    std::string VersionText(int parts, bool separator) const;

    bool valid = false;
    std::uint16_t productVersionLow = 0;
    std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
    std::string comments, companyName, legalCopyright;
};
