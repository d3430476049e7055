#pragma once

// The data that hands files to other programs through the clipboard and drag and drop, in the
// formats file managers read: text/uri-list (RFC 2483, every program), x-special/gnome-copied-
// files (GNOME and most GTK file managers: "copy" or "cut", then the URIs), application/x-kde-
// cutselection (KDE: "1" when the files are to be moved), and text/plain with the paths, for
// pasting into a text field.

#include <QByteArray>
#include <QMimeData>
#include <memory>
#include <string>
#include <vector>

enum class FileTransfer { Copy, Cut, Drag };

// The file URI of an absolute path. Every byte that is not unreserved is percent-encoded, so a
// name that is not UTF-8 keeps its bytes.
QByteArray FileUri(const std::string& path);

// The MIME data for paths: all four formats for Copy and Cut, the URI list and the text for a
// drag (where the drop decides between copy and move).
std::unique_ptr<QMimeData> FileMimeData(const std::vector<std::string>& paths,
                                        FileTransfer transfer);

// The paths as text, one a line, for "copy path".
QString PathsText(const std::vector<std::string>& paths);
