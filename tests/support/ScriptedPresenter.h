#pragma once

// A presenter for tests: records every message instead of showing it and answers as scripted.

#include <deque>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/messages/MessagePresenter.h"

struct ShownMessage {
    std::string text;
    unsigned type = 0;
    unsigned helpId = 0;
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};
std::ostream& operator<<(std::ostream& os, const ShownMessage& m);

class ScriptedPresenter : public MessagePresenter {
public:
    explicit ScriptedPresenter(int defaultAnswer = IDOK) : defaultAnswer_(defaultAnswer) {}

    int show(const std::string& text, unsigned type, unsigned helpId) override;

    // The answers to the next messages, in order; after them, the default answer.
    void answer(std::initializer_list<int> results) {
        answers_.insert(answers_.end(), results.begin(), results.end());
    }
    void setDefaultAnswer(int result) { defaultAnswer_ = result; }

    const std::vector<ShownMessage>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::vector<ShownMessage> shown_;
    std::deque<int> answers_;
    int defaultAnswer_;
};

// Records like the scripted presenter and runs a hook at the next message, e.g. to act while a
// run is in progress.
class HookPresenter : public ScriptedPresenter {
public:
    int show(const std::string& text, unsigned type, unsigned helpId) override {
        if (onShow) std::exchange(onShow, nullptr)();
        return ScriptedPresenter::show(text, type, helpId);
    }
    std::function<void()> onShow;
};

// Installs a presenter for its lifetime and then puts back the one that was there before.
class ScopedMessagePresenter {
public:
    explicit ScopedMessagePresenter(MessagePresenter& presenter)
        : previous_(GetMessagePresenter()) {
        SetMessagePresenter(&presenter);
    }
    ~ScopedMessagePresenter() { SetMessagePresenter(previous_); }
    ScopedMessagePresenter(const ScopedMessagePresenter&) = delete;
    ScopedMessagePresenter& operator=(const ScopedMessagePresenter&) = delete;

private:
    MessagePresenter* previous_;
};
