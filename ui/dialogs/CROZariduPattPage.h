#pragma once

// The options page "Such-/Ersatzmuster": the user's own patterns, one list per pattern type at
// the same place, with Hinzufügen, Bearbeiten and Entfernen. Changes stay in the lists until the
// options dialog is closed with OK and the frame calls Save; Abbrechen leaves the settings alone.

#include "ui/dialogs/CVNPropertyPage.h"

class QPushButton;
class QRadioButton;
class QStackedWidget;
class CVNAppInfo;
class CVNPatternListCtrl;

class CROZariduPattPage : public CVNPropertyPage {
    Q_OBJECT
public:
    explicit CROZariduPattPage(const CVNAppInfo& app, QWidget* parent = nullptr);

    // Into the controls: loads both lists, once. Back: there is nothing to check.
    bool DoDataExchange(bool save) override;

    // Writes the changes of both lists in one write of the settings file; when that fails the
    // user is told so. False then.
    bool Save();

    // 0 wildcard, 1 regular expression: the type shown.
    int type() const;
    CVNPatternListCtrl* list(int type) const { return lists_[type == 1 ? 1 : 0]; }
    QRadioButton* typeButton(int type) const { return types_[type == 1 ? 1 : 0]; }
    QPushButton* addButton() const { return add_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* removeButton() const { return remove_; }

    void OnAdd();
    void OnEdit();
    void OnRemove();

private:
    void updateVisibility();
    CVNPatternListCtrl* shownList() const { return list(type()); }

    const CVNAppInfo& app_;
    bool loaded_ = false;
    QRadioButton* types_[2];
    CVNPatternListCtrl* lists_[2];
    QStackedWidget* stack_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* remove_;
};
