#include "ui/shell/FileContextMenu.h"

#include <QFont>
#include <QIcon>
#include <QMimeDatabase>
#include <QSet>

#include "core/shell/DesktopApplications.h"
#include "res/LoadString.h"
#include "ui/shell/ShellOperations.h"

namespace {

constexpr unsigned IDS_OPEN = 33410, IDS_OPEN_WITH = 33411, IDS_NO_APPLICATION = 33412;

struct Entry {
    unsigned textId;
    const char* verb;
    const char* icon;
    bool shift; // "delete" with shift deletes for good
};

// Separators stand between the groups.
const Entry kEntries[][3] = {
    {{33413, "cut", "edit-cut", false}, {33414, "copy", "edit-copy", false}},
    {{33415, "delete", "user-trash", false}, {33416, "delete", "edit-delete", true}},
    {{33417, "copypath", nullptr, false}, {33418, "showinfolder", "folder-open", false}},
    {{33419, "properties", "document-properties", false}},
};

// Every file's type counts; past this many files the names alone decide, so that a large
// selection does not read the start of every file.
constexpr std::size_t kContentTypesUpTo = 100;

} // namespace

FileContextMenu::FileContextMenu(ShellOperations& ops, std::vector<std::string> paths,
                                 QWidget* parent)
    : QMenu(parent), ops_(ops), paths_(std::move(paths)) {
    QAction* open = addAction(QString::fromStdString(LoadString(IDS_OPEN)));
    open->setData(QString());
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold);
    setDefaultAction(open);
    connect(open, &QAction::triggered, this, [this] { ops_.InvokeVerb(QString(), false); });
    openWith_ = addMenu(QString::fromStdString(LoadString(IDS_OPEN_WITH)));
    connect(openWith_, &QMenu::aboutToShow, this, &FileContextMenu::fillOpenWith);
    for (const auto& group : kEntries) {
        addSeparator();
        for (const Entry& e : group) {
            if (!e.verb) continue;
            QAction* a = addAction(QString::fromStdString(LoadString(e.textId)));
            if (e.icon) a->setIcon(QIcon::fromTheme(QString::fromLatin1(e.icon)));
            const QString verb = QString::fromLatin1(e.verb);
            const bool shift = e.shift;
            a->setData(shift ? verb + QStringLiteral("+shift") : verb);
            connect(a, &QAction::triggered, this,
                    [this, verb, shift] { ops_.InvokeVerb(verb, shift); });
        }
    }
}

QAction* FileContextMenu::verbAction(const QString& verb) const {
    for (QAction* a : actions())
        if (!a->isSeparator() && !a->menu() && a->data().toString() == verb) return a;
    return nullptr;
}

void FileContextMenu::fillOpenWith() {
    if (!openWith_->isEmpty()) return;
    const QMimeDatabase db;
    QStringList types;
    for (const std::string& p : paths_) {
        const QString name = QString::fromStdString(p);
        const QString type = (paths_.size() <= kContentTypesUpTo
                                  ? db.mimeTypeForFile(name)
                                  : db.mimeTypeForFile(name, QMimeDatabase::MatchExtension))
                                 .name();
        if (!types.contains(type)) types << type;
    }
    const std::vector<DesktopApplication> apps = ApplicationsForTypes(types);
    for (const DesktopApplication& app : apps) {
        QAction* a = openWith_->addAction(QIcon::fromTheme(app.iconName), app.name);
        a->setToolTip(app.id);
        connect(a, &QAction::triggered, this, [this, app] { ops_.OpenWith(app); });
    }
    if (apps.empty())
        openWith_->addAction(QString::fromStdString(LoadString(IDS_NO_APPLICATION)))
            ->setEnabled(false);
}
