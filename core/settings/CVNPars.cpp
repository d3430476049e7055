#include "core/settings/CVNPars.h"

#include <algorithm>

#include "core/settings/CSettingsStore.h"
#include "core/settings/CVNAppInfo.h"
#include "core/settings/SettingsSaveReport.h"
#include "platform/WinTypes.h"

namespace {
const char kSection[] = "Settings";
}

void CROZariduPars::Load() {
    if (!m_pAppInfo) return;
    MaxFiles = m_pAppInfo->GetRegInt(true, kSection, "MaxFiles", 0);
    RenAllMode = m_pAppInfo->GetRegInt(true, kSection, "RenAllMode", 0);
    ShowHelpTips = m_pAppInfo->GetRegInt(true, kSection, "ShowHelpTips", 0);
    RenAllMode = std::clamp(RenAllMode, 0, 1);
}

bool CROZariduPars::Save() {
    if (!m_pAppInfo || !CVNPars::Save()) return false;
    CSettingsStore store(false, false);
    store.BeginTransaction();
    const bool noted = store.CreateKey(m_pAppInfo->BuildRegPath(true, kSection)) &&
                       store.Write("MaxFiles", MaxFiles) && store.Write("RenAllMode", RenAllMode) &&
                       store.Write("ShowHelpTips", ShowHelpTips);
    // Only a path the store refuses (an application without registry key) is not noted.
    const SettingsSaveResult saved =
        noted ? store.CommitTransaction()
              : SettingsSaveResult{ERROR_INVALID_PARAMETER, store.UserHive()};
    ReportSettingsNotSaved(IDS_OPTIONS_NOT_SAVED, saved);
    return saved.ok();
}
