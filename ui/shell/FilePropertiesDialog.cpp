#include "ui/shell/FilePropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/shell/ShellSelection.h"
#include "platform/DateText.h"
#include "platform/FileAttributes.h"
#include "platform/FileTimes.h"
#include "res/Format.h"
#include "res/LoadString.h"
#include "ui/shell/TrashOperation.h"

namespace {

constexpr unsigned IDS_TITLE_ONE = 33430, IDS_TITLE_MANY = 33431, IDS_LABELS = 33432,
                   IDS_SIZE = 33433, IDS_DIFFERENT = 33434, IDS_FILE_COUNT = 33435,
                   IDS_LINK_TO = 33436, IDS_CLOSE = 33437;
constexpr int kLines = 10;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString ownerText(uid_t uid, gid_t gid) {
    const passwd* pw = getpwuid(uid);
    const group* gr = getgrgid(gid);
    return (pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(uid)) + QLatin1Char(':') +
           (gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(gid));
}

QString permissionText(mode_t mode) {
    const char* symbols = "rwxrwxrwx";
    QString text;
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? QLatin1Char(symbols[bit]) : QLatin1Char('-');
    if (mode & S_ISUID) text[2] = (mode & S_IXUSR) ? QLatin1Char('s') : QLatin1Char('S');
    if (mode & S_ISGID) text[5] = (mode & S_IXGRP) ? QLatin1Char('s') : QLatin1Char('S');
    if (mode & S_ISVTX) text[8] = (mode & S_IXOTH) ? QLatin1Char('t') : QLatin1Char('T');
    return text + QStringLiteral(" (%1)").arg(mode & 07777, 4, 8, QLatin1Char('0'));
}

QString typeText(const FileListRecord& record, const std::string& path, const struct stat& st) {
    if (S_ISLNK(st.st_mode)) {
        std::string target(PATH_MAX, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        target.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return q(FormatId(IDS_LINK_TO, {target}));
    }
    const QString mime = QMimeDatabase().mimeTypeForFile(q(path)).name();
    return q(record.typeName()) + QStringLiteral(" (") + mime + QLatin1Char(')');
}

// The lines of one file, or the failure message.
bool readLines(const FileListRecord& record, const std::string& path, QStringList& lines,
               std::uint64_t& size, std::string& failure) {
    struct stat st {};
    FileTimes times;
    std::uint32_t attributes = 0;
    if (lstat(path.c_str(), &st) != 0) {
        failure = FileOperationFailed(path, FormatSystemError(winErrorFromErrno(errno)));
        return false;
    }
    if (const OpResult r = readFileTimes(path, times); !r.ok()) {
        failure = FileOperationFailed(path, r.text());
        return false;
    }
    const bool hasAttributes = getFileAttributes(path, attributes).ok();
    size = static_cast<std::uint64_t>(st.st_size);
    lines = {q(record.name),
             q(record.folderText()),
             typeText(record, path, st),
             QString(),
             q(FormatListDate(times.creation)),
             q(FormatListDate(times.lastWrite)),
             q(FormatListDate(times.lastAccess)),
             hasAttributes ? q(AttributeText(attributes)) : QString(),
             ownerText(st.st_uid, st.st_gid),
             permissionText(st.st_mode)};
    return true;
}

} // namespace

FilePropertiesDialog::FilePropertiesDialog(QWidget* parent) : CVNDialog(IDD_PROPERTIES, parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("filePropertiesDialog"));
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addLayout(form_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(q(LoadString(IDS_CLOSE)), QDialogButtonBox::RejectRole)
        ->setProperty("controlId", static_cast<int>(IDC_CLOSE));
    AddHelpButton(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString FilePropertiesDialog::lineText(int line) const {
    QLayoutItem* item = form_->itemAt(line, QFormLayout::FieldRole);
    auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    return label ? label->text() : QString();
}

FilePropertiesDialog*
FilePropertiesDialog::showFor(const std::vector<const FileListRecord*>& records,
                              const std::vector<std::string>& paths,
                              const std::string& commonFolder, QWidget* parent) {
    if (records.empty() || records.size() != paths.size()) return nullptr;
    QStringList lines;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        QStringList own;
        std::uint64_t size = 0;
        std::string failure;
        if (!readLines(*records[i], paths[i], own, size, failure)) {
            ReportFileFailures({failure});
            return nullptr;
        }
        total += size;
        if (i == 0) lines = own;
        for (int l = 0; l < kLines; ++l)
            if (lines[l] != own[l]) lines[l] = q(LoadString(IDS_DIFFERENT));
    }
    const bool many = records.size() > 1;
    if (many) {
        lines[0] = q(FormatId(IDS_FILE_COUNT, {records.size()}));
        std::string folder = commonFolder;
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        lines[1] = q(folder);
    }
    lines[3] =
        q(FormatId(IDS_SIZE, {QLocale().toString(static_cast<qulonglong>(total)).toStdString(),
                              SizeText(total)}));

    auto* dialog = new FilePropertiesDialog(parent);
    dialog->setWindowFlag(Qt::Window);
    dialog->setWindowTitle(many ? q(FormatId(IDS_TITLE_MANY, {records.size()}))
                                : q(FormatId(IDS_TITLE_ONE, {records.front()->name})));
    const QStringList labels = q(LoadString(IDS_LABELS)).split(QLatin1Char('\n'));
    for (int l = 0; l < kLines; ++l) {
        auto* value = new QLabel(lines[l], dialog);
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(l == 1 || l == 2);
        dialog->form_->addRow(labels.value(l), value);
    }
    dialog->setMinimumWidth(420);
    dialog->show();
    return dialog;
}
