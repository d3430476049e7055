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
#include <unordered_map>
#include <utility>
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
// The name as names are compared: each character case-folded; bytes that are not UTF-8 keep
// their own stray codes, so they equal only themselves.
std::u32string FoldRegName(std::string_view name);

// How many stored names the lookups of this thread have compared with a name sought, so far.
// Tests use it to check that finding a name does not get dearer with the number of siblings.
std::uint64_t RegNameComparisons();

namespace regdetail {

// Compares folded names and counts each comparison for RegNameComparisons.
struct CountingEqual {
    bool operator()(const std::u32string& a, const std::u32string& b) const;
};

// Named entries in the order they were made, with an index of their folded names beside
// them: a lookup costs the same however many entries there are, and so reading a file with
// many keys grows only with its size.
template <typename T> class NamedEntries {
public:
    std::size_t size() const { return entries_.size(); }
    const std::string& name(std::size_t i) const { return entries_[i].name; }
    T& item(std::size_t i) { return entries_[i].item; }
    const T& item(std::size_t i) const { return entries_[i].item; }

    T* find(std::string_view name) {
        const auto it = index_.find(FoldRegName(name));
        return it == index_.end() ? nullptr : &entries_[it->second].item;
    }
    const T* find(std::string_view name) const {
        return const_cast<NamedEntries*>(this)->find(name);
    }

    // The entry of this name; when there is none, make() gives the item of a new one at the
    // end. The second is true for a new entry.
    template <typename Make> std::pair<T*, bool> findOrAppend(std::string_view name, Make make) {
        const auto [it, added] = index_.try_emplace(FoldRegName(name), entries_.size());
        if (!added) return {&entries_[it->second].item, false};
        try {
            entries_.push_back({std::string(name), make()});
        } catch (...) {
            index_.erase(it);
            throw;
        }
        return {&entries_.back().item, true};
    }

    // Removing the last entry costs nothing more; any other moves those after it up.
    bool remove(std::string_view name) {
        const auto it = index_.find(FoldRegName(name));
        if (it == index_.end()) return false;
        const std::size_t pos = it->second;
        index_.erase(it);
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pos));
        if (pos < entries_.size())
            for (auto& entry : index_)
                if (entry.second > pos) --entry.second;
        return true;
    }

    // A copy whose items are clone(item) of these.
    template <typename Clone> NamedEntries copyWith(Clone clone) const {
        NamedEntries out;
        out.entries_.reserve(entries_.size());
        for (const Entry& e : entries_)
            out.entries_.push_back({e.name, clone(e.item)});
        out.index_ = index_;
        return out;
    }

private:
    struct Entry {
        std::string name;
        T item;
    };
    std::vector<Entry> entries_;
    std::unordered_map<std::u32string, std::size_t, std::hash<std::u32string>, CountingEqual>
        index_;
};

} // namespace regdetail

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey& other);
    RegKey& operator=(const RegKey& other);
    RegKey(RegKey&&) noexcept = default;
    RegKey& operator=(RegKey&&) noexcept = default;
    ~RegKey();

    std::size_t keyCount() const { return keys_.size(); }
    const std::string& keyName(std::size_t i) const { return keys_.name(i); }
    RegKey& key(std::size_t i) { return *keys_.item(i); }
    const RegKey& key(std::size_t i) const { return *keys_.item(i); }

    RegKey* findKey(std::string_view name);
    const RegKey* findKey(std::string_view name) const;
    // The subkey with this name, created at the end when there is none. The name must be valid.
    RegKey& createKey(std::string_view name);
    // Removes the subkey and everything below it; false when there is none. Removing the last
    // subkey takes constant time, any other time linear in the subkeys after it.
    bool removeKey(std::string_view name);

    // The key at the end of a path of names below this one (empty path: this key), or null.
    RegKey* findPath(const std::vector<std::string>& names);
    const RegKey* findPath(const std::vector<std::string>& names) const;

    std::size_t valueCount() const { return values_.size(); }
    const std::string& valueName(std::size_t i) const { return values_.name(i); }
    const RegValue& value(std::size_t i) const { return values_.item(i); }

    const RegValue* findValue(std::string_view name) const;
    // Replaces the data of an existing value (its name keeps its case) or appends a new one.
    void setValue(std::string_view name, RegValue value);
    bool removeValue(std::string_view name);

    // Same names (exactly), same order, same values, all the way down.
    friend bool operator==(const RegKey& a, const RegKey& b);

private:
    regdetail::NamedEntries<std::unique_ptr<RegKey>> keys_;
    regdetail::NamedEntries<RegValue> values_;
};

// The file form of a tree.
std::string FormatHive(const RegKey& root);
// The tree of a file, or nothing when any line is malformed; problem then says which and why.
std::optional<RegKey> ParseHive(std::string_view text, std::string* problem = nullptr);

// Splits a key path at '\' ("" gives no names). Empty names inside are kept, so callers can
// refuse them.
std::vector<std::string> SplitKeyPath(std::string_view path);
