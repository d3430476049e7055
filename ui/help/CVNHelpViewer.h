#pragma once

// The help window: a topic by its help id, with Zurück and Vorwärts, the index of all topics
// (with a field that narrows it) and a search in the page shown. There is one; it belongs to
// the window that asked for help, so that it stays usable beside a modal dialog.

#include <QPointer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;

class CVNHelpViewer : public QWidget {
    Q_OBJECT
public:
    // The viewer, made when there is none, and given to owner's window.
    static CVNHelpViewer* Open(QWidget* owner);
    // The viewer if there is one.
    static CVNHelpViewer* Current();

    // Shows the topic and brings the window up; false for a topic the content lacks.
    bool ShowTopic(std::uint32_t id);
    std::uint32_t currentTopic() const;

    // Searches the page for the text of the search field, from the cursor on, and starts over
    // at the other end once; false when the page does not hold it.
    bool FindInPage(bool backwards = false);

    QTextBrowser* browser() const { return browser_; }
    QListWidget* index() const { return index_; }
    QLineEdit* indexFilter() const { return filter_; }
    QLineEdit* findField() const { return find_; }
    QToolButton* backButton() const { return back_; }
    QToolButton* forwardButton() const { return forward_; }

private:
    explicit CVNHelpViewer(QWidget* parent);
    void fillIndex();
    void filterIndex(const QString& text);
    void onSourceChanged(const QUrl& url);

    QTextBrowser* browser_;
    QListWidget* index_;
    QLineEdit* filter_;
    QLineEdit* find_;
    QLabel* findResult_;
    QToolButton* back_;
    QToolButton* forward_;
};
