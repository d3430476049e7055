#include "ui/dialogs/CROZariduAboutDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "res/LoadString.h"
#include "core/settings/CVNVersionInfo.h"

namespace {

// The project's own address block; .example is the domain reserved for such use until the
// project has a home of its own.
const char* const kSupportMail = "support@orvane.example";
const char* const kHomepage = "https://orvane.example/";

QLabel* text(const QString& s, QWidget* parent) {
    auto* l = new QLabel(s, parent);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel* link(const QString& href, const QString& shown, QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(href, shown.toHtmlEscaped()),
                         parent);
    l->setTextFormat(Qt::RichText);
    l->setTextInteractionFlags(Qt::TextBrowserInteraction);
    l->setOpenExternalLinks(true);
    return l;
}

} // namespace

CROZariduAboutDlg::CROZariduAboutDlg(const CVNVersionInfo& version, QWidget* parent)
    : CVNDialog(IDD_ABOUTBOX, parent) {
    const QString program = QString::fromStdString(LoadString(57344));
    setWindowTitle(QString::fromUtf8("Info über ") + program);
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    auto* name = text(program, this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    const QString versionText =
        QStringLiteral("Version ") +
        QString::fromStdString(version.VersionText(CVNVersionInfo::kMajor | CVNVersionInfo::kMinor | CVNVersionInfo::kBuild, true));
    auto* close = new QPushButton(QString::fromUtf8("S&chließen"), this);
    close->setProperty("controlId", static_cast<int>(IDC_CLOSE));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 6, 1, Qt::AlignTop);
    int row = 0;
    grid->addWidget(name, row++, 1);
    grid->addWidget(text(versionText, this), row++, 1);
    if (!version.comments.empty())
        grid->addWidget(text(QString::fromStdString(version.comments), this), row++, 1);
    grid->addWidget(text(QString::fromStdString(version.legalCopyright), this), row++, 1);
    grid->addWidget(text(QString::fromUtf8("Alle Rechte vorbehalten."), this), row++, 1);
    grid->setRowMinimumHeight(row++, 8);
    grid->addWidget(text(QString::fromUtf8("Das Orvane-Projekt"), this), row++, 1);
    grid->addWidget(link(QStringLiteral("mailto:%1").arg(QLatin1String(kSupportMail)),
                         QLatin1String(kSupportMail), this),
                    row++, 1);
    grid->addWidget(link(QLatin1String(kHomepage), QLatin1String(kHomepage), this), row++, 1);
    grid->addWidget(close, row, 0, 1, 2, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}
