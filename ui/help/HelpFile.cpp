#include "ui/help/HelpFile.h"

#include <QFile>
#include <QRegularExpression>
#include <memory>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace {

std::unique_ptr<HelpFile>& instance() {
    static std::unique_ptr<HelpFile> file;
    return file;
}

QString& rootPath() {
    static QString root = QStringLiteral(":/help");
    return root;
}

bool readLines(const QString& path, QStringList& lines) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    return true;
}

// "ID<TAB>rest" with the id in decimal or 0x hexadecimal; false for comments and blank lines.
bool splitEntry(const QString& line, std::uint32_t& id, QString& rest) {
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) return false;
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    if (tab <= 0) return false;
    bool number = false;
    id = line.left(tab).toUInt(&number, 0);
    rest = line.mid(tab + 1);
    return number && id != 0;
}

QString unescape(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c != QLatin1Char('\\') || i + 1 == s.size()) {
            out += c;
            continue;
        }
        const QChar n = s[++i];
        out += n == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
               : n == QLatin1Char('t') ? QChar(QLatin1Char('\t'))
                                       : n;
    }
    return out;
}

QString pageTitle(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(QString::fromUtf8(f.readAll()));
    return m.hasMatch()
               ? m.captured(1).simplified().replace(QStringLiteral("&amp;"), QStringLiteral("&"))
               : QString();
}

} // namespace

HelpFile& HelpFile::Get() {
    if (!instance()) instance().reset(new HelpFile(rootPath()));
    return *instance();
}

void HelpFile::SetRoot(const QString& root) {
    rootPath() = root;
    instance().reset();
}

HelpFile::HelpFile(const QString& root) : root_(root) {
    initHelpResources();
    ok_ = load();
}

bool HelpFile::load() {
    QStringList lines;
    if (!readLines(root_ + QStringLiteral("/topics.txt"), lines)) return false;
    for (const QString& line : lines) {
        std::uint32_t id = 0;
        QString file;
        if (!splitEntry(line, id, file)) continue;
        file = file.trimmed();
        const QString path = root_ + QLatin1Char('/') + file;
        if (!QFile::exists(path)) continue; // a topic without its page cannot be shown
        byId_.insert(id, static_cast<int>(topics_.size()));
        topics_.push_back({id, file, pageTitle(path)});
    }
    if (!readLines(root_ + QStringLiteral("/popups.txt"), lines)) return false;
    for (const QString& line : lines) {
        std::uint32_t id = 0;
        QString text;
        if (splitEntry(line, id, text)) popups_.insert(id, unescape(text));
    }
    return !topics_.empty();
}

QUrl HelpFile::urlOf(const QString& file) const {
    const QString path = root_ + QLatin1Char('/') + file;
    if (path.startsWith(QLatin1Char(':'))) return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(path);
}

QUrl HelpFile::topicUrl(std::uint32_t id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? QUrl() : urlOf(topics_[static_cast<std::size_t>(*it)].file);
}

std::uint32_t HelpFile::topicOf(const QUrl& url) const {
    const QString file = url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery).fileName();
    for (const Topic& t : topics_)
        if (t.file == file) return t.id;
    return 0;
}

QString HelpFile::title(std::uint32_t id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? QString() : topics_[static_cast<std::size_t>(*it)].title;
}
