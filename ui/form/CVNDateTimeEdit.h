#pragma once

// The date and time inputs of the Datum/Attribute mode. What is typed is what is set: the text
// has a fixed form (TT.MM.JJJJ, hh:mm:ss) that is typed over from the caret on, with the
// separators stepped over, whether the field was entered with Tab or by a click. The date
// field also offers a calendar to pick from.

#include <QDate>
#include <QLineEdit>
#include <QTime>
#include <QWidget>

class QCalendarWidget;
class QMenu;
class QToolButton;

class CVNTimeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CVNTimeEdit(QTime time, QWidget* parent = nullptr);
    // Invalid when the text is not a time of day.
    QTime time() const;
    void setTime(QTime time);
};

class CVNDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit CVNDateEdit(QDate date, QWidget* parent = nullptr);
    // Invalid when the text is not a date.
    QDate date() const;
    void setDate(QDate date);
    QLineEdit* lineEdit() const { return edit_; }

private:
    void showCalendar();

    QLineEdit* edit_;
    QToolButton* button_;
    QMenu* popup_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
};
