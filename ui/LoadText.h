#pragma once

// A string-table entry as the widgets take it.

#include <QString>

#include "res/LoadString.h"

inline QString LoadText(unsigned id) {
    return QString::fromStdString(LoadString(id));
}
