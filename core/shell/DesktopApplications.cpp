#include "core/shell/DesktopApplications.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>

#include "core/shell/FileMimeData.h"

namespace {

using Group = QHash<QString, QString>;
using IniFile = QHash<QString, Group>;

// The \s \n \t \r \\ escapes of a desktop file's string values.
QString unescapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar c = value[++i];
        out += c == QLatin1Char('s')   ? QChar(' ')
               : c == QLatin1Char('n') ? QChar('\n')
               : c == QLatin1Char('t') ? QChar('\t')
               : c == QLatin1Char('r') ? QChar('\r')
                                       : c;
    }
    return out;
}

IniFile readIni(const QString& path) {
    IniFile ini;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return ini;
    QTextStream in(&f);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !ini[group].contains(line.left(eq).trimmed()))
            ini[group].insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return ini;
}

QStringList listValue(const QString& value) {
    QStringList items = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& s : items)
        s = s.trimmed();
    return items;
}

bool runnable(const QString& program) {
    if (program.isEmpty()) return false;
    if (program.contains(QLatin1Char('/'))) return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// The Exec key split into arguments: double quotes group, and inside them \" \` \$ \\ escape.
bool splitExec(const QString& exec, QStringList& args) {
    QString current;
    bool inQuotes = false, started = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == QLatin1Char('"'))
                inQuotes = false;
            else if (c == QLatin1Char('\\') && i + 1 < exec.size())
                current += exec[++i];
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            inQuotes = started = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (started) args << current;
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (inQuotes) return false;
    if (started) args << current;
    return !args.isEmpty();
}

// Where desktop entries live, the user's folder first.
QStringList applicationFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

// Every mimeapps.list, the one that decides first.
QStringList mimeAppsLists() {
    QStringList files;
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << dir + QStringLiteral("/mimeapps.list");
    for (const QString& dir : applicationFolders())
        files << dir + QStringLiteral("/mimeapps.list");
    return files;
}

class Registry {
public:
    Registry() {
        for (const QString& dir : applicationFolders()) {
            QStringList found;
            QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                found << it.next();
            found.sort();
            for (const QString& path : found) {
                // A file in a subfolder has the folders in its id: kde/a.desktop is kde-a.desktop.
                const QString id =
                    QDir(dir).relativeFilePath(path).replace(QLatin1Char('/'), QLatin1Char('-'));
                if (entries_.contains(id)) continue; // the earlier folder's entry hides this one
                entries_.insert(id, read(id, path));
                order_ << id;
            }
        }
        for (const QString& file : mimeAppsLists())
            lists_.push_back(readIni(file));
    }

    // The applications for one type and the types it derives from.
    QStringList forType(const QMimeType& type) const {
        QStringList names{type.name()};
        names << type.aliases() << type.allAncestors();
        QStringList ids;
        QSet<QString> removed;
        for (const IniFile& list : lists_)
            for (const QString& n : names)
                for (const QString& id :
                     listValue(list.value(QStringLiteral("Removed Associations")).value(n)))
                    removed.insert(id);
        auto add = [&](const QString& id) {
            if (!ids.contains(id) && !removed.contains(id) && usable(id)) ids << id;
        };
        for (const QString& n : names) {
            for (const char* group : {"Default Applications", "Added Associations"})
                for (const IniFile& list : lists_)
                    for (const QString& id : listValue(list.value(QLatin1String(group)).value(n)))
                        add(id);
            for (const QString& id : order_)
                if (entries_.value(id).types.contains(n)) add(id);
        }
        return ids;
    }

    DesktopApplication application(const QString& id) const { return entries_.value(id).app; }

private:
    struct Entry {
        DesktopApplication app;
        QStringList types;
        bool valid = false;
    };

    static Entry read(const QString& id, const QString& path) {
        const Group g = readIni(path).value(QStringLiteral("Desktop Entry"));
        Entry e;
        e.app.id = id;
        e.app.file = path;
        e.app.exec = unescapeValue(g.value(QStringLiteral("Exec")));
        e.app.iconName = g.value(QStringLiteral("Icon"));
        e.app.terminal = g.value(QStringLiteral("Terminal")) == QLatin1String("true");
        for (const char* key : {"Name[de_DE]", "Name[de]", "Name"})
            if (e.app.name.isEmpty()) e.app.name = unescapeValue(g.value(QLatin1String(key)));
        e.types = listValue(g.value(QStringLiteral("MimeType")));
        QStringList args;
        const QString tryExec = g.value(QStringLiteral("TryExec"));
        e.valid = g.value(QStringLiteral("Type")) == QLatin1String("Application") &&
                  g.value(QStringLiteral("Hidden")) != QLatin1String("true") &&
                  !e.app.name.isEmpty() && splitExec(e.app.exec, args) && runnable(args.front()) &&
                  (tryExec.isEmpty() || runnable(tryExec)) &&
                  (!e.app.terminal || runnable(QStringLiteral("x-terminal-emulator")));
        return e;
    }

    bool usable(const QString& id) const {
        auto it = entries_.find(id);
        return it != entries_.end() && it->valid;
    }

    QHash<QString, Entry> entries_;
    QStringList order_;
    std::vector<IniFile> lists_;
};

} // namespace

QString MimeTypeOfFile(const std::string& path) {
    return QMimeDatabase().mimeTypeForFile(QString::fromStdString(path)).name();
}

std::vector<DesktopApplication> ApplicationsForTypes(const QStringList& mimeTypes) {
    std::vector<DesktopApplication> apps;
    if (mimeTypes.isEmpty()) return apps;
    const Registry registry;
    const QMimeDatabase db;
    QStringList ids = registry.forType(db.mimeTypeForName(mimeTypes.front()));
    for (qsizetype i = 1; i < mimeTypes.size(); ++i) {
        const QStringList other = registry.forType(db.mimeTypeForName(mimeTypes[i]));
        ids.removeIf([&](const QString& id) { return !other.contains(id); });
    }
    for (const QString& id : ids)
        apps.push_back(registry.application(id));
    return apps;
}

std::vector<QStringList> LaunchCommands(const DesktopApplication& app,
                                        const std::vector<std::string>& paths) {
    QStringList args;
    if (!splitExec(app.exec, args)) return {};
    bool single = false;
    for (const QString& a : args)
        single = single || a.contains(QLatin1String("%f")) || a.contains(QLatin1String("%u"));
    auto expand = [&](const std::vector<std::string>& files) {
        QStringList out;
        for (const QString& a : args) {
            if (a == QLatin1String("%F") || a == QLatin1String("%U")) {
                for (const std::string& f : files)
                    out << (a == QLatin1String("%F") ? QString::fromStdString(f)
                                                     : QString::fromLatin1(FileUri(f)));
                continue;
            }
            if (a == QLatin1String("%i")) {
                if (!app.iconName.isEmpty()) out << QStringLiteral("--icon") << app.iconName;
                continue;
            }
            QString r;
            for (qsizetype i = 0; i < a.size(); ++i) {
                if (a[i] != QLatin1Char('%') || i + 1 == a.size()) {
                    r += a[i];
                    continue;
                }
                const QChar code = a[++i];
                if (code == QLatin1Char('%'))
                    r += code;
                else if (code == QLatin1Char('f') && !files.empty())
                    r += QString::fromStdString(files.front());
                else if (code == QLatin1Char('u') && !files.empty())
                    r += QString::fromLatin1(FileUri(files.front()));
                else if (code == QLatin1Char('c'))
                    r += app.name;
                else if (code == QLatin1Char('k'))
                    r += app.file;
                // Every other code is deprecated or unknown and stands for nothing.
            }
            // An argument that was only a file code stays out when there is no file.
            if (!r.isEmpty() || !a.startsWith(QLatin1Char('%'))) out << r;
        }
        if (app.terminal)
            out = QStringList{QStringLiteral("x-terminal-emulator"), QStringLiteral("-e")} + out;
        return out;
    };
    std::vector<QStringList> commands;
    if (single && paths.size() > 1)
        for (const std::string& p : paths)
            commands.push_back(expand({p}));
    else
        commands.push_back(expand(paths));
    return commands;
}
