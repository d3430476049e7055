#include "bench/engines.h"

#include <regex>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <re2/re2.h>

#include "bench/syntax.h"
#include "engine/RegExp.h"

namespace {

class OurEngine final : public Engine {
public:
    const char* name() const override { return "ours"; }
    bool compile(const std::string& pattern, std::string& error) override {
        re_ = RegExp(pattern, false);
        error = re_.errorText();
        return re_.isValid();
    }
    Outcome match(std::string_view subject) override {
        if (re_.exec(subject)) return Outcome::Match;
        return re_.hasError() ? Outcome::Error : Outcome::NoMatch;
    }

private:
    RegExp re_;
};

// Works on bytes: '.' and '?' take one byte of a multi-byte character, case is folded for ASCII
// only (the "C" locale), and word characters are ASCII.
class StdRegexEngine final : public Engine {
public:
    const char* name() const override { return "std::regex"; }
    bool compile(const std::string& pattern, std::string& error) override {
        try {
            re_ = std::regex(toPerlSyntax(pattern), std::regex::ECMAScript | std::regex::icase);
            return true;
        } catch (const std::regex_error& e) {
            error = e.what();
            return false;
        }
    }
    Outcome match(std::string_view subject) override {
        try {
            return std::regex_search(subject.data(), subject.data() + subject.size(), re_)
                       ? Outcome::Match
                       : Outcome::NoMatch;
        } catch (const std::regex_error&) {
            return Outcome::Error;
        }
    }

private:
    std::regex re_;
};

// UTF mode with invalid sequences allowed in subjects (they then match nothing, not even '.').
// UCP gives Unicode word characters for \b, as ours has; DOTALL and DOLLAR_ENDONLY make '.'
// and '$' mean what they mean for us.
class Pcre2Engine final : public Engine {
public:
    Pcre2Engine(bool jit, std::uint32_t matchLimit) : jit_(jit) {
        if (matchLimit) {
            context_ = pcre2_match_context_create(nullptr);
            pcre2_set_match_limit(context_, matchLimit);
        }
    }
    ~Pcre2Engine() override {
        release();
        if (context_) pcre2_match_context_free(context_);
    }

    const char* name() const override { return jit_ ? "PCRE2-JIT" : "PCRE2"; }
    bool compile(const std::string& pattern, std::string& error) override {
        release();
        std::string p = toPerlSyntax(pattern);
        int code = 0;
        PCRE2_SIZE offset = 0;
        code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(),
                              PCRE2_CASELESS | PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP |
                                  PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY,
                              &code, &offset, nullptr);
        if (!code_) {
            PCRE2_UCHAR buf[256];
            pcre2_get_error_message(code, buf, sizeof buf);
            error = reinterpret_cast<const char*>(buf);
            return false;
        }
        if (jit_ && pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) != 0) {
            error = "JIT compilation failed";
            return false;
        }
        data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
        return true;
    }
    Outcome match(std::string_view subject) override {
        int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
                             0, data_, context_);
        if (rc >= 0) return Outcome::Match;
        return rc == PCRE2_ERROR_NOMATCH ? Outcome::NoMatch : Outcome::Error;
    }

private:
    void release() {
        if (data_) pcre2_match_data_free(data_);
        if (code_) pcre2_code_free(code_);
        data_ = nullptr;
        code_ = nullptr;
    }

    bool jit_;
    pcre2_code* code_ = nullptr;
    pcre2_match_data* data_ = nullptr;
    pcre2_match_context* context_ = nullptr;
};

// RE2's \b knows ASCII word characters only, and it has no look-around to do better.
class Re2Engine final : public Engine {
public:
    const char* name() const override { return "RE2"; }
    bool compile(const std::string& pattern, std::string& error) override {
        RE2::Options o;
        o.set_encoding(RE2::Options::EncodingUTF8);
        o.set_case_sensitive(false);
        o.set_dot_nl(true);
        o.set_log_errors(false);
        re_ = std::make_unique<RE2>(toPerlSyntax(pattern), o);
        if (!re_->ok()) error = re_->error();
        return re_->ok();
    }
    Outcome match(std::string_view subject) override {
        return RE2::PartialMatch(re2::StringPiece(subject.data(), subject.size()), *re_)
                   ? Outcome::Match
                   : Outcome::NoMatch;
    }

private:
    std::unique_ptr<RE2> re_;
};

} // namespace

std::unique_ptr<Engine> makeOurEngine() {
    return std::make_unique<OurEngine>();
}
std::unique_ptr<Engine> makeStdRegexEngine() {
    return std::make_unique<StdRegexEngine>();
}
std::unique_ptr<Engine> makePcre2Engine(bool jit, std::uint32_t matchLimit) {
    return std::make_unique<Pcre2Engine>(jit, matchLimit);
}
std::unique_ptr<Engine> makeRe2Engine() {
    return std::make_unique<Re2Engine>();
}
