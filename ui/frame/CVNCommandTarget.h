#pragma once

// The menu and toolbar commands by number, and the interface through which the frame asks the
// main form whether it takes a command, whether it is enabled, and lets it carry it out. The
// frame knows nothing of the form beyond this.

enum CommandId : int {
    ID_OPTIONS = 32771,
    ID_VIEW_FIND_RENAME = 32772,
    ID_VIEW_DATE_ATTRIBUTES = 32773,
    ID_EDIT_INVERT_SELECTION = 32774,
    ID_PATTERN_ADD = 32775,
    ID_HISTORY = 32776,
    ID_FILE_EXIT = 57665,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_CUT = 57635,
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_SELECT_ALL = 57642,
    ID_APP_ABOUT = 57664,
    ID_HELP_FINDER = 57667,
    ID_HELP = 57670,
    ID_CONTEXT_HELP = 57669,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_IDLE_PROMPT = 57345
};

class CVNCommandTarget {
public:
    virtual ~CVNCommandTarget() = default;
    // True when the target handles the command at all; the frame handles the others.
    virtual bool handlesCommand(int id) const = 0;
    virtual bool commandEnabled(int id) const = 0;
    // The radio mark of the view-mode commands.
    virtual bool commandChecked(int id) const = 0;
    virtual void onCommand(int id) = 0;
    // While a run is in progress the options and the About box stay shut.
    virtual bool runInProgress() const = 0;
    // The window is closing during a run: the run is to end at its next chance.
    virtual void abandonRun() = 0;
};
