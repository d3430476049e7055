// Orvane: finds files by a pattern and renames them in bulk.

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "ui/form/MainViewFactory.h"
#include "ui/frame/CROZariduApp.h"
#include "ui/frame/CROZariduFrame.h"
#include "ui/dialogs/QtMessagePresenter.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void onTerminate(int) {
    const char byte = 1;
    (void)!::write(gSignalPipe[0], &byte, 1);
}

// SIGTERM (the session ends) and SIGINT close the window the normal way, so that the lists are
// saved and a run in progress ends after its current step.
void closeOnTerminate(QWidget* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte;
        (void)!::read(gSignalPipe[1], &byte, 1);
        window->close();
    });
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    // Desktops match the window to its entry, icon and metainfo by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Orvane"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("orvane"), QIcon(QStringLiteral(":/orvane.svg"))));
    QtMessagePresenter presenter;
    SetMessagePresenter(&presenter);

    CROZariduApp app;
    if (!app.InitInstance(MakeMainView)) return 1;
    closeOnTerminate(app.frame());
    const int code = QApplication::exec();
    return app.ExitInstance() != 0 ? 1 : code;
}
