#pragma once

// The context menu of the selected files: Öffnen (the default application), Öffnen mit (the
// applications registered for the files' type, looked up when the submenu opens),
// Ausschneiden, Kopieren, In den Papierkorb verschieben, Endgültig löschen, Pfad kopieren,
// Im Dateimanager zeigen, Eigenschaften. Each entry invokes a verb of the shell operations.

#include <QMenu>
#include <string>
#include <vector>

class ShellOperations;

class FileContextMenu : public QMenu {
    Q_OBJECT
public:
    // paths: the selected files, whose types decide what "Öffnen mit" offers.
    FileContextMenu(ShellOperations& ops, std::vector<std::string> paths, QWidget* parent);

    // The entry of a verb ("" for Öffnen, "delete+shift" for Endgültig löschen), or null.
    QAction* verbAction(const QString& verb) const;
    QMenu* openWithMenu() const { return openWith_; }

private:
    void fillOpenWith();

    ShellOperations& ops_;
    std::vector<std::string> paths_;
    QMenu* openWith_ = nullptr;
};
