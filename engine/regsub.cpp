// Replacement expansion: groups, the shared counter and case conversion of the text so far.
// A first pass checks the pattern and measures the output without touching the counter, so that
// a malformed pattern fails before anything is written or counted.

#include <climits>
#include <cstdio>
#include <string>

#include "engine/RegError.h"
#include "engine/RegProgram.h"
#include "engine/RegState.h"
#include "platform/chars.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

class Expander {
public:
    Expander(RegState& state, const char* subject, std::size_t subjectLength, bool write,
             std::string& out)
        : state_(state), subject_(subject), subjectLength_(subjectLength), write_(write),
          out_(out), started_(state.counterStarted), value_(state.counterValue) {}

    // Expands replacement; returns 0 or an engine error code.
    int run(const char* r) {
        const char* p = r;
        while (char c = *p++) {
            if (c == '&') {
                group(0);
            } else if (c == '\\' && isDigit(*p)) {
                group(*p++ - '0');
            } else if (c == '\\' && (*p == '\\' || *p == '&' || *p == ':')) {
                text(p++, 1);
            } else if (c == ':' && *p == '(') {
                ++p;
                if (*p == 'U' || *p == 'u' || *p == 'L' || *p == 'l') {
                    caseConstruct(p);
                } else {
                    counterConstruct(p);
                }
            } else {
                text(p - 1, 1);
            }
            if (error_) return error_;
        }
        return 0;
    }

    std::size_t length() const { return length_; }

private:
    struct Number {
        long long magnitude = 0;
        int digits = 0;
        bool negative = false;
    };

    // An optional sign and decimal digits. With checked, a value that could leave 32 bits is
    // error 29; a case count is read without that check and merely saturates.
    Number number(const char*& p, bool checked) {
        Number n;
        if (*p == '+' || *p == '-') n.negative = *p++ == '-';
        const long long limit = n.negative ? 2147483648LL : 2147483647LL;
        while (isDigit(*p)) {
            if (n.magnitude <= limit) n.magnitude = n.magnitude * 10 + (*p - '0');
            if (checked && n.magnitude > limit) {
                error_ = REG_ERR_NUMBER_TOO_BIG;
                return n;
            }
            ++p;
            ++n.digits;
        }
        return n;
    }

    // The character after a number must be the expected terminator; it is consumed.
    bool expect(const char*& p, char terminator) {
        if (*p != terminator) {
            error_ = REG_ERR_BAD_PARENS;
            return false;
        }
        ++p;
        return true;
    }

    void caseConstruct(const char*& p) {
        const bool upper = *p == 'U' || *p == 'u';
        ++p;
        long long count = 0;
        if (*p == ';') {
            ++p;
            Number n = number(p, false);
            count = n.negative ? -n.magnitude : n.magnitude;
        }
        if (!expect(p, ')') || !write_) return;
        convert(upper, count);
    }

    void counterConstruct(const char*& p) {
        Number s = number(p, true);
        if (error_) return;
        long long step = 1;
        if (*p == ';') {
            ++p;
            Number t = number(p, true);
            if (error_) return;
            step = t.magnitude == 0 ? 1 : t.magnitude;
            if (t.negative) step = -step;
        }
        if (!expect(p, ')')) return;

        long long start = s.negative ? -s.magnitude : s.magnitude;
        long long value = started_ ? static_cast<long long>(value_) + step : start;
        if (value < INT_MIN || value > INT_MAX) {
            // The counter would leave 32 bits; stop rather than wrap around.
            error_ = REG_ERR_NUMBER_TOO_BIG;
            return;
        }
        started_ = true;
        value_ = static_cast<std::int32_t>(value);
        if (write_) {
            state_.counterStarted = true;
            state_.counterValue = value_;
        }

        int width = s.digits + (s.negative ? 1 : 0);
        if (s.negative && value >= 0) --width;
        if (!s.negative && value < 0) ++width;
        std::string digits(static_cast<std::size_t>(width) + 16, '\0');
        int n = std::snprintf(digits.data(), digits.size(), "%0*d", width, value_);
        text(digits.data(), static_cast<std::size_t>(n));
    }

    void group(int i) {
        int start = state_.groupStart[i];
        int end = state_.groupEnd[i];
        if (!subject_ || start < 0 || end < start || static_cast<std::size_t>(end) > subjectLength_)
            return;
        std::size_t n = static_cast<std::size_t>(end - start);
        text(subject_ + start, n);
        if (n > 0 && subject_[end - 1] == '\0') error_ = REG_ERR_SUB_DAMAGED;
    }

    void text(const char* s, std::size_t n) {
        length_ += n;
        if (write_) out_.append(s, n);
    }

    // Converts the first count characters written so far (count > 0), the last -count
    // (count < 0), or all of them (0). Unicode simple mappings may change the byte length.
    void convert(bool upper, long long count) {
        const char* begin = out_.data();
        const char* end = begin + out_.size();
        const char* from = begin;
        const char* to = end;
        if (count > 0) {
            to = begin;
            for (long long k = 0; k < count && to < end; ++k) to = chars::next(to, end);
        } else if (count < 0) {
            from = end;
            for (long long k = 0; k < -count && from > begin; ++k) from = chars::previous(begin, from);
        }
        std::string mapped;
        mapped.reserve(static_cast<std::size_t>(to - from));
        for (const char* q = from; q < to;) {
            chars::Char c = chars::decode(q, to);
            char buf[4];
            unsigned n = chars::encode(upper ? chars::toUpper(c.cp) : chars::toLower(c.cp), buf);
            mapped.append(buf, n);
            q += c.len;
        }
        std::size_t offset = static_cast<std::size_t>(from - begin);
        std::size_t oldLength = static_cast<std::size_t>(to - from);
        out_.replace(offset, oldLength, mapped);
        length_ = length_ - oldLength + mapped.size();
    }

    RegState& state_;
    const char* subject_;
    std::size_t subjectLength_;
    const bool write_;
    std::string& out_;
    bool started_;
    std::int32_t value_;
    std::size_t length_ = 0;
    int error_ = 0;
};

} // namespace

bool regsub(const RegProgram& prog, RegState& state, const char* subject,
            std::size_t subjectLength, const char* replacement, std::string& out) {
    auto fail = [&](int code) {
        state.errorText = regErrorText(code);
        return false;
    };
    if (replacement == nullptr) return fail(REG_ERR_SUB_NULL);
    if (prog.program.empty() || prog.program[0] != kRegMagic) return fail(REG_ERR_SUB_CORRUPT);
    if (subject == nullptr) subjectLength = 0;

    std::string scratch;
    Expander measure(state, subject, subjectLength, false, scratch);
    if (int code = measure.run(replacement)) return fail(code);

    out.clear();
    out.reserve(measure.length());
    Expander writer(state, subject, subjectLength, true, out);
    if (int code = writer.run(replacement)) return fail(code);
    return true;
}
