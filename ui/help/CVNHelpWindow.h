#pragma once

// What every window with context help has: a template id that gives its help ids, a map that
// lets one control share another's tip and popup, and whether it shows help tips now. The
// dialogs, the options sheet and its pages and the main form carry it beside their Qt class.

#include <cstdint>

#include "ui/help/HelpIds.h"

class QWidget;

struct HelpIdPair {
    int control;
    int help;
};

class CVNHelpWindow {
public:
    explicit CVNHelpWindow(int templateId) : templateId_(templateId) {}
    virtual ~CVNHelpWindow() = default;

    int templateId() const { return templateId_; }

    // (control id, help control id) pairs, ended by a pair with control id 0. A control found
    // here takes the tip and the popup of the other; the default table is empty.
    virtual const HelpIdPair* GetHelpIdMap() const;
    int MapControlId(int id) const;

    // The topic that F1, the Hilfe button and a click on no control open.
    virtual std::uint32_t windowHelpId() const { return WindowHelpId(templateId_); }

    // The help id of the control with that id in this window: its own ("helpId" property, 0
    // for a control without help), else the one its template gives; 0 without such a control.
    std::uint32_t controlHelpId(int controlId) const;

    // Bit 0 of the help-tip mode switches this window's tips on or off; a window not yet shown
    // also gets the caption's help button with bit 1.
    void ApplyHelpTipMode(int mode);
    bool helpTipsEnabled() const { return tips_; }

    QWidget* helpWidget() const;
    // The help window a widget belongs to: the widget itself or its nearest ancestor that is one.
    static CVNHelpWindow* Of(QWidget* w);

private:
    int templateId_;
    bool tips_ = false;
};
