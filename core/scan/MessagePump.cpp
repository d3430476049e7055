#include "core/scan/MessagePump.h"

#include <QCoreApplication>

namespace {
bool gQuitRequested = false;
}

void MessagePump::requestQuit(bool quit) { gQuitRequested = quit; }
bool MessagePump::quitRequested() { return gQuitRequested; }

bool MessagePump::PumpMessages() {
    if (clock_.elapsed() < intervalMs_) return gQuitRequested;
    return pumpNow();
}

bool MessagePump::pumpNow() {
    if (beforePump_) beforePump_();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    clock_.restart();
    return gQuitRequested;
}
