#pragma once

#include "core/settings/CVNAppInfo.h"

// The application info as the program sets it up at start: registry key "Orvane".
inline CVNAppInfo registeredApp() {
    CVNAppInfo app;
    app.SetRegistryKey("Orvane");
    return app;
}
