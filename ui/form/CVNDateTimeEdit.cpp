#include "ui/form/CVNDateTimeEdit.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QWidgetAction>

namespace {

const QString kTimeFormat = QStringLiteral("HH:mm:ss");
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

// Room for the text and the frame, as a line edit computes it.
int fieldWidth(const QLineEdit& edit, const QString& sample) {
    return edit.fontMetrics().horizontalAdvance(sample) + 2 * edit.fontMetrics().horizontalAdvance(QLatin1Char('0'));
}

} // namespace

CVNTimeEdit::CVNTimeEdit(QTime time, QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("99:99:99;_"));
    setTime(time);
    setFixedWidth(fieldWidth(*this, QStringLiteral("00:00:00")));
}

QTime CVNTimeEdit::time() const { return QTime::fromString(text(), kTimeFormat); }

void CVNTimeEdit::setTime(QTime time) { setText(time.toString(kTimeFormat)); }

CVNDateEdit::CVNDateEdit(QDate date, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
    edit_->setInputMask(QStringLiteral("99.99.9999;_"));
    edit_->setFixedWidth(fieldWidth(*edit_, QStringLiteral("00.00.0000")));
    button_->setArrowType(Qt::DownArrow);
    button_->setFocusPolicy(Qt::NoFocus); // Tab goes from field to field
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(edit_);
    row->addWidget(button_);
    setFocusProxy(edit_);
    setDate(date);
    connect(button_, &QToolButton::clicked, this, [this] { showCalendar(); });
}

QDate CVNDateEdit::date() const { return QDate::fromString(edit_->text(), kDateFormat); }

void CVNDateEdit::setDate(QDate date) { edit_->setText(date.toString(kDateFormat)); }

void CVNDateEdit::showCalendar() {
    if (!popup_) {
        popup_ = new QMenu(this);
        calendar_ = new QCalendarWidget(popup_);
        auto* action = new QWidgetAction(popup_);
        action->setDefaultWidget(calendar_);
        popup_->addAction(action);
        connect(calendar_, &QCalendarWidget::activated, this, [this](QDate d) {
            setDate(d);
            popup_->close();
            edit_->setFocus();
        });
        connect(calendar_, &QCalendarWidget::clicked, calendar_, &QCalendarWidget::activated);
    }
    if (date().isValid()) calendar_->setSelectedDate(date());
    popup_->popup(mapToGlobal(QPoint(0, height())));
}
