#pragma once

// The help content: topics (HTML pages named by help id in topics.txt) and the popup texts of
// the controls (popups.txt), both in the program's resources below ":/help". A content that
// cannot be read is remembered as missing, and every later request fails at once.

#include <QHash>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <vector>

class HelpFile {
public:
    struct Topic {
        std::uint32_t id;
        QString file;
        QString title;
    };

    // The content, read on first use.
    static HelpFile& Get();
    // Reads the content from another folder from now on (tests; ":/help" is the program's).
    static void SetRoot(const QString& root);

    bool ok() const { return ok_; }
    bool hasTopic(std::uint32_t id) const { return byId_.contains(id); }
    // The page of a topic, for the viewer; invalid for an unknown id.
    QUrl topicUrl(std::uint32_t id) const;
    // The topic a page belongs to, 0 for none.
    std::uint32_t topicOf(const QUrl& url) const;
    QString title(std::uint32_t id) const;
    const std::vector<Topic>& topics() const { return topics_; }
    // The popup text of a control help id; empty for none.
    QString popupText(std::uint32_t id) const { return popups_.value(id); }

private:
    explicit HelpFile(const QString& root);
    bool load();
    QUrl urlOf(const QString& file) const;

    QString root_;
    bool ok_ = false;
    std::vector<Topic> topics_;
    QHash<std::uint32_t, int> byId_;
    QHash<std::uint32_t, QString> popups_;
};
