#pragma once

#include <string>

// The German text with the given id from res/strings.txt, as UTF-8; empty if there is none.
std::string LoadString(unsigned id);

// Whether the string table has an entry with this id.
bool HasString(unsigned id);
