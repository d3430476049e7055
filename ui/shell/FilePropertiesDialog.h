#pragma once

// "Eigenschaften" of the selected files: name, folder, type, size, the three times, the
// attributes, owner and permissions, read from the disk when the dialog opens. For several
// files a line that differs between them says so, the size is their sum and the folder their
// common folder. The dialog is not modal: the list goes on working beside it.

#include <string>
#include <vector>

#include "core/list/FileListRecord.h"
#include "ui/dialogs/CVNDialog.h"

class QFormLayout;

class FilePropertiesDialog : public CVNDialog {
    Q_OBJECT
public:
    // Opens the dialog for the files (records and their full paths, in the same order). A file
    // that cannot be read is reported with its path and the reason, and no dialog opens.
    static FilePropertiesDialog* showFor(const std::vector<const FileListRecord*>& records,
                                         const std::vector<std::string>& paths,
                                         const std::string& commonFolder, QWidget* parent);

    // The text shown for a line, by its position 0 (Name) to 9 (Berechtigungen).
    QString lineText(int line) const;

private:
    explicit FilePropertiesDialog(QWidget* parent);

    QFormLayout* form_ = nullptr;
};
