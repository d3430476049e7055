#include "ui/dialogs/CROZariduGnrlPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "res/LoadString.h"
#include "core/messages/Messages.h"

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

void tag(QWidget* w, int id) {
    w->setProperty("controlId", id);
}

// Parses like "%d": optional blanks and sign, then digits; anything after them is ignored.
bool parseInt(const QString& text, long long& value) {
    const std::string s = text.toStdString();
    const char* begin = s.c_str();
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(begin, &end, 10);
    if (end == begin) return false;
    if (errno == ERANGE) value = value < 0 ? LLONG_MIN : LLONG_MAX;
    return true;
}

bool rangeFails(long long value, long long low, long long high) {
    if (value >= low && value <= high) return false;
    std::string text = LoadString(33201);
    text.replace(text.find("%1"), 2, std::to_string(low));
    text.replace(text.find("%2"), 2, std::to_string(high));
    GetMessagePresenter()->show(text, MB_OK | MB_ICONEXCLAMATION, 0);
    return true;
}

} // namespace

CROZariduGnrlPage::CROZariduGnrlPage(QWidget* parent) : CVNPropertyPage(IDD_GENERAL_PAGE, u8("Allgemein"), parent) {
    auto* list = new QGroupBox(u8("Dateiliste"), this);
    tag(list, 1000);
    maxFiles_ = new QLineEdit(list);
    tag(maxFiles_, 1001);
    // Digits only, so a negative number cannot be typed.
    maxFiles_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(u8("[0-9]*")), maxFiles_));
    maxFiles_->setMaxLength(10);
    auto* label = new QLabel(u8("&Maximale Größe:"), list);
    label->setBuddy(maxFiles_);
    auto* note = new QLabel(u8("(0 = keine Obergrenze)"), list);
    auto* warning =
        new QLabel(u8("Achtung: Bei der Einstellung 0 oder bei sehr großen Werten kann die "
                      "Dateiliste sehr viel Arbeitsspeicher belegen (siehe Hilfe)."),
                   list);
    warning->setWordWrap(true);
    auto* listGrid = new QGridLayout(list);
    listGrid->addWidget(label, 0, 0);
    listGrid->addWidget(maxFiles_, 0, 1);
    listGrid->addWidget(note, 0, 2);
    listGrid->setColumnStretch(3, 1);
    listGrid->addWidget(warning, 1, 0, 1, 4);

    auto* runs = new QGroupBox(u8("Alle Umbenennen / Alle Umändern"), this);
    tag(runs, 1002);
    auto* explain =
        new QLabel(u8("Wenn während eines Umbenennungs-/Änderungslaufes eine Datei nicht "
                      "bearbeitet werden kann (z.B. der neue Dateiname existiert "
                      "bereits), soll der Umbenennungs-/ Änderungslauf "),
                   runs);
    explain->setWordWrap(true);
    stop_ = new QRadioButton(u8("&abgebrochen werden,"), runs);
    tag(stop_, 1003);
    goOn_ = new QRadioButton(u8("mit der nächsten Datei &fortgesetzt werden."), runs);
    tag(goOn_, 1004);
    auto* runsBox = new QVBoxLayout(runs);
    runsBox->addWidget(explain);
    runsBox->addWidget(stop_);
    runsBox->addWidget(goOn_);

    helpTips_ = new QCheckBox(u8("&Direkthilfe-Popupfenster (Tipps) automatisch anzeigen"), this);
    tag(helpTips_, 1005);

    auto* page = new QVBoxLayout(this);
    page->addWidget(list);
    page->addWidget(runs);
    page->addWidget(helpTips_);
    page->addStretch(1);
}

bool CROZariduGnrlPage::DoDataExchange(bool save) {
    if (!save) {
        maxFiles_->setText(QString::number(m_maxFiles));
        (m_renAllMode == 1 ? goOn_ : stop_)->setChecked(true);
        helpTips_->setChecked(m_showHelpTips != 0);
        return true;
    }
    long long value = 0;
    if (!parseInt(maxFiles_->text(), value)) {
        GetMessagePresenter()->show(LoadString(33200), MB_OK | MB_ICONEXCLAMATION, 0);
        maxFiles_->setFocus();
        maxFiles_->selectAll();
        return false;
    }
    if (rangeFails(value, 0, INT_MAX)) {
        maxFiles_->setFocus();
        maxFiles_->selectAll();
        return false;
    }
    const int mode = goOn_->isChecked() ? 1 : stop_->isChecked() ? 0 : -1;
    if (rangeFails(mode, 0, 1)) {
        stop_->setFocus();
        return false;
    }
    m_maxFiles = static_cast<std::int32_t>(value);
    m_renAllMode = mode;
    m_showHelpTips = helpTips_->isChecked() ? 1 : 0;
    return true;
}
