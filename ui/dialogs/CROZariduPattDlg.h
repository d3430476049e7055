#pragma once

// "Such-/Ersatzmuster hinzufügen" / "... bearbeiten": the editor of one stored pattern: its menu
// text, search and replacement pattern, status line, and where the caret goes after the pattern
// is inserted into the main window. OK checks the input (PatternEditorRules) and stays open at
// the first field that does not pass.

#include <string>
#include <vector>

#include "core/settings/CROZariduPattern.h"
#include "ui/dialogs/CVNDialog.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
struct PatternForm;

class CROZariduPattDlg : public CVNDialog {
    Q_OBJECT
public:
    enum Mode { kAdd = 0, kEdit = 1 };

    // names: the menu texts of the list the pattern belongs to, for the check that a name is
    // used once.
    CROZariduPattDlg(int mode, int userDefined, int type, std::vector<std::string> names,
                     QWidget* parent = nullptr);

    // Fills the form from a record; in edit mode its menu text is the one it may keep.
    void SetRecord(const CROZariduPattern& record);
    // Only the two patterns, for a new pattern made from the main window's fields.
    void SetPatterns(const std::string& search, const std::string& replacement);

    // The pattern as entered, after OK.
    const CROZariduPattern& record() const { return record_; }

    void accept() override;

    QLineEdit* menuTextEdit() const { return menuText_; }
    QLineEdit* searchEdit() const { return search_; }
    QLineEdit* replacementEdit() const { return replacement_; }
    QLineEdit* statuslineEdit() const { return statusline_; }
    QRadioButton* caretFieldButton(int field) const;
    QRadioButton* caretPlaceButton(int place) const;
    QLineEdit* caretNumberEdit() const { return caretNumber_; }
    QLabel* typeLabel() const { return typeText_; }

private:
    void setForm(const PatternForm& form);
    PatternForm form() const;
    void updateCaretNumber();

    int mode_;
    int userDefined_;
    int type_;
    std::vector<std::string> names_;
    int ownIndex_ = -1;
    CROZariduPattern record_;

    QLabel* typeText_;
    QLineEdit* menuText_;
    QLineEdit* search_;
    QLineEdit* replacement_;
    QLineEdit* statusline_;
    QButtonGroup* caretField_;
    QButtonGroup* caretPlace_;
    QLineEdit* caretNumber_;
};
