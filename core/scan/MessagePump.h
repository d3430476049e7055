#pragma once

// Keeps the window responsive during long runs on the user-interface thread: pending events are
// processed between two entries or steps, but at most every 15 ms, so that a million entries
// do not pay for a million event-loop passes while Stop and Escape still act at once.

#include <QElapsedTimer>
#include <functional>

class MessagePump {
public:
    explicit MessagePump(int intervalMs = 15) : intervalMs_(intervalMs) { clock_.start(); }

    // Runs before events are processed (the file list hands its pending rows to the model).
    void setBeforePump(std::function<void()> f) { beforePump_ = std::move(f); }

    // Processes pending events if the interval has passed; true when the application is
    // closing, so the run must end at once.
    bool PumpMessages();
    // Processes pending events now.
    bool pumpNow();

    // Set by the frame when the user closes the window during a run.
    static void requestQuit(bool quit = true);
    static bool quitRequested();

private:
    QElapsedTimer clock_;
    int intervalMs_;
    std::function<void()> beforePump_;
};
