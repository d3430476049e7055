#pragma once

// A ">" button beside "Suchen" or "Ersetzen" that pops up a menu of the stored patterns of one
// type: the preconfigured ones, a separator, the user's own. While an item is highlighted the
// status bar shows the pattern's status line; afterwards the status bar says what it said
// before. The record chosen last is kept.

#include <QPushButton>
#include <QString>

#include "core/settings/CROZariduPattern.h"
#include "core/settings/PatternMenu.h"

class QMenu;
class CVNAppInfo;

class CVNPattMenuButton : public QPushButton {
    Q_OBJECT
public:
    explicit CVNPattMenuButton(const QString& text, QWidget* parent = nullptr);

    // The settings the patterns are read from; until then the menu cannot be shown.
    void SetAppInfo(const CVNAppInfo* app) { app_ = app; }

    // Pops up the menu of the type's patterns that pass the filter (CROZariduPattern::Filter)
    // at the button's top-right corner. The chosen item id, 0 when the menu was dismissed, -1
    // when there is no menu to show. An id above 0 makes its record the selected one.
    int ShowMenu(int type, int filter);
    const CROZariduPattern& selected() const { return selected_; }

    // The menu while it is open, or null.
    QMenu* openMenu() const { return menu_; }

private:
    QString statusText() const;
    void setStatusText(const QString& text);

    const CVNAppInfo* app_ = nullptr;
    PatternMenu items_;
    CROZariduPattern selected_;
    QMenu* menu_ = nullptr;
};
