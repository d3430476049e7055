#pragma once

// Messages about files that failed during one run or undo: one box each up to a number, then
// only counted and told in one message at the end. Thousands of failing files (a folder moved
// since, one the user may not write) must not bury the window under as many boxes, each to be
// closed before the work goes on.

#include <climits>
#include <string>

#include "core/messages/MessagePresenter.h"

// How many failures the window shows one by one.
constexpr int kFailuresShown = 10;

class FailureMessages {
public:
    // shown: how many are shown one by one (INT_MAX: every one, as on a command line's stderr).
    explicit FailureMessages(int shown = INT_MAX) : left_(shown) {}

    void show(const std::string& text, unsigned icon = MB_ICONWARNING);
    int notShown() const { return notShown_; }
    // The one message for those not shown; stringId takes their number. Nothing if none.
    void tellNotShown(unsigned stringId) const;

private:
    int left_;
    int notShown_ = 0;
};
