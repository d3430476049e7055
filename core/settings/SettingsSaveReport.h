#pragma once

// Telling the user that settings were not saved: once per failed save, with what was lost, the
// settings file and the reason, so that a busy lock or a read-only folder never loses settings
// without a word.

#include <string>

#include "core/settings/CSettingsStore.h"

// String ids of what a failed save loses; each text takes the file and then the reason.
constexpr unsigned IDS_MRU_LISTS_NOT_SAVED = 33210;
constexpr unsigned IDS_OPTIONS_NOT_SAVED = 33211;

// The message for a failed save: the text of whatId with the file and the reason.
std::string SettingsNotSavedText(unsigned whatId, const SettingsSaveResult& result);
// Shows that message as a warning through the message presenter; nothing for a save that
// succeeded.
void ReportSettingsNotSaved(unsigned whatId, const SettingsSaveResult& result);
