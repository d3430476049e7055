#pragma once

// The applications the desktop has registered for a type of file, for "Öffnen mit": desktop
// entries (*.desktop) in the applications folders of $XDG_DATA_HOME and $XDG_DATA_DIRS that
// name the MIME type or one it derives from, with the user's and the system's choices from
// mimeapps.list (defaults first, added and removed associations), and the command lines that
// start one of them with files.

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

struct DesktopApplication {
    QString id;   // the desktop file id, e.g. "org.gnome.TextEditor.desktop"
    QString name; // German where the entry has a German name
    QString iconName;
    QString exec; // the Exec key as it stands
    QString file; // the desktop file itself
    bool terminal = false;
};

// The applications that can open files of every one of these MIME types, in the order of the
// first type's list: its default first. Entries whose program is missing are left out.
std::vector<DesktopApplication> ApplicationsForTypes(const QStringList& mimeTypes);

// The MIME type of a file, by its name and, where the name tells nothing, its content.
QString MimeTypeOfFile(const std::string& path);

// The command lines (program first) that start app with the files: one for an application that
// takes a list of files, one per file for one that takes a single file. Empty when the Exec key
// cannot be read.
std::vector<QStringList> LaunchCommands(const DesktopApplication& app,
                                        const std::vector<std::string>& paths);
