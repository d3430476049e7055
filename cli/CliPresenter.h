#pragma once

// Message boxes on the command line: their text goes to standard error, and nobody is there to
// answer. A question is answered as the careful choice would be: go on without ignoring
// anything (Nein, OK), so that the run neither stops nor hides later errors.

#include "core/messages/MessagePresenter.h"

class CliPresenter : public MessagePresenter {
public:
    int show(const std::string& text, unsigned type, unsigned helpId) override;
};
