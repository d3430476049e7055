#pragma once

// The main window base: a status bar whose message pane shows the idle prompt when nothing
// else is said, and the application's help-tip mode announcements.

#include <QMainWindow>

class QLabel;
class CVNWinApp;

class CVNFrameWnd : public QMainWindow {
    Q_OBJECT
public:
    explicit CVNFrameWnd(CVNWinApp& app, QWidget* parent = nullptr);

    // The message pane's text; an empty text brings the idle prompt back.
    void SetMessageText(const QString& text);
    // The message pane's text as it is, also an empty one (a highlighted pattern without a
    // status line).
    void SetMessagePaneText(const QString& text);
    QString messageText() const;
    // Whether Direkthilfe is on (bit 1 of the help-tip mode).
    bool contextHelpOn() const { return contextHelp_; }

protected:
    bool event(QEvent* e) override;
    // Builds the status bar with the message pane; the indicators are the derived frame's.
    QStatusBar* createStatusBar();

    CVNWinApp& app_;

private:
    QLabel* messagePane_ = nullptr;
    bool contextHelp_;
};
