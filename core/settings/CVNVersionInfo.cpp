#include "core/settings/CVNVersionInfo.h"

#include <cstdio>

#include "res/Version.h"

VersionResource VersionResource::Own() {
    VersionResource r;
    r.fileVersion[0] = ORVANE_VERSION_MAJOR;
    r.fileVersion[1] = ORVANE_VERSION_MINOR;
    r.fileVersion[2] = ORVANE_VERSION_PATCH;
    r.fileVersion[3] = 0;
    r.productVersionLow = ORVANE_VERSION_PATCH;
    r.strings = {{"CompanyName", ORVANE_COMPANY_NAME},
                 {"LegalCopyright", ORVANE_LEGAL_COPYRIGHT},
                 {"Comments", ORVANE_COMMENTS}};
    return r;
}

bool CVNVersionInfo::Read(const VersionResource& resource) {
    major = resource.fileVersion[0];
    minor = resource.fileVersion[1];
    build = resource.fileVersion[2];
    revision = resource.fileVersion[3];
    productVersionLow = resource.productVersionLow;
    auto text = [&resource](const char* name, std::string& out) {
        const auto it = resource.strings.find(name);
        if (it == resource.strings.end()) return false;
        out = it->second;
        return true;
    };
    text("Comments", comments);
    const bool company = text("CompanyName", companyName);
    const bool rights = text("LegalCopyright", legalCopyright);
    valid = company && rights;
    return valid;
}

std::string CVNVersionInfo::VersionText(int parts, bool separator) const {
    std::string out;
    auto add = [&](int part, const char* format, unsigned value) {
        if (!(parts & part)) return;
        char buf[16];
        std::snprintf(buf, sizeof buf, format, value);
        if (separator && !out.empty()) out += '.';
        out += buf;
    };
    add(kProduct, "%03u", productVersionLow);
    add(kMajor, "%u", major);
    add(kMinor, "%u", minor);
    add(kBuild, "%u", build);
    add(kRevision, "%u", revision);
    return out;
}
