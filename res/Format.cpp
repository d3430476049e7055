#include "res/Format.h"

#include "res/LoadString.h"

std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
    std::string result;
    result.reserve(format.size());
    auto arg = args.begin();
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = format.find('%', pos);
        if (hit == std::string_view::npos || hit + 1 >= format.size()) break;
        const char c = format[hit + 1];
        result.append(format, pos, hit - pos);
        pos = hit + 2;
        if (c == '%') {
            result += '%';
        } else if ((c == 's' || c == 'i' || c == 'd' || c == 'u') && arg != args.end()) {
            result.append((arg++)->text());
        } else {
            result.append(format, hit, 2);
        }
    }
    result.append(format, pos, std::string_view::npos);
    return result;
}

std::string FormatId(unsigned id, std::initializer_list<FormatArg> args) {
    return Format(LoadString(id), args);
}
