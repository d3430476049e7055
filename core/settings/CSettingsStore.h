#pragma once

// Typed access to the settings below the application key, in the manner of a registry key
// handle. Paths are full registry paths ("SOFTWARE\Orvane\Orvane\Settings"); the store maps
// those below the application key into the hive file of its scope (platform/RegistryFile) and
// refuses every other path. The user scope is read and written; the machine scope is only read.
//
// The "current key" is a path, not an open file: every read looks at the file as it is now, and
// every write is one locked read-modify-write, so other running instances are never overwritten.
// A transaction groups the writes of one save (the lists at exit, the options) into a single
// read-modify-write: it waits for the lock once, and the file gets all its changes or none.
//
// The object and rectangle variants of Read and Write are left out: nothing in the program
// stores objects or rectangles.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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

// How a save of settings ended: ERROR_SUCCESS or the reason it failed, and the file it went to.
struct SettingsSaveResult {
    std::uint32_t error = 0;
    std::string file;
    bool ok() const { return error == 0; }
};

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

    // From here on CreateKey, Write, DeleteValue and DeleteKey only note their change, and
    // answer true when it is allowed and well-formed; reads and Open still see the file as it
    // is. A transaction already open goes on.
    void BeginTransaction();
    // Applies the noted changes in order to the file as it is now, under one lock, and writes
    // it once: all of them, or none when any fails (a key another instance deleted meanwhile,
    // a value to delete that is not there). Ends the transaction; without noted changes it
    // touches nothing.
    SettingsSaveResult CommitTransaction();
    // Forgets the noted changes and ends the transaction; so does the store's destructor.
    void RollbackTransaction();
    bool InTransaction() const { return pending_.has_value(); }

    // The user's settings file, which every write goes to.
    const std::string& UserHive() const { return userHive_; }
    bool IsReadOnly() const { return readOnly_; }
    bool IsMachineScope() const { return machineScope_; }

private:
    using Change = std::function<std::uint32_t(RegKey&)>;

    // The current key's place in the hive, or null when it is not below the application key
    // or does not exist.
    const RegKey* currentIn(const RegKey& root) const;
    bool canWriteValues() const;
    bool setValue(const std::string& name, RegValue value);
    // Makes the change in the user's file now, or notes it in a transaction.
    bool change(Change change);
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
    // The changes noted since BeginTransaction; none without a transaction.
    std::optional<std::vector<Change>> pending_;
};

// Owns at most one store and closes it when it goes.
class CSettingsStoreHolder {
public:
    // Creates the store on the first call; later calls return that same store.
    CSettingsStore* CreateStore(bool machineScope, bool readOnly);

private:
    std::unique_ptr<CSettingsStore> store_;
};
