#include "engine/RegError.h"

#include "res/LoadString.h"

std::string regErrorText(int code) {
    const unsigned id = (code >= 1 && code <= 29) ? 32000u + static_cast<unsigned>(code) - 1 : 32029u;
    return LoadString(id);
}
