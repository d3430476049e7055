#include "cli/CliOptions.h"

#include <QCommandLineParser>
#include <QStringList>

#include "res/Format.h"

namespace {

struct Known {
    const char* names; // comma-separated, as QCommandLineOption takes them
    bool takesValue;
    const char* commands; // the commands it belongs to, space-separated
};

const Known kOptions[] = {
    {"r,recursive", false, "find rename change"}, {"e,regex", false, "find rename change"},
    {"max", true, "find rename change"},          {"apply", false, "rename change undo"},
    {"continue", false, "rename change"},         {"stop-on-error", false, "rename change"},
    {"json", false, "find rename change history undo"},
    {"created", true, "change"},                  {"modified", true, "change"},
    {"accessed", true, "change"},                 {"attributes", true, "change"},
    {"h,help", false, ""},                        {"version", false, ""},
};

// Arguments each command takes: at least, at most.
bool argumentCountFits(const std::string& command, std::size_t n) {
    if (command == "find" || command == "change") return n == 2;
    if (command == "rename") return n == 3;
    if (command == "history") return n == 0;
    if (command == "undo") return n <= 1;
    return false;
}

QString q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
std::string s(const QString& q) { return q.toLocal8Bit().toStdString(); }

} // namespace

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& argv, std::string& error) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const Known& k : kOptions) {
        QCommandLineOption o(QString::fromLatin1(k.names).split(QLatin1Char(',')));
        if (k.takesValue) o.setValueName(QStringLiteral("x"));
        parser.addOption(o);
    }
    QStringList args{QStringLiteral("orvane-cli")};
    for (const std::string& a : argv) args << q(a);
    if (!parser.parse(args)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().first();
            error = FormatId(34003, {s((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name)});
        } else {
            // The only other failure: an option without its value. Qt's own text names it in quotes.
            const QString text = parser.errorText();
            const qsizetype from = text.indexOf(QLatin1Char('\''));
            const qsizetype to = text.indexOf(QLatin1Char('\''), from + 1);
            error = FormatId(34004, {s(from >= 0 && to > from ? text.mid(from + 1, to - from - 1) : args.last())});
        }
        return std::nullopt;
    }
    CliOptions o;
    o.help = parser.isSet(QStringLiteral("help"));
    o.version = parser.isSet(QStringLiteral("version"));
    const QStringList positional = parser.positionalArguments();
    if (o.help || o.version) return o;
    if (positional.isEmpty()) {
        error = FormatId(34001, {});
        return std::nullopt;
    }
    o.command = s(positional.first());
    for (qsizetype i = 1; i < positional.size(); ++i) o.args.push_back(s(positional[i]));
    if (o.command != "find" && o.command != "rename" && o.command != "change" && o.command != "history" &&
        o.command != "undo") {
        error = FormatId(34002, {o.command});
        return std::nullopt;
    }
    for (const Known& k : kOptions) {
        const QString name = QString::fromLatin1(k.names).section(QLatin1Char(','), -1);
        if (!parser.isSet(name) || !*k.commands) continue;
        if ((std::string(" ") + k.commands + " ").find(" " + o.command + " ") == std::string::npos) {
            error = FormatId(34017, {"--" + s(name), o.command});
            return std::nullopt;
        }
    }
    if (!argumentCountFits(o.command, o.args.size())) {
        error = FormatId(34005, {o.command});
        return std::nullopt;
    }
    o.recursive = parser.isSet(QStringLiteral("recursive"));
    o.regex = parser.isSet(QStringLiteral("regex"));
    o.apply = parser.isSet(QStringLiteral("apply"));
    o.stopOnError = parser.isSet(QStringLiteral("stop-on-error"));
    o.json = parser.isSet(QStringLiteral("json"));
    if (parser.isSet(QStringLiteral("max"))) {
        bool ok = false;
        o.max = parser.value(QStringLiteral("max")).toInt(&ok);
        if (!ok || o.max < 0) {
            error = FormatId(34006, {s(parser.value(QStringLiteral("max")))});
            return std::nullopt;
        }
    }
    const char* timeNames[3] = {"created", "modified", "accessed"};
    for (int i = 0; i < 3; ++i)
        if (parser.isSet(QString::fromLatin1(timeNames[i]))) o.times[i] = s(parser.value(QString::fromLatin1(timeNames[i])));
    if (parser.isSet(QStringLiteral("attributes"))) o.attributes = s(parser.value(QStringLiteral("attributes")));
    return o;
}
