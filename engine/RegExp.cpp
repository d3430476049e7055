#include "engine/RegExp.h"

#include "engine/RegError.h"

RegExp::RegExp(const char* pattern, bool caseSensitive)
    : prog_(std::make_shared<RegProgram>(regcomp(pattern, caseSensitive))) {}

void RegExp::clearErrors() {
    error_.clear();
    if (prog_) prog_->errorText.clear();
}

bool RegExp::noProgram() {
    if (prog_) return false;
    error_ = regErrorText(REG_ERR_NO_PROGRAM);
    return true;
}

bool RegExp::exec(const char* subject) {
    if (subject == nullptr) {
        clearErrors();
        subject_.clear();
        if (noProgram()) return false;
        if (prog_.use_count() > 1) prog_ = std::make_shared<RegProgram>(*prog_);
        prog_->highestGroup = -1;
        return regexec(*prog_, nullptr, 0);
    }
    return exec(std::string_view(subject));
}

bool RegExp::exec(std::string_view subject) {
    clearErrors();
    subject_.assign(subject.data(), subject.size());
    if (noProgram()) return false;
    if (prog_.use_count() > 1) {
        // The copy carries the counter along, so a copied handle goes on counting.
        prog_ = std::make_shared<RegProgram>(*prog_);
        prog_->errorText.clear();
    }
    bool ok = regexec(*prog_, subject_.data(), subject_.size());
    prog_->highestGroup = -1;
    if (ok)
        for (int i = kRegGroups - 1; i >= 0; --i)
            if (prog_->groupStart[i] >= 0) {
                prog_->highestGroup = i;
                break;
            }
    return ok;
}

int RegExp::highestGroup() {
    clearErrors();
    if (noProgram()) return -1;
    return prog_->highestGroup;
}

int RegExp::groupStart(int i) {
    clearErrors();
    if (noProgram()) return -1;
    return prog_->groupStart[i];
}

int RegExp::groupLength(int i) {
    clearErrors();
    if (noProgram()) return -1;
    int s = prog_->groupStart[i];
    int e = prog_->groupEnd[i];
    return s >= 0 && e >= s ? e - s : 0;
}

bool RegExp::substitute(const char* replacement, std::string& out) {
    clearErrors();
    if (noProgram()) return false;
    return regsub(*prog_, subject_.data(), subject_.size(), replacement, out);
}
