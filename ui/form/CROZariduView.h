#pragma once

// The main form: folder, pattern and option controls, the date and attribute inputs, the run
// buttons and the file list. Two modes, "Finden/Umbenennen" and "Datum/Attribute", each showing
// its own controls and list columns. Every control carries its numeric id in the dynamic
// property "controlId", so help and tips can find it.

#include <QElapsedTimer>
#include <QPointer>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string>

#include "core/journal/Journal.h"
#include "core/ops/UndoCommand.h"
#include "core/runs/CVNRun.h"
#include "core/scan/MessagePump.h"
#include "engine/CVNFileNameMatcher.h"
#include "ui/form/CVNFormView.h"
#include "ui/form/CVNPattMenuButton.h"
#include "ui/frame/CVNCommandTarget.h"

class QCheckBox;
class CVNDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CVNTimeEdit;
class CVNAppInfo;
class CVNComboBoxMRU;
class CVNFileListCtrl;
class CROZariduPars;
class LivePreview;

enum ViewControlId : int {
    IDC_FOLDER_LABEL = 1040,
    IDC_FOLDER = 1041,
    IDC_BROWSE = 1042,
    IDC_SUBFOLDERS = 1043,
    IDC_SEARCH_LABEL = 1044,
    IDC_SEARCH = 1045,
    IDC_SEARCH_MENU = 1046,
    IDC_REPLACE_LABEL = 1047,
    IDC_REPLACE = 1048,
    IDC_REPLACE_MENU = 1049,
    IDC_REGEXP = 1050,
    IDC_PREVIEW = 1051,
    IDC_WHOLE_LIST = 1052,
    IDC_DATE_GROUP = 1053,
    IDC_CHANGE_CREATED = 1057,
    IDC_CHANGE_MODIFIED = 1058,
    IDC_CHANGE_ACCESSED = 1059,
    IDC_DATE_CREATED = 1060,
    IDC_TIME_CREATED = 1061,
    IDC_DATE_MODIFIED = 1062,
    IDC_TIME_MODIFIED = 1063,
    IDC_DATE_ACCESSED = 1064,
    IDC_TIME_ACCESSED = 1065,
    IDC_ATTRIBUTE_GROUP = 1066,
    IDC_CHANGE_ARCHIVE = 1069,
    IDC_CHANGE_READONLY = 1070,
    IDC_CHANGE_HIDDEN = 1071,
    IDC_CHANGE_SYSTEM = 1072,
    IDC_VALUE_ARCHIVE = 1073,
    IDC_VALUE_READONLY = 1074,
    IDC_VALUE_HIDDEN = 1075,
    IDC_VALUE_SYSTEM = 1076,
    IDC_FIND = 1077,
    IDC_RENAME = 1078,
    IDC_RENAME_ALL = 1079,
    IDC_CHANGE = 1080,
    IDC_CHANGE_ALL = 1081,
    IDC_STOP = 1082,
    IDC_FILE_LIST = 1083
};

class CROZariduView : public CVNFormView, public CVNCommandTarget, private RunObserver, private UndoObserver {
    Q_OBJECT
public:
    // pars supplies MaxFiles and RenAllMode at the time of each run.
    explicit CROZariduView(CROZariduPars& pars, QWidget* parent = nullptr);
    ~CROZariduView() override;

    // Loads the three most-recently-used lists (when app is given, which also makes the view
    // save them when it is destroyed), puts the focus into the folder box and shows mode 0.
    void OnInitialUpdate(const CVNAppInfo* app);

    // 0 "Finden/Umbenennen", 1 "Datum/Attribute"; nothing happens if the mode is current.
    void SetViewMode(int mode);
    int viewMode() const { return mode_; }

    // Labels and the controls of one row share the tip and popup of the first control.
    const HelpIdPair* GetHelpIdMap() const override;
    // The topic of the mode shown.
    std::uint32_t windowHelpId() const override;

    // The control with the given id (1040-1083), or null.
    QWidget* control(int id) const;
    CVNFileListCtrl* fileList() const { return list_; }
    Journal& journal() { return journal_; }
    CVNComboBoxMRU* folderBox() const { return folder_; }
    CVNComboBoxMRU* searchBox() const { return search_; }
    CVNComboBoxMRU* replaceBox() const { return replace_; }

    // The "..." button: picks the folder to search, starting at the folder box's text or, when
    // that is empty, at the documents folder.
    void OnBrowse();

    // The Edit and View commands (EditCommands.cpp). Each Edit command acts on the focused
    // edit field (also a combo box's) or on the list; anything else has the focus, it is off.
    bool handlesCommand(int id) const override;
    bool commandEnabled(int id) const override;
    bool commandChecked(int id) const override;
    void onCommand(int id) override;
    bool runInProgress() const override { return running_; }
    void abandonRun() override;
    // "Alles markieren": the whole text of the focused edit field, or every row of the list.
    void OnEditSelectAll();
    // "Rückgängig": the field's own undo, or on the list the newest undo group, shown in the
    // mode it was made in.
    void OnEditUndo();
    // "Verlauf": the runs of the undo journal, to take one back.
    void OnHistory();

    // The date and attribute inputs as they stand.
    ChangeFormState changeForm() const;

    // The pattern library (PatternCommands.cpp): the ">" menus insert a stored pattern into the
    // boxes; "Muster speichern" stores the boxes' patterns as a new one of the user's.
    void OnSearchMenu() { InsertStoredPattern(0); }
    void OnReplaceMenu() { InsertStoredPattern(1); }
    void OnStorePattern();
    CVNPattMenuButton* patternMenuButton(int field) const {
        return field == 1 ? replaceMenu_ : searchMenu_;
    }

    // The run commands (RunController.cpp). Each run ends before its handler returns; events
    // are processed only between two steps, where Stop and Escape set the stop flag.
    void OnFind();
    void OnRename() { RunSingle(true); }
    void OnRenameAll() { RunAll(true); }
    void OnChange() { RunSingle(false); }
    void OnChangeAll() { RunAll(false); }
    void OnStop() { requestStop(); }
    void SetRunState(bool running);
    bool isRunning() const { return running_; }

    // In-place rename of a row's name (F2 or the list's own ways of starting an edit). Begin
    // opens an undo group and is refused unless the first column is "Name"; End renames the
    // file on disk, also in preview mode, and gives false when it refused the new name.
    bool BeginLabelEdit(int row);
    bool EndLabelEdit(int row, std::string& newName);
    // Closes the edit; a refused or cancelled edit leaves no undo group behind.
    void FinishLabelEdit();

    // The result of the last Find, for the frame's status bar.
    const QString& statusText() const { return statusText_; }
    // The column "Neuer Name" as the user types (see LivePreview).
    LivePreview* livePreview() const { return live_; }

signals:
    void statusTextChanged(const QString& text);
    // A run started or ended: the frame's commands change their state.
    void runStateChanged(bool running);

protected:
    void showEvent(QShowEvent* event) override;
    // Return presses the focused button, or Finden as the form's default button.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void InsertStoredPattern(int field);
    void installPatternKeys();
    // The focus is in "Suchen" or, in "Finden/Umbenennen", in "Ersetzen".
    bool patternBoxFocused() const;
    bool patternCommandEnabled() const;

    void RunSingle(bool rename);
    void RunAll(bool rename);
    // Steps shared by both kinds of run: the form's inputs, the patterns and their lists.
    bool PrepareRun(bool rename, CVNRun& run);
    void requestStop();
    // RunObserver: the list follows the run, the status bar shows how far it got.
    void rowSelected(int row, int previous) override;
    void progress(int done, int total) override;
    bool pump() override;
    // UndoObserver
    void undoingRow(int row, int previous) override;
    void refresh() override;
    void setStatusText(const QString& text);
    // The column "Neuer Name" shows while Ersetzen is not empty in mode 0, and is worked out
    // again after every change of what Alle Umbenennen would do.
    void scheduleLivePreview();
    // The focused edit field, or null.
    QLineEdit* focusedEdit() const;
    // The widget the Edit commands act on.
    QWidget* commandFocus() const;
    void watchClipboard();
    bool listHasFocus() const;

    void buildControls();
    void tag(QWidget* w, int id);
    void updateFindButton();
    void updateRunButtons();
    void updateChangeInputs();
    bool anyChangeChecked() const;
    void applyMinimumSize();

    CROZariduPars& pars_;
    const CVNAppInfo* app_ = nullptr;
    int mode_ = VIEW_DATE_ATTRIBUTES; // so the first switch builds mode 0
    bool running_ = false;
    bool minimumFixed_ = false;
    QSize firstSize_;
    bool labelEditing_ = false;
    bool labelAccepted_ = false;
    bool stop_ = false;
    bool clipboardHasText_ = false;
    int previewWarning_ = 1; // the next preview step shows the warning
    CVNRun* activeRun_ = nullptr; // the run over the list in progress
    Journal journal_;             // every real change, for undo after the program ended
    bool runIsRename_ = true;
    QElapsedTimer progressClock_;
    MessagePump pump_;
    CVNFileNameMatcher matcher_;
    QString statusText_;
    LivePreview* live_ = nullptr;
    QString previewStatus_; // the live column's conflicts or pattern error
    QPointer<QWidget> lastFocus_; // the last widget of this form that had the focus

    QLabel* folderLabel_ = nullptr;
    CVNComboBoxMRU* folder_ = nullptr;
    QPushButton* browse_ = nullptr;
    QCheckBox* subfolders_ = nullptr;
    QLabel* searchLabel_ = nullptr;
    CVNComboBoxMRU* search_ = nullptr;
    CVNPattMenuButton* searchMenu_ = nullptr;
    QLabel* replaceLabel_ = nullptr;
    CVNComboBoxMRU* replace_ = nullptr;
    CVNPattMenuButton* replaceMenu_ = nullptr;
    QCheckBox* regExp_ = nullptr;
    QCheckBox* preview_ = nullptr;
    QCheckBox* wholeList_ = nullptr;
    QGroupBox* dateGroup_ = nullptr;
    QCheckBox* changeTime_[3] = {};
    CVNDateEdit* date_[3] = {};
    CVNTimeEdit* time_[3] = {};
    QGroupBox* attributeGroup_ = nullptr;
    // archive, read-only, hidden, system
    QCheckBox* changeAttr_[4] = {};
    QCheckBox* valueAttr_[4] = {};
    QPushButton* find_ = nullptr;
    QPushButton* rename_ = nullptr;
    QPushButton* renameAll_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* changeAll_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    CVNFileListCtrl* list_ = nullptr;
};
