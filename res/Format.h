#pragma once

// The program's one formatter for texts of the string table: "%s", "%i", "%d" and "%u" are
// replaced, in order, by the next argument (a text or a whole number), "%%" by "%". Inserted
// text is not searched again; a placeholder without an argument left stays as it is, surplus
// arguments are ignored, and any other "%" sequence (such as Qt's "%1") is kept.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

class FormatArg {
public:
    FormatArg(std::string_view text) : text_(text) {}
    FormatArg(const std::string& text) : text_(text) {}
    FormatArg(const char* text) : text_(text ? text : "") {}
    FormatArg(int n) : own_(std::to_string(n)), text_(own_) {}
    FormatArg(long n) : own_(std::to_string(n)), text_(own_) {}
    FormatArg(long long n) : own_(std::to_string(n)), text_(own_) {}
    FormatArg(unsigned n) : own_(std::to_string(n)), text_(own_) {}
    FormatArg(unsigned long n) : own_(std::to_string(n)), text_(own_) {}
    FormatArg(unsigned long long n) : own_(std::to_string(n)), text_(own_) {}
    FormatArg(const FormatArg&) = delete;
    FormatArg& operator=(const FormatArg&) = delete;

    std::string_view text() const { return text_; }

private:
    std::string own_;
    std::string_view text_;
};

std::string Format(std::string_view format, std::initializer_list<FormatArg> args);

// Format with the string-table entry id as format.
std::string FormatId(unsigned id, std::initializer_list<FormatArg> args);
