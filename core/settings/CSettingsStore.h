#pragma once

// Typed access to the settings below the application key, in the manner of a registry key
// handle. Paths are full registry paths ("SOFTWARE\Orvane\Orvane\Settings"); the store maps
// those below the application key into the hive file of its scope (platform/RegistryFile) and
// refuses every other path. The user scope is read and written; the machine scope is only read.
//
// The "current key" is a path, not an open file: every read looks at the file as it is now, and
// every write is one locked read-modify-write, so other running instances are never overwritten.
//
// The object and rectangle variants of Read and Write are left out: nothing in the program
// stores objects or rectangles.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryHive.h"

// The application key below the root, as its names: SOFTWARE, the vendor, the application.
const std::vector<std::string>& ApplicationKeyNames();

// Removes one trailing '\' from a path that is not empty.
std::string NormalizeKeyPath(std::string path);

// Deletes the subkey name of parent with everything below it, the deepest keys first. Returns
// ERROR_SUCCESS or ERROR_FILE_NOT_FOUND.
std::uint32_t RecurseDeleteKey(RegKey& parent, const std::string& name);

class CSettingsStore {
public:
    CSettingsStore(bool machineScope, bool readOnly);
    virtual ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    // Creates (or opens) path below the current key; it becomes the current key.
    virtual bool CreateKey(const std::string& path);
    // Opens an existing key below the current key; it becomes the current key.
    virtual bool Open(const std::string& path);
    // Makes the scope's root the current key again.
    virtual void Close();
    virtual bool DeleteValue(const std::string& name);
    // Deletes path, relative to the root of the given scope, with all its subkeys; the current
    // key is that root afterwards.
    virtual bool DeleteKey(const std::string& path, bool machineScope = false);

    virtual bool Write(const std::string& name, const std::uint8_t* bytes, std::size_t count);
    virtual bool Write(const std::string& name, const std::string& text);
    virtual bool Write(const std::string& name, std::uint32_t value);
    virtual bool Write(const std::string& name, int value);

    // Empties bytes first; true only for a binary value of at least one byte.
    virtual bool Read(const std::string& name, std::vector<std::uint8_t>& bytes);
    // Empties text first; true only for a text value.
    virtual bool Read(const std::string& name, std::string& text);
    // True only for a 32-bit value.
    virtual bool Read(const std::string& name, std::uint32_t& value);
    virtual bool Read(const std::string& name, int& value);

    // The current key's subkey names and values in their stored order and case (the pattern
    // library lists and loads records with these).
    bool EnumKeys(std::vector<std::string>& names);
    bool EnumValues(std::vector<std::pair<std::string, RegValue>>& values);

    bool IsReadOnly() const { return readOnly_; }
    bool IsMachineScope() const { return machineScope_; }

private:
    // The current key's place in the hive, or null when it is not below the application key
    // or does not exist.
    const RegKey* currentIn(const RegKey& root) const;
    RegKey* currentIn(RegKey& root) const;
    bool canWriteValues() const;
    bool setValue(const std::string& name, RegValue value);
    const std::string& hivePath() const;

    bool readOnly_;
    bool machineScope_;
    std::string userHive_;
    std::string machineHive_;
    // The current key: its names below the root of currentMachine_'s scope (empty: the root),
    // and whether it was opened with the right to change its values.
    std::vector<std::string> current_;
    bool currentMachine_;
    bool currentWritable_ = false;
};

// Owns at most one store and closes it when it goes.
class CSettingsStoreHolder {
public:
    // Creates the store on the first call; later calls return that same store.
    CSettingsStore* CreateStore(bool machineScope, bool readOnly);

private:
    std::unique_ptr<CSettingsStore> store_;
};
