#include "cli/CliPresenter.h"

#include <cstdio>

int CliPresenter::show(const std::string& text, unsigned type, unsigned) {
    // A question's lines after the first tell which button does what: no use here.
    const bool question = (type & MB_TYPEMASK) != MB_OK;
    std::string out = question ? text.substr(0, text.find('\n')) : text;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    std::fprintf(stderr, "orvane-cli: %s\n", out.c_str());
    switch (type & MB_TYPEMASK) {
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDNO;
    default: return IDOK;
    }
}
