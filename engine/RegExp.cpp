#include "engine/RegExp.h"

#include "engine/RegError.h"

RegExp::RegExp(const char* pattern, bool caseSensitive)
    : prog_(std::make_shared<const RegProgram>(regcomp(pattern, caseSensitive))) {
    state_.errorText = prog_->compileError;
}

bool RegExp::noProgram() {
    if (prog_) return false;
    state_.errorText = regErrorText(REG_ERR_NO_PROGRAM);
    return true;
}

bool RegExp::exec(const char* subject) {
    if (subject == nullptr) {
        clearErrors();
        subject_.clear();
        if (noProgram()) return false;
        return regexec(*prog_, state_, nullptr, 0);
    }
    return exec(std::string_view(subject));
}

bool RegExp::exec(std::string_view subject, bool wordBefore) {
    clearErrors();
    subject_.assign(subject.data(), subject.size());
    if (noProgram()) return false;
    return regexec(*prog_, state_, subject_.data(), subject_.size(), wordBefore);
}

int RegExp::highestGroup() {
    clearErrors();
    if (noProgram()) return -1;
    return state_.highestGroup;
}

int RegExp::groupStart(int i) {
    clearErrors();
    if (noProgram()) return -1;
    return state_.groupStart[i];
}

int RegExp::groupLength(int i) {
    clearErrors();
    if (noProgram()) return -1;
    int s = state_.groupStart[i];
    int e = state_.groupEnd[i];
    return s >= 0 && e >= s ? e - s : 0;
}

bool RegExp::substitute(const char* replacement, std::string& out) {
    clearErrors();
    if (noProgram()) return false;
    return regsub(*prog_, state_, subject_.data(), subject_.size(), replacement, out);
}
