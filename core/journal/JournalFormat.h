#pragma once

// The text form of the undo journal: one line per event, fields separated by tabs. A field may
// hold any bytes; a backslash, a tab, a line break, other control characters and bytes that
// are not UTF-8 are written as escapes (\\, \t, \n, \xHH), so that every line reads back into
// exactly the fields it was made of. A line that does not read back marks the file as damaged.
//
//   Orvane journal, format 1
//   run   <time>  <source>  <mode>  <kind>  <folder>  <search>  <replacement>
//   op    <seq>   <what the operation changed, and what was there before>
//   done  <seq>
//   undone <seq>
//   lost  <seq>           (after a crash: the operation never reached the disk)
//   end   <ok>  <failed>  (the run finished; missing after a crash)

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ops/UndoLog.h"

namespace journal {

inline constexpr std::string_view kHeader = "Orvane journal, format 1";

std::optional<std::string> unescape(std::string_view field);

// Splits a line at its tabs and unescapes every field; nothing when a field is malformed.
std::optional<std::vector<std::string>> fields(std::string_view line);
// Joins escaped fields with tabs and a line break.
std::string line(const std::vector<std::string>& fields);

// Appends one line field by field to out, without a string per field: a run writes one line
// per file.
class LineWriter {
public:
    explicit LineWriter(std::string& out) : out_(out) {}
    LineWriter& text(std::string_view field);
    template <typename T> LineWriter& num(T v) {
        separate();
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_.append(buf, static_cast<std::size_t>(r.ptr - buf));
        return *this;
    }
    // Ends the line; the next field starts a new one.
    void end();

private:
    void separate();
    std::string& out_;
    bool first_ = true;
};

// The fields of a file's identity, and the identity back from them.
void writeIdentity(LineWriter& w, const FileIdentity& id);
std::optional<FileIdentity> identityFrom(const std::vector<std::string>& fields, std::size_t first);
inline constexpr std::size_t kIdentityFields = 7;

// The fields after "op <seq> <folder>" for a record, and the record back from them (the folder is
// given separately, shared by the records of one run).
void writeRecord(LineWriter& w, const UndoRecord& r);
std::optional<UndoRecord> recordFrom(const std::vector<std::string>& fields, std::size_t first);

} // namespace journal
