// Builds a manual page from its template. Lines of the template that read
//   @HELP Title@    the paragraph "Title:" of PROGRAM --help, as roff
//   @HELP@          the paragraphs of PROGRAM --help without a title, as roff
//   @INCLUDE file@  the file of that name beside the template
// are replaced, and @VERSION@ anywhere. Every paragraph of the help must land on the page, so a
// help text that grows a part the page does not place fails the build instead of drifting apart.
//
// Usage: orvane_mangen TEMPLATE OUTPUT VERSION [PROGRAM]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Paragraph {
    std::string title; // "Optionen" for "Optionen:" or "Aufruf: ..."; empty for plain text
    std::vector<std::string> lines; // without the title line when the title stands alone
    bool list = false;              // "  term   description" lines
    bool used = false;
};

[[noreturn]] void fail(const std::string& why) {
    std::cerr << "orvane_mangen: " << why << "\n";
    std::exit(1);
}

std::string runProgram(const std::string& program) {
    FILE* pipe = ::popen(("'" + program + "' --help").c_str(), "r");
    if (!pipe) fail("cannot start " + program);
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (::pclose(pipe) != 0) fail(program + " --help failed");
    return out;
}

std::vector<Paragraph> parseHelp(const std::string& help) {
    std::vector<Paragraph> paragraphs;
    std::istringstream in(help);
    bool open = false;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            open = false;
            continue;
        }
        if (!open) {
            paragraphs.emplace_back();
            open = true;
            Paragraph& p = paragraphs.back();
            const std::size_t colon = line.find(':');
            if (line.back() == ':' && line.find(' ') == std::string::npos) {
                p.title = line.substr(0, line.size() - 1);
                p.list = true;
                continue;
            }
            if (colon != std::string::npos && line.compare(colon, 2, ": ") == 0 &&
                line.find(' ') > colon) {
                p.title = line.substr(0, colon);
                line.erase(0, colon + 2);
            }
        }
        paragraphs.back().lines.push_back(line);
    }
    return paragraphs;
}

// roff for a character that groff would otherwise typeset as another one ("~" as a raised tilde,
// "'" as a closing quote), so that text copied from the page still works in a shell.
std::string glyph(char c) {
    switch (c) {
    case '\\':
        return "\\e";
    case '~':
        return "\\(ti";
    case '^':
        return "\\(ha";
    case '\'':
        return "\\(aq";
    case '`':
        return "\\(ga";
    default:
        return std::string(1, c);
    }
}

// Hyphens of options and attribute switches are minus signs, so that a copied "--apply" works;
// hyphens inside words stay hyphens.
std::string escapeText(const std::string& s) {
    std::string out;
    bool tokenIsSwitch = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (i == 0 || s[i - 1] == ' ' || s[i - 1] == '(') tokenIsSwitch = c == '-' || c == '+';
        out += c == '-' && tokenIsSwitch ? "\\-" : glyph(c);
    }
    if (!out.empty() && out[0] == '.') out.insert(0, "\\&");
    return out;
}

bool isPlaceholder(const std::string& word) {
    bool upper = false;
    for (const char c : word) {
        if (c >= 'a' && c <= 'z') return false;
        upper = upper || (c >= 'A' && c <= 'Z');
    }
    return upper && word[0] != '-' && word[0] != '$';
}

// "undo [LAUF]" as \fBundo\fR [\fILAUF\fR]: literal words bold, placeholders and paths italic.
std::string formatTerm(const std::string& term) {
    std::string out;
    std::istringstream words(term);
    for (std::string word; words >> word;) {
        if (!out.empty()) out += ' ';
        std::size_t from = 0, to = word.size();
        while (from < to && (word[from] == '[' || word[from] == '('))
            ++from;
        while (to > from && (word[to - 1] == ']' || word[to - 1] == ')' || word[to - 1] == ','))
            --to;
        const std::string core = word.substr(from, to - from);
        const bool italic = isPlaceholder(core) || core.find('/') != std::string::npos;
        std::string escaped;
        for (const char c : core)
            escaped += c == '-' ? "\\-" : glyph(c);
        out +=
            word.substr(0, from) + (italic ? "\\fI" : "\\fB") + escaped + "\\fR" + word.substr(to);
    }
    return out;
}

void writeList(std::ostream& out, const Paragraph& p) {
    std::size_t column = 0; // where the descriptions start
    for (const std::string& line : p.lines) {
        const std::size_t term = line.find_first_not_of(' ');
        if (column > 0 && term == column) {
            // A description that goes on under the one above.
            out << escapeText(line.substr(term)) << "\n";
            continue;
        }
        const std::size_t gap = line.find("  ", term);
        const std::size_t text = gap == std::string::npos ? gap : line.find_first_not_of(' ', gap);
        if (term == 0 || text == std::string::npos || (column > 0 && text != column))
            fail("help line out of its list's columns: " + line);
        column = text;
        out << ".TP\n"
            << formatTerm(line.substr(term, gap - term)) << "\n"
            << escapeText(line.substr(text)) << "\n";
    }
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
    return s;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) fail("usage: orvane_mangen TEMPLATE OUTPUT VERSION [PROGRAM]");
    const std::string templatePath = argv[1];
    const std::string folder = templatePath.substr(0, templatePath.rfind('/') + 1);
    std::vector<Paragraph> help =
        argc == 5 ? parseHelp(runProgram(argv[4])) : std::vector<Paragraph>{};

    std::ostringstream page;
    std::istringstream in(readFile(templatePath));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("@INCLUDE ", 0) == 0 && line.back() == '@') {
            page << readFile(folder + line.substr(9, line.size() - 10));
            continue;
        }
        if (line.rfind("@HELP", 0) != 0 || line.back() != '@') {
            page << replaceAll(line, "@VERSION@", argv[3]) << "\n";
            continue;
        }
        const std::string title = line.size() > 6 ? line.substr(6, line.size() - 7) : std::string();
        bool found = false;
        for (Paragraph& p : help) {
            if (p.title != title) continue;
            if (found && !title.empty()) fail("two help paragraphs titled " + title);
            if (found) page << ".PP\n";
            found = p.used = true;
            if (p.list)
                writeList(page, p);
            else if (!title.empty() && p.lines.size() == 1)
                page << formatTerm(p.lines.front()) << "\n";
            else if (!title.empty())
                fail("the help paragraph " + title + " is more than its title line");
            else
                for (const std::string& text : p.lines)
                    page << escapeText(text) << "\n";
        }
        if (!found) fail("the help has no paragraph for " + line);
    }
    for (const Paragraph& p : help)
        if (!p.used)
            fail("the page does not place the help paragraph " +
                 (p.title.empty() ? p.lines.front() : p.title));

    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << page.str();
    if (!out.flush()) fail(std::string("cannot write ") + argv[2]);
    return 0;
}
