#include "ui/help/CVNHelpViewer.h"
#include "ui/LoadText.h"

#include <QAction>
#include <QCollator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "res/Format.h"
#include "res/LoadString.h"
#include "ui/help/HelpFile.h"
#include "ui/help/HelpIds.h"

namespace {

enum : unsigned {
    IDS_TITLE = 33600,
    IDS_TITLE_TOPIC = 33601,
    IDS_BACK = 33602,
    IDS_FORWARD = 33603,
    IDS_CONTENTS = 33604,
    IDS_KEYWORD = 33605,
    IDS_FIND = 33606,
    IDS_FIND_NEXT = 33607,
    IDS_FIND_PREVIOUS = 33608,
    IDS_NOT_FOUND = 33609,
};


QPointer<CVNHelpViewer>& theViewer() {
    static QPointer<CVNHelpViewer> viewer;
    return viewer;
}

QToolButton* toolButton(QWidget* parent, unsigned textId, const char* icon,
                        const QKeySequence& keys) {
    auto* action = new QAction(LoadText(textId), parent);
    action->setIcon(QIcon::fromTheme(QLatin1String(icon)));
    action->setShortcut(keys);
    parent->addAction(action);
    auto* b = new QToolButton(parent);
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
}

// Code and tables as the pages use them; the rest is the browser's default look.
const char* const kStyle = "code, pre { font-family: monospace; background-color: #f2f2f2; }"
                           "pre { margin-left: 12px; }"
                           "th { background-color: #e8e8e8; text-align: left; }"
                           "h1 { font-size: x-large; } h2 { font-size: large; }";

} // namespace

CVNHelpViewer* CVNHelpViewer::Open(QWidget* owner) {
    QWidget* window = owner ? owner->window() : nullptr;
    QPointer<CVNHelpViewer>& viewer = theViewer();
    if (!viewer) {
        viewer = new CVNHelpViewer(window);
    } else if (viewer->parentWidget() != window && viewer != window) {
        // A window that a modal dialog owns is not blocked by it.
        const QRect geometry = viewer->geometry();
        viewer->setParent(window, viewer->windowFlags());
        viewer->setGeometry(geometry);
    }
    return viewer;
}

CVNHelpViewer* CVNHelpViewer::Current() {
    return theViewer();
}

CVNHelpViewer::CVNHelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)), index_(new QListWidget(this)),
      filter_(new QLineEdit(this)), find_(new QLineEdit(this)), findResult_(new QLabel(this)) {
    setWindowTitle(LoadText(IDS_TITLE));
    setAttribute(Qt::WA_DeleteOnClose, false);

    back_ = toolButton(this, IDS_BACK, "go-previous", QKeySequence::Back);
    forward_ = toolButton(this, IDS_FORWARD, "go-next", QKeySequence::Forward);
    QToolButton* contents =
        toolButton(this, IDS_CONTENTS, "go-home", QKeySequence(Qt::ALT | Qt::Key_Home));
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_->defaultAction(), &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward_->defaultAction(), &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(contents->defaultAction(), &QAction::triggered, this,
            [this] { ShowTopic(HID_CONTENTS); });
    connect(browser_, &QTextBrowser::backwardAvailable, back_->defaultAction(),
            &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_->defaultAction(),
            &QAction::setEnabled);
    auto* bar = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(contents);
    bar->addStretch(1);

    // Left the index, right the page.
    auto* keyword = new QLabel(LoadText(IDS_KEYWORD), this);
    keyword->setBuddy(filter_);
    filter_->setClearButtonEnabled(true);
    auto* left = new QWidget(this);
    auto* leftBox = new QVBoxLayout(left);
    leftBox->setContentsMargins(0, 0, 0, 0);
    leftBox->addWidget(keyword);
    leftBox->addWidget(filter_);
    leftBox->addWidget(index_, 1);
    browser_->setOpenExternalLinks(true);
    browser_->document()->setDefaultStyleSheet(QLatin1String(kStyle));
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({300, 680});

    // Below, the search in the page.
    auto* findLabel = new QLabel(LoadText(IDS_FIND), this);
    findLabel->setBuddy(find_);
    find_->setClearButtonEnabled(true);
    auto* next = new QPushButton(LoadText(IDS_FIND_NEXT), this);
    auto* previous = new QPushButton(LoadText(IDS_FIND_PREVIOUS), this);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(findLabel);
    findRow->addWidget(find_, 1);
    findRow->addWidget(next);
    findRow->addWidget(previous);
    findRow->addWidget(findResult_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);
    layout->addLayout(findRow);

    connect(next, &QPushButton::clicked, this, [this] { FindInPage(false); });
    connect(previous, &QPushButton::clicked, this, [this] { FindInPage(true); });
    connect(find_, &QLineEdit::returnPressed, this, [this] { FindInPage(false); });
    connect(find_, &QLineEdit::textChanged, findResult_, &QLabel::clear);
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        find_->setFocus();
        find_->selectAll();
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this,
            [this] { FindInPage(false); });
    connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this,
            [this] { FindInPage(true); });
    connect(filter_, &QLineEdit::textChanged, this, &CVNHelpViewer::filterIndex);
    connect(index_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(Qt::UserRole).toUInt()); });
    connect(index_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(Qt::UserRole).toUInt()); });
    connect(browser_, &QTextBrowser::sourceChanged, this, &CVNHelpViewer::onSourceChanged);

    fillIndex();
    resize(1000, 660);
}

void CVNHelpViewer::fillIndex() {
    std::vector<HelpFile::Topic> topics = HelpFile::Get().topics();
    QCollator order{QLocale(QLocale::German)};
    std::sort(topics.begin(), topics.end(), [&order](const auto& a, const auto& b) {
        return order.compare(a.title, b.title) < 0;
    });
    for (const HelpFile::Topic& t : topics) {
        auto* item = new QListWidgetItem(t.title, index_);
        item->setData(Qt::UserRole, t.id);
    }
}

void CVNHelpViewer::filterIndex(const QString& text) {
    for (int i = 0; i < index_->count(); ++i) {
        QListWidgetItem* item = index_->item(i);
        item->setHidden(!item->text().contains(text.trimmed(), Qt::CaseInsensitive));
    }
}

bool CVNHelpViewer::ShowTopic(std::uint32_t id) {
    const QUrl url = HelpFile::Get().topicUrl(id);
    if (!url.isValid()) return false;
    if (browser_->source() == url)
        browser_->scrollToAnchor(QString()); // the same page again: from the top
    else
        browser_->setSource(url);
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    return true;
}

std::uint32_t CVNHelpViewer::currentTopic() const {
    return HelpFile::Get().topicOf(browser_->source());
}

void CVNHelpViewer::onSourceChanged(const QUrl& url) {
    // The browser's own source() still names the page before while it says so.
    const std::uint32_t id = HelpFile::Get().topicOf(url);
    const QString title = HelpFile::Get().title(id);
    setWindowTitle(title.isEmpty()
                       ? LoadText(IDS_TITLE)
                       : QString::fromStdString(FormatId(IDS_TITLE_TOPIC, {title.toStdString()})));
    findResult_->clear();
    for (int i = 0; i < index_->count(); ++i)
        if (index_->item(i)->data(Qt::UserRole).toUInt() == id) {
            const QSignalBlocker quiet(index_);
            index_->setCurrentRow(i);
        }
}

bool CVNHelpViewer::FindInPage(bool backwards) {
    const QString wanted = find_->text();
    findResult_->clear();
    if (wanted.isEmpty()) return false;
    const QTextDocument::FindFlags flags =
        backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (browser_->find(wanted, flags)) return true;
    // Once more from the other end of the page.
    QTextCursor start(browser_->document());
    start.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    const QTextCursor before = browser_->textCursor();
    browser_->setTextCursor(start);
    if (browser_->find(wanted, flags)) return true;
    browser_->setTextCursor(before);
    findResult_->setText(QString::fromStdString(FormatId(IDS_NOT_FOUND, {wanted.toStdString()})));
    return false;
}
