#include "core/settings/CSettingsStore.h"

#include <optional>

#include "platform/RegistryFile.h"
#include "platform/WinTypes.h"
#include "res/LoadString.h"
#include "res/Version.h"

namespace {

// The names of full below the application key, or nothing when full lies elsewhere.
std::optional<std::vector<std::string>> belowApplicationKey(const std::vector<std::string>& full) {
    const std::vector<std::string>& app = ApplicationKeyNames();
    if (full.size() < app.size()) return std::nullopt;
    for (std::size_t i = 0; i < app.size(); ++i)
        if (!SameRegName(full[i], app[i])) return std::nullopt;
    std::vector<std::string> names(full.begin() + static_cast<std::ptrdiff_t>(app.size()),
                                   full.end());
    if (names.size() > kMaxKeyDepth) return std::nullopt;
    return names;
}

// base followed by the names of the relative path; nothing for an empty name ("a\\b", "\a").
std::optional<std::vector<std::string>> resolve(const std::vector<std::string>& base,
                                                const std::string& path) {
    std::vector<std::string> full = base;
    for (std::string& name : SplitKeyPath(NormalizeKeyPath(path))) {
        if (!IsValidKeyName(name)) return std::nullopt;
        full.push_back(std::move(name));
    }
    return full;
}

// The key at full (all names from the root) in root, or null.
RegKey* keyAt(RegKey& root, const std::vector<std::string>& full) {
    const auto names = belowApplicationKey(full);
    return names ? root.findPath(*names) : nullptr;
}

} // namespace

const std::vector<std::string>& ApplicationKeyNames() {
    static const std::vector<std::string> names{"SOFTWARE", ORVANE_COMPANY_NAME, LoadString(57344)};
    return names;
}

std::string NormalizeKeyPath(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

std::uint32_t RecurseDeleteKey(RegKey& parent, const std::string& name) {
    RegKey* key = parent.findKey(name);
    if (!key) return ERROR_FILE_NOT_FOUND;
    // Always the last subkey: removing it moves no other, so a key with many subkeys goes in
    // time linear in them.
    while (key->keyCount() > 0)
        if (const std::uint32_t rc =
                RecurseDeleteKey(*key, std::string(key->keyName(key->keyCount() - 1))))
            return rc;
    parent.removeKey(name);
    return ERROR_SUCCESS;
}

CSettingsStore::CSettingsStore(bool machineScope, bool readOnly)
    : readOnly_(readOnly), machineScope_(machineScope), userHive_(UserHivePath()),
      machineHive_(MachineHivePath()), currentMachine_(machineScope) {}

CSettingsStore::~CSettingsStore() {
    // Changes of a transaction never committed are dropped with it.
    Close();
}

const std::string& CSettingsStore::hivePath() const {
    return currentMachine_ ? machineHive_ : userHive_;
}

const RegKey* CSettingsStore::currentIn(const RegKey& root) const {
    const auto names = belowApplicationKey(current_);
    return names ? root.findPath(*names) : nullptr;
}

bool CSettingsStore::canWriteValues() const {
    return !readOnly_ && !currentMachine_ && currentWritable_;
}

bool CSettingsStore::change(Change change) {
    if (pending_) {
        pending_->push_back(std::move(change));
        return true;
    }
    return UpdateHive(userHive_, change) == ERROR_SUCCESS;
}

void CSettingsStore::BeginTransaction() {
    if (!pending_) pending_.emplace();
}

SettingsSaveResult CSettingsStore::CommitTransaction() {
    std::vector<Change> changes;
    if (pending_) changes = std::move(*pending_);
    pending_.reset();
    if (changes.empty()) return {ERROR_SUCCESS, userHive_};
    const std::uint32_t rc = UpdateHive(userHive_, [&](RegKey& root) {
        for (const Change& c : changes)
            if (const std::uint32_t failed = c(root)) return failed;
        return std::uint32_t{ERROR_SUCCESS};
    });
    return {rc, userHive_};
}

void CSettingsStore::RollbackTransaction() {
    pending_.reset();
}

bool CSettingsStore::CreateKey(const std::string& path) {
    // The machine settings belong to the installation; the program never writes them.
    if (readOnly_ || currentMachine_) return false;
    const auto full = resolve(current_, path);
    if (!full) return false;
    const auto names = belowApplicationKey(*full);
    if (!names) return false;

    // Most calls open a key that is already there; that needs no write. In a transaction the
    // key is made all the same, in case another instance deletes it before the commit.
    const auto exists = [&] {
        const HiveSnapshot now = ReadHive(userHive_);
        return now.state == HiveState::Ok && now.root->findPath(*names) != nullptr;
    };
    if (pending_ || !exists()) {
        const bool opened = !current_.empty();
        const bool made = change([opened, before = current_, names = *names](RegKey& root) {
            // A key opened before may have been deleted by another instance meanwhile.
            if (opened && !keyAt(root, before)) return std::uint32_t{ERROR_FILE_NOT_FOUND};
            RegKey* key = &root;
            for (const std::string& name : names)
                key = &key->createKey(name);
            return std::uint32_t{ERROR_SUCCESS};
        });
        if (!made) return false;
    }
    current_ = *full;
    currentWritable_ = true;
    return true;
}

bool CSettingsStore::Open(const std::string& path) {
    const auto full = resolve(current_, path);
    if (!full) return false;
    const auto names = belowApplicationKey(*full);
    if (!names) return false;
    const HiveSnapshot now = ReadHive(hivePath());
    if (now.state != HiveState::Ok || !now.root->findPath(*names)) return false;
    current_ = *full;
    currentWritable_ = !readOnly_ && !currentMachine_;
    return true;
}

void CSettingsStore::Close() {
    current_.clear();
    currentWritable_ = false;
}

bool CSettingsStore::DeleteValue(const std::string& name) {
    // No test of the read-only flag of its own: a key opened read-only has no right to change.
    if (!canWriteValues()) return false;
    return change([at = current_, name](RegKey& root) {
        RegKey* key = keyAt(root, at);
        return key && key->removeValue(name) ? std::uint32_t{ERROR_SUCCESS}
                                             : std::uint32_t{ERROR_FILE_NOT_FOUND};
    });
}

bool CSettingsStore::DeleteKey(const std::string& path, bool machineScope) {
    if (readOnly_) return false;
    Close();
    currentMachine_ = machineScope;
    if (machineScope) return false;
    const auto full = resolve({}, path);
    if (!full) return false;
    const auto names = belowApplicationKey(*full);
    // The application key itself holds everything; it is not deleted through this.
    if (!names || names->empty()) return false;
    std::vector<std::string> parentNames(names->begin(), names->end() - 1);
    return change([parentNames = std::move(parentNames), name = names->back()](RegKey& root) {
        RegKey* parent = root.findPath(parentNames);
        return parent ? RecurseDeleteKey(*parent, name) : std::uint32_t{ERROR_FILE_NOT_FOUND};
    });
}

bool CSettingsStore::setValue(const std::string& name, RegValue value) {
    if (!canWriteValues()) return false;
    return change([at = current_, name, value = std::move(value)](RegKey& root) {
        RegKey* key = keyAt(root, at);
        if (!key) return std::uint32_t{ERROR_FILE_NOT_FOUND};
        key->setValue(name, value);
        return std::uint32_t{ERROR_SUCCESS};
    });
}

bool CSettingsStore::Write(const std::string& name, const std::uint8_t* bytes, std::size_t count) {
    if (!bytes && count) return false;
    return setValue(name, RegValue::binary(std::vector<std::uint8_t>(bytes, bytes + count)));
}

bool CSettingsStore::Write(const std::string& name, const std::string& text) {
    // A registry text ends at its first zero byte.
    return setValue(name, RegValue::text(text.substr(0, text.find('\0'))));
}

bool CSettingsStore::Write(const std::string& name, std::uint32_t value) {
    return setValue(name, RegValue::dword(value));
}

bool CSettingsStore::Write(const std::string& name, int value) {
    return Write(name, static_cast<std::uint32_t>(value));
}

bool CSettingsStore::Read(const std::string& name, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    const HiveSnapshot now = ReadHive(hivePath());
    const RegKey* key = currentIn(*now.root);
    const RegValue* v = key ? key->findValue(name) : nullptr;
    if (!v || !v->asBinary() || v->asBinary()->empty()) return false;
    bytes = *v->asBinary();
    return true;
}

bool CSettingsStore::Read(const std::string& name, std::string& text) {
    text.clear();
    const HiveSnapshot now = ReadHive(hivePath());
    const RegKey* key = currentIn(*now.root);
    const RegValue* v = key ? key->findValue(name) : nullptr;
    if (!v || !v->asText()) return false;
    text = *v->asText();
    return true;
}

bool CSettingsStore::Read(const std::string& name, std::uint32_t& value) {
    const HiveSnapshot now = ReadHive(hivePath());
    const RegKey* key = currentIn(*now.root);
    const RegValue* v = key ? key->findValue(name) : nullptr;
    if (!v || !v->asDword()) return false;
    value = *v->asDword();
    return true;
}

bool CSettingsStore::Read(const std::string& name, int& value) {
    std::uint32_t v = 0;
    if (!Read(name, v)) return false;
    value = static_cast<int>(v);
    return true;
}

bool CSettingsStore::EnumKeys(std::vector<std::string>& names) {
    const HiveSnapshot now = ReadHive(hivePath());
    const RegKey* key = currentIn(*now.root);
    if (!key) return false;
    names.clear();
    for (std::size_t i = 0; i < key->keyCount(); ++i)
        names.push_back(key->keyName(i));
    return true;
}

bool CSettingsStore::EnumValues(std::vector<std::pair<std::string, RegValue>>& values) {
    const HiveSnapshot now = ReadHive(hivePath());
    const RegKey* key = currentIn(*now.root);
    if (!key) return false;
    values.clear();
    for (std::size_t i = 0; i < key->valueCount(); ++i)
        values.emplace_back(key->valueName(i), key->value(i));
    return true;
}

CSettingsStore* CSettingsStoreHolder::CreateStore(bool machineScope, bool readOnly) {
    if (!store_) store_ = std::make_unique<CSettingsStore>(machineScope, readOnly);
    return store_.get();
}
