#include "engine/CVNFileNameMatcher.h"

#include <new>

#include "engine/RegError.h"
#include "engine/Wildcard.h"
#include "res/Format.h"

bool CVNFileNameMatcher::compile(const std::string& regExp, bool caseSensitive,
                                 const std::string& messageFormat) {
    re_.reset();
    message_.clear();
    try {
        re_ = std::make_unique<RegExp>(regExp, caseSensitive);
    } catch (const std::bad_alloc&) {
        message_ = formatMessage(regErrorText(REG_ERR_UNKNOWN), messageFormat);
        return false;
    }
    if (re_->isValid()) return true;
    message_ = formatMessage(re_->errorText(), messageFormat);
    return false;
}

std::string CVNFileNameMatcher::formatMessage(const std::string& error,
                                              const std::string& format) const {
    if (format.empty()) return error;
    if (format.find("%s") != std::string::npos) return Format(format, {error});
    return format + ' ' + error + '.';
}

bool CVNFileNameMatcher::compileWildcard(const std::string& wildcard) {
    // The names the wildcard itself matches: "report.*" lists no bare "report", even where the
    // file system's own matching would.
    return compile(wildcardToRegExp(wildcard, false), false);
}

bool CVNFileNameMatcher::match(const std::string& name) { return re_ && re_->exec(name); }

bool CVNFileNameMatcher::replace(const std::string& replacement, std::string& out) {
    if (!re_) {
        out = regErrorText(REG_ERR_NO_PROGRAM);
        return false;
    }
    if (re_->substitute(replacement, out)) return true;
    out = formatMessage(re_->errorText(), std::string());
    return false;
}
