#pragma once

// The program's error object. An operation that fails throws one by value; the command handler
// that started the user's action catches it by const reference and shows its text. C++
// exceptions take the place of the heap object with an auto-delete flag.
//
// There is no OLE on Linux, so there is no constructor or raising helper for OLE result codes.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

class CVNException : public std::exception {
public:
    // The text of an error code (FormatSystemError); the code is kept for GetWindowsErrorCode.
    explicit CVNException(std::uint32_t code);
    explicit CVNException(std::string text);
    // The string-table entry with this id; empty if there is none.
    static CVNException FromStringId(unsigned id);
    // Copy only: a move would leave an object whose what() has no text.
    CVNException(const CVNException&) = default;
    CVNException& operator=(const CVNException&) = default;

    const char* what() const noexcept override { return text_->c_str(); }
    const std::string& text() const noexcept { return *text_; }
    // The code it was made from; ERROR_INTERNAL_ERROR for one made from a text or string id.
    std::uint32_t errorCode() const noexcept { return code_; }

    // Copies at most size - 1 bytes of the text and terminates them, cutting before a UTF-8
    // character rather than through it. Writes nothing and returns false only when there is no
    // room for the terminator (null buffer or size 0).
    bool GetErrorMessage(char* buffer, std::size_t size) const;

private:
    CVNException(std::string text, std::uint32_t code);

    // Shared so that copying the object while it is being thrown cannot throw.
    std::shared_ptr<const std::string> text_;
    std::uint32_t code_;
};

// The error code of a caught error, as far as our error kinds go: a CVNException made from a
// code gives that code; std::bad_alloc gives ERROR_NOT_ENOUGH_MEMORY; a std::system_error (and
// so a std::filesystem::filesystem_error) of the generic or system category gives the code of
// its errno; everything else ERROR_INTERNAL_ERROR. Callers drop 0 and ERROR_CANCELLED silently.
std::uint32_t GetWindowsErrorCode(const std::exception& e);

// Raising helpers.
[[noreturn]] void ThrowLastError(); // errno of this thread
[[noreturn]] void ThrowError(std::uint32_t code);
[[noreturn]] void ThrowText(const std::string& text);
[[noreturn]] void ThrowStringId(unsigned id);
