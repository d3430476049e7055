#pragma once

// Context help for every window: help tips from the string table, the control popups of
// Direkthilfe (Umschalt+F1, the toolbar button, the right-click menu), and the topics of F1 and
// the Hilfe buttons. One application-wide event filter carries it; the windows only say who
// they are (CVNHelpWindow).

#include <QEvent>
#include <QPoint>
#include <QString>
#include <cstdint>

class QMenu;
class QWidget;

// The help-tip mode bits.
enum HelpTipModeBits : int {
    kHelpTipsOn = 1,        // help tips appear by themselves
    kContextHelpOn = 2,     // Direkthilfe: popups, the right-click menu, the caption's "?"
    kPopupsFromStrings = 4, // popups show the tip texts instead of the help content's texts
};

// Sent to the main window and every window below it when the help-tip mode changes.
class HelpTipModeEvent : public QEvent {
public:
    explicit HelpTipModeEvent(int mode) : QEvent(type()), mode_(mode) {}
    static QEvent::Type type();
    int mode() const { return mode_; }

private:
    int mode_;
};

// The mode windows apply when they are made (2 until the application sets it).
int CurrentHelpTipMode();
void SetCurrentHelpTipMode(int mode);

// Installs the event filter once; every help window does so when it is made.
void InstallContextHelp();

// The control with that id in a help window (not in a help window inside it), or null.
QWidget* FindControl(QWidget* window, int controlId);

// The control id a widget stands for: its own or its nearest ancestor's in the window; a label
// without an id stands for its buddy or, without one, for the next control. 0 for none.
int ControlIdAt(QWidget* window, QWidget* w);

// What help a click on w asks for: the control's help id (0 when it has none), or the window's
// help id when w belongs to no control.
std::uint32_t HelpHitTest(QWidget* w);

// The help entry point: a topic for a window help id, a popup for a control help id.
void WinHelp(std::uint32_t id, QWidget* from, const QPoint& globalPos);

// Opens the help viewer at a topic, owned by owner's window; says 61703 when it cannot.
bool ShowHelpTopic(QWidget* owner, std::uint32_t topicId);

// The popup of a control help id at a point; nothing without Direkthilfe or a text.
bool ShowControlHelpPopup(std::uint32_t helpId, QWidget* control, const QPoint& globalPos);

// The right-click menu of w: "Direkt&hilfe" when the control has a popup, then the items of
// extra (the control's own menu) after a separator. False when there was nothing to show.
bool TrackHelpMenu(QWidget* w, const QPoint& globalPos, bool keyboard, QMenu* extra);
