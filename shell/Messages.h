#pragma once

// The message helpers. Texts are UTF-8; formats come from the string table and take their
// arguments at "%s", which is the only sequence treated specially (a "%d" stays as it is).

#include <initializer_list>
#include <string>

#include "shell/CVNException.h"
#include "shell/MessagePresenter.h"

// format with each "%s", in order, replaced by the next argument. Inserted text is not searched
// again; a "%s" without an argument left stays, and surplus arguments are ignored.
std::string Format(const std::string& format, std::initializer_list<std::string> args);

// Shows format with argument at its first "%s", or, without "%s", format, a blank and argument.
// Returns the ID* of the button pressed.
int ShowMessage(const std::string& format, const std::string& argument, unsigned type,
                unsigned helpId = 0);
// ShowMessage with the string-table entry stringId as format.
int ShowMessageId(unsigned stringId, const std::string& argument, unsigned type,
                  unsigned helpId = 0);
// ShowMessage with the error's text as argument, cut to 1023 bytes.
int ShowExceptionMessage(const std::string& format, const CVNException& e, unsigned type,
                         unsigned helpId = 0);
