#pragma once

// What the program knows about itself for its settings: the vendor name it registered, the
// profile name and its version, with the registry helpers that read and write one typed value
// each. Every helper uses a store of its own, so nothing stays open between two calls, and the
// scope is the one its flag names (true: the user's settings; false: the machine settings,
// below the version level, which are only read).
//
// The application object owns one; until then tests and callers make their own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CVNAppInfo {
public:
    // No registry key set yet; the version is the program's own.
    CVNAppInfo();

    // Sets the vendor name and makes the application title (string 57344) the profile name.
    void SetRegistryKey(const std::string& vendor);
    const std::string& GetRegistryKey() const { return registryKey_; }
    const std::string& GetProfileName() const { return profileName_; }
    // The machine scope's version level, "major.minor".
    std::string VersionLevel() const;

    // "SOFTWARE\<vendor>\<profile>", then "\<major.minor>" for the machine scope, then
    // "\<section>" when a section is given (an empty section is none).
    std::string BuildRegPath(bool userScope, const std::string& section = std::string()) const;

    int GetRegInt(bool userScope, const std::string& section, const std::string& entry,
                  int defaultValue) const;
    std::string GetRegString(bool userScope, const std::string& section, const std::string& entry,
                             const std::string& defaultValue = std::string()) const;
    // Empties bytes first; true when a binary value of at least one byte was read.
    bool GetRegBinary(bool userScope, const std::string& section, const std::string& entry,
                      std::vector<std::uint8_t>& bytes) const;
    bool WriteRegInt(bool userScope, const std::string& section, const std::string& entry,
                     int value) const;
    // Entry and text: writes the text. Entry without text: deletes the value. No entry: deletes
    // the section with everything below it.
    bool WriteRegString(bool userScope, const std::string& section,
                        const std::optional<std::string>& entry,
                        const std::optional<std::string>& text) const;
    bool WriteRegBinary(bool userScope, const std::string& section, const std::string& entry,
                        const std::uint8_t* bytes, std::size_t count) const;

    // The framework's profile functions: the helpers above in the user scope.
    int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) const;
    bool WriteProfileInt(const std::string& section, const std::string& entry, int value) const;
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue = std::string()) const;
    bool WriteProfileString(const std::string& section, const std::optional<std::string>& entry,
                            const std::optional<std::string>& value) const;
    bool GetProfileBinary(const std::string& section, const std::string& entry,
                          std::vector<std::uint8_t>& bytes) const;
    bool WriteProfileBinary(const std::string& section, const std::string& entry,
                            const std::uint8_t* bytes, std::size_t count) const;

private:
    std::string registryKey_;
    std::string profileName_;
    int versionMajor_;
    int versionMinor_;
};
