#pragma once

// The message helpers. Texts are UTF-8; formats come from the string table (see res/Format.h).

#include <initializer_list>
#include <string>

#include "res/Format.h"
#include "core/messages/CVNException.h"
#include "core/messages/MessagePresenter.h"

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
