#include "tests/support/ScriptedPresenter.h"

std::ostream& operator<<(std::ostream& os, const ShownMessage& m) {
    return os << "{\"" << m.text << "\", type 0x" << std::hex << m.type << std::dec << ", help "
              << m.helpId << '}';
}

int ScriptedPresenter::show(const std::string& text, unsigned type, unsigned helpId) {
    shown_.push_back({text, type, helpId});
    if (answers_.empty()) return defaultAnswer_;
    const int result = answers_.front();
    answers_.pop_front();
    return result;
}
