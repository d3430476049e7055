#pragma once

// Help ids. A window's help id names its help topic: 0x20000 + the window's template id. A
// control's help id names its help popup: 0x80000000 + template id × 0x10000 + control id.
// OK, Abbrechen and Hilfe have no help id of their own and share one popup each in every window.

#include <cstdint>

enum HelpTemplateId : int {
    IDD_ABOUTBOX = 100,
    IDD_MAIN_FORM = 101,
    IDD_GENERAL_PAGE = 106,
    IDD_PATTERN_PAGE = 107,
    IDD_PATTERN_DIALOG = 131,
    IDD_HISTORY = 132,
    IDD_PROPERTIES = 133,
};

// Buttons every dialog may have, with the same id everywhere.
enum CommonControlId : int { IDC_OK = 1, IDC_CANCEL = 2, IDC_CLOSE = 8, IDC_HELP = 9 };

constexpr std::uint32_t kWindowHelpBase = 0x20000;
constexpr std::uint32_t kControlHelpBase = 0x80000000u;

// Topics that belong to no window of their own.
enum HelpTopicId : std::uint32_t {
    HID_CONTENTS = 0x21000,
    HID_DATE_ATTRIBUTES = 0x21001, // the main form in the mode "Datum/Attribute"
    HID_NEW_NAME = 0x21002,        // the column "Neuer Name" and its conflicts
    HID_WILDCARDS = 0x21003,
    HID_REGEXP = 0x21004,
    HID_REPLACEMENT = 0x21005,
    HID_COMMAND_LINE = 0x21006,
    HID_FILE_LIST = 0x21007, // the list: columns, sorting, the files' own menu
};

// The right-click menu's entry "Direkt&hilfe".
constexpr int ID_HELP_POPUP = 32768;

constexpr std::uint32_t WindowHelpId(int templateId) {
    return templateId > 0 ? kWindowHelpBase + static_cast<std::uint32_t>(templateId) : 0;
}

constexpr std::uint32_t ControlHelpId(int templateId, int controlId) {
    if (controlId == IDC_OK || controlId == IDC_CANCEL || controlId == IDC_HELP)
        return kControlHelpBase + static_cast<std::uint32_t>(controlId);
    if (templateId <= 0 || controlId <= 0 || controlId > 0xFFFF) return 0;
    return kControlHelpBase + (static_cast<std::uint32_t>(templateId) << 16) +
           static_cast<std::uint32_t>(controlId);
}

// Ids above this are control help ids (popups), the others topics.
constexpr bool IsControlHelpId(std::uint32_t id) {
    return id > kControlHelpBase;
}
