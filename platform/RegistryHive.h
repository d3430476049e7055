#pragma once

// The registry stand-in's tree and its text form. A key holds subkeys and typed values; names
// of both compare without regard to case (Unicode simple case folding) and keep the case they
// were created with. A key name may hold any character but '\', which separates the parts of
// a path. Subkeys and values stay in the order they were created, so enumeration is stable.
//
// The file form is plain UTF-8 a person can read and edit:
//
//   Orvane registry file, format 1
//   ; a comment
//   [Patterns\UserDefined\Wildcard Patterns\Such-/Ersatzmuster]
//   "SearchPattern"="*.txt"
//   "CaretPos"=dword:00000005
//   "Blob"=hex:01,ab,ff
//
//   End of Orvane registry file
//
// Key paths are relative to the application key. In a key line '%', control characters and
// bytes that are not UTF-8 are written as %XX; in a quoted name or text '\\', '\"', '\n', '\r',
// '\t' and '\xHH' are the escapes. The last line tells a complete file from one cut off
// between two lines. Parsing accepts exactly this form and nothing else.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Value types by their customary numbers.
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

class RegValue {
public:
    static RegValue dword(std::uint32_t v) { return RegValue(Data(v)); }
    static RegValue text(std::string v) { return RegValue(Data(std::move(v))); }
    static RegValue binary(std::vector<std::uint8_t> v) { return RegValue(Data(std::move(v))); }

    std::uint32_t type() const;
    // The data, or null when the value has another type: a value of the wrong type reads as
    // missing.
    const std::uint32_t* asDword() const { return std::get_if<std::uint32_t>(&data_); }
    const std::string* asText() const { return std::get_if<std::string>(&data_); }
    const std::vector<std::uint8_t>* asBinary() const {
        return std::get_if<std::vector<std::uint8_t>>(&data_);
    }

    friend bool operator==(const RegValue&, const RegValue&) = default;

private:
    using Data = std::variant<std::uint32_t, std::string, std::vector<std::uint8_t>>;
    explicit RegValue(Data d) : data_(std::move(d)) {}
    Data data_;
};

// The deepest a key may lie below the root of a tree, as in the registry; deeper paths are
// refused, so that no tree can exhaust the stack of the code that walks it.
constexpr std::size_t kMaxKeyDepth = 512;

// Not empty and without '\'.
bool IsValidKeyName(std::string_view name);
// Whether two names are equal without regard to case.
bool SameRegName(std::string_view a, std::string_view b);

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey& other);
    RegKey& operator=(const RegKey& other);
    RegKey(RegKey&&) noexcept = default;
    RegKey& operator=(RegKey&&) noexcept = default;
    ~RegKey();

    std::size_t keyCount() const { return keys_.size(); }
    const std::string& keyName(std::size_t i) const { return keys_[i].name; }
    RegKey& key(std::size_t i) { return *keys_[i].key; }
    const RegKey& key(std::size_t i) const { return *keys_[i].key; }

    RegKey* findKey(std::string_view name);
    const RegKey* findKey(std::string_view name) const;
    // The subkey with this name, created at the end when there is none. The name must be valid.
    RegKey& createKey(std::string_view name);
    // Removes the subkey and everything below it; false when there is none.
    bool removeKey(std::string_view name);

    // The key at the end of a path of names below this one (empty path: this key), or null.
    RegKey* findPath(const std::vector<std::string>& names);
    const RegKey* findPath(const std::vector<std::string>& names) const;

    std::size_t valueCount() const { return values_.size(); }
    const std::string& valueName(std::size_t i) const { return values_[i].name; }
    const RegValue& value(std::size_t i) const { return values_[i].value; }

    const RegValue* findValue(std::string_view name) const;
    // Replaces the data of an existing value (its name keeps its case) or appends a new one.
    void setValue(std::string_view name, RegValue value);
    bool removeValue(std::string_view name);

    // Same names (exactly), same order, same values, all the way down.
    friend bool operator==(const RegKey& a, const RegKey& b);

private:
    struct SubKey {
        std::string name;
        std::u32string folded;
        std::unique_ptr<RegKey> key;
    };
    struct NamedValue {
        std::string name;
        std::u32string folded;
        RegValue value;
    };
    std::vector<SubKey> keys_;
    std::vector<NamedValue> values_;
};

// The file form of a tree.
std::string FormatHive(const RegKey& root);
// The tree of a file, or nothing when any line is malformed; problem then says which and why.
std::optional<RegKey> ParseHive(std::string_view text, std::string* problem = nullptr);

// Splits a key path at '\' ("" gives no names). Empty names inside are kept, so callers can
// refuse them.
std::vector<std::string> SplitKeyPath(std::string_view path);
