#include "core/messages/CVNException.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <system_error>
#include <utility>

#include "platform/chars.h"
#include "platform/errors.h"
#include "res/LoadString.h"

CVNException::CVNException(std::string text, std::uint32_t code)
    : text_(std::make_shared<const std::string>(std::move(text))), code_(code) {}

CVNException::CVNException(std::uint32_t code) : CVNException(FormatSystemError(code), code) {}

CVNException::CVNException(std::string text)
    : CVNException(std::move(text), ERROR_INTERNAL_ERROR) {}

CVNException CVNException::FromStringId(unsigned id) {
    return CVNException(LoadString(id));
}

bool CVNException::GetErrorMessage(char* buffer, std::size_t size) const {
    if (buffer == nullptr || size == 0) return false;
    const char* begin = text_->data();
    const char* end = begin + text_->size();
    const char* limit = begin + std::min(text_->size(), size - 1);
    // Walk whole characters so that stray bytes count as characters of their own and only a
    // valid multi-byte sequence is kept together.
    const char* cut = begin;
    while (cut < limit) {
        const char* next = chars::next(cut, end);
        if (next > limit) break;
        cut = next;
    }
    std::copy(begin, cut, buffer);
    buffer[cut - begin] = '\0';
    return true;
}

std::uint32_t GetWindowsErrorCode(const std::exception& e) {
    if (auto* own = dynamic_cast<const CVNException*>(&e)) return own->errorCode();
    if (dynamic_cast<const std::bad_alloc*>(&e)) return ERROR_NOT_ENOUGH_MEMORY;
    if (auto* sys = dynamic_cast<const std::system_error*>(&e)) {
        const std::error_code& code = sys->code();
        if (code.category() == std::generic_category() || code.category() == std::system_category())
            return winErrorFromErrno(code.value());
    }
    return ERROR_INTERNAL_ERROR;
}

void ThrowLastError() {
    const int err = errno; // before anything else can overwrite it
    throw CVNException(winErrorFromErrno(err));
}

void ThrowError(std::uint32_t code) {
    throw CVNException(code);
}

void ThrowText(const std::string& text) {
    throw CVNException(text);
}

void ThrowStringId(unsigned id) {
    throw CVNException::FromStringId(id);
}
