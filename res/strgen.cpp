// Turns res/strings.txt (lines "ID<TAB>text", C escapes, '#' comments) into a C++ table.
// Fails the build on a malformed line, a duplicate id or text that is not valid UTF-8.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

bool validUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        if (c >= 0xC2 && c <= 0xDF) extra = 1;
        else if ((c & 0xF0) == 0xE0) extra = 2;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3;
        else if (c >= 0x80) return false;
        if (i + extra >= s.size() && extra > 0) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

bool unescape(const std::string& in, std::string& out, std::string& why) {
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (++i == in.size()) {
            why = "trailing backslash";
            return false;
        }
        switch (in[i]) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case '\'': out += '\''; break;
        case 'x': {
            int v = 0, n = 0;
            while (n < 2 && i + 1 < in.size() && std::isxdigit(static_cast<unsigned char>(in[i + 1]))) {
                v = v * 16 + std::stoi(std::string(1, in[++i]), nullptr, 16);
                ++n;
            }
            if (n == 0 || v == 0) {
                why = "bad \\x escape";
                return false;
            }
            out += static_cast<char>(v);
            break;
        }
        default:
            why = std::string("unknown escape \\") + in[i];
            return false;
        }
    }
    return true;
}

std::string cLiteral(const std::string& s) {
    std::string r = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            r += '\\';
            r += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            r += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            r += buf;
        }
    }
    return r + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: orvane_strgen strings.txt out.cpp\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot open\n";
        return 1;
    }
    std::map<unsigned, std::string> table;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        auto tab = line.find('\t');
        std::string idText = line.substr(0, tab);
        std::string why;
        unsigned long id = 0;
        size_t used = 0;
        try {
            id = std::stoul(idText, &used);
        } catch (...) {
            used = 0;
        }
        std::string text;
        if (tab == std::string::npos || used != idText.size() || id > 0xFFFF)
            why = "expected ID<TAB>text";
        else if (!unescape(line.substr(tab + 1), text, why))
            ;
        else if (!validUtf8(text))
            why = "text is not valid UTF-8";
        else if (table.count(static_cast<unsigned>(id)))
            why = "duplicate id " + idText;
        if (!why.empty()) {
            std::cerr << argv[1] << ":" << lineNo << ": " << why << "\n";
            return 1;
        }
        table[static_cast<unsigned>(id)] = text;
    }
    std::ostringstream o;
    o << "// Generated from res/strings.txt. Do not edit.\n"
      << "#include \"res/StringTable.h\"\n\nnamespace orvane::res {\n"
      << "const StringEntry kStringTable[] = {\n";
    for (auto& [id, text] : table)
        o << "    {" << id << ", " << cLiteral(text) << ", " << text.size() << "},\n";
    o << "};\nconst unsigned kStringTableSize = " << table.size() << ";\n}\n";
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << o.str();
    return out ? 0 : 1;
}
