#include "core/settings/CVNPars.h"

#include <algorithm>

#include "core/settings/CVNAppInfo.h"

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
    bool ok = CVNPars::Save() && m_pAppInfo;
    if (!m_pAppInfo) return false;
    ok = m_pAppInfo->WriteRegInt(true, kSection, "MaxFiles", MaxFiles) && ok;
    ok = m_pAppInfo->WriteRegInt(true, kSection, "RenAllMode", RenAllMode) && ok;
    ok = m_pAppInfo->WriteRegInt(true, kSection, "ShowHelpTips", ShowHelpTips) && ok;
    return ok;
}
