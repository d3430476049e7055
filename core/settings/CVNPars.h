#pragma once

// Parameter objects: a base that loads, saves and checks a set of settings through the
// application's registry helpers, and the program's own three parameters.

#include <cstdint>

class CVNAppInfo;

class CVNPars {
public:
    virtual ~CVNPars() = default;

    // Set once at start, before Load; the object does not own it.
    void SetAppInfo(const CVNAppInfo* appInfo) { m_pAppInfo = appInfo; }
    const CVNAppInfo* GetAppInfo() const { return m_pAppInfo; }

    virtual void Load() {}
    virtual bool Save() { return true; }
    // False makes start-up fail.
    virtual bool Validate() { return true; }

protected:
    const CVNAppInfo* m_pAppInfo = nullptr;
};

// Section "Settings" of the user's settings.
class CROZariduPars : public CVNPars {
public:
    // Largest number of files the list may hold; 0 = no limit.
    std::int32_t MaxFiles = 0;
    // When a file of a rename or change run fails: 0 = stop the run, 1 = go on with the next.
    std::int32_t RenAllMode = 0;
    // Non-zero: help popups of dialog elements appear by themselves.
    std::int32_t ShowHelpTips = 0;

    // A missing value, or one of another type, gives 0; RenAllMode is kept to 0..1. Without
    // application info nothing is read.
    void Load() override;
    // Writes all three in one locked read-modify-write of the settings file, so they are saved
    // together or not at all. When that fails, tells the user once (the values then last only
    // until the program ends) and returns false. Without application info nothing happens.
    bool Save() override;

    // 3 when help tips are shown automatically, else 2.
    int GetHelpTipMode() const { return ShowHelpTips != 0 ? 3 : 2; }
};
