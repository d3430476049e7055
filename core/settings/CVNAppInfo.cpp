#include "core/settings/CVNAppInfo.h"

#include "res/LoadString.h"
#include "res/Version.h"
#include "core/settings/CSettingsStore.h"

CVNAppInfo::CVNAppInfo()
    : versionMajor_(ORVANE_VERSION_MAJOR), versionMinor_(ORVANE_VERSION_MINOR) {}

void CVNAppInfo::SetRegistryKey(const std::string& vendor) {
    registryKey_ = vendor;
    profileName_ = LoadString(57344);
}

std::string CVNAppInfo::VersionLevel() const {
    return std::to_string(versionMajor_) + "." + std::to_string(versionMinor_);
}

std::string CVNAppInfo::BuildRegPath(bool userScope, const std::string& section) const {
    std::string path = "SOFTWARE\\" + registryKey_ + "\\" + profileName_;
    if (!userScope) path += "\\" + VersionLevel();
    if (!section.empty()) path += "\\" + section;
    return path;
}

int CVNAppInfo::GetRegInt(bool userScope, const std::string& section, const std::string& entry,
                          int defaultValue) const {
    CSettingsStoreHolder holder;
    CSettingsStore* store = holder.CreateStore(!userScope, true);
    int value = 0;
    if (store->Open(BuildRegPath(userScope, section)) && store->Read(entry, value)) return value;
    return defaultValue;
}

std::string CVNAppInfo::GetRegString(bool userScope, const std::string& section,
                                     const std::string& entry,
                                     const std::string& defaultValue) const {
    CSettingsStoreHolder holder;
    CSettingsStore* store = holder.CreateStore(!userScope, true);
    std::string value;
    if (store->Open(BuildRegPath(userScope, section)) && store->Read(entry, value)) return value;
    return defaultValue;
}

bool CVNAppInfo::GetRegBinary(bool userScope, const std::string& section, const std::string& entry,
                              std::vector<std::uint8_t>& bytes) const {
    bytes.clear();
    CSettingsStoreHolder holder;
    CSettingsStore* store = holder.CreateStore(!userScope, true);
    return store->Open(BuildRegPath(userScope, section)) && store->Read(entry, bytes);
}

bool CVNAppInfo::WriteRegInt(bool userScope, const std::string& section, const std::string& entry,
                             int value) const {
    CSettingsStoreHolder holder;
    CSettingsStore* store = holder.CreateStore(!userScope, false);
    return store->CreateKey(BuildRegPath(userScope, section)) && store->Write(entry, value);
}

bool CVNAppInfo::WriteRegString(bool userScope, const std::string& section,
                                const std::optional<std::string>& entry,
                                const std::optional<std::string>& text) const {
    CSettingsStoreHolder holder;
    CSettingsStore* store = holder.CreateStore(!userScope, false);
    const std::string path = BuildRegPath(userScope, section);
    if (!entry) return store->DeleteKey(path, !userScope);
    if (!text) return store->Open(path) && store->DeleteValue(*entry);
    return store->CreateKey(path) && store->Write(*entry, *text);
}

bool CVNAppInfo::WriteRegBinary(bool userScope, const std::string& section,
                                const std::string& entry, const std::uint8_t* bytes,
                                std::size_t count) const {
    CSettingsStoreHolder holder;
    CSettingsStore* store = holder.CreateStore(!userScope, false);
    return store->CreateKey(BuildRegPath(userScope, section)) && store->Write(entry, bytes, count);
}

int CVNAppInfo::GetProfileInt(const std::string& section, const std::string& entry,
                              int defaultValue) const {
    return GetRegInt(true, section, entry, defaultValue);
}

bool CVNAppInfo::WriteProfileInt(const std::string& section, const std::string& entry,
                                 int value) const {
    return WriteRegInt(true, section, entry, value);
}

std::string CVNAppInfo::GetProfileString(const std::string& section, const std::string& entry,
                                         const std::string& defaultValue) const {
    return GetRegString(true, section, entry, defaultValue);
}

bool CVNAppInfo::WriteProfileString(const std::string& section,
                                    const std::optional<std::string>& entry,
                                    const std::optional<std::string>& value) const {
    return WriteRegString(true, section, entry, value);
}

bool CVNAppInfo::GetProfileBinary(const std::string& section, const std::string& entry,
                                  std::vector<std::uint8_t>& bytes) const {
    return GetRegBinary(true, section, entry, bytes);
}

bool CVNAppInfo::WriteProfileBinary(const std::string& section, const std::string& entry,
                                    const std::uint8_t* bytes, std::size_t count) const {
    return WriteRegBinary(true, section, entry, bytes, count);
}
