// orvane-cli: the rename core on the command line, without a display.

#include <QCoreApplication>
#include <clocale>
#include <cstdio>

#include "cli/CliCommands.h"
#include "cli/CliPresenter.h"
#include "core/messages/MessagePresenter.h"
#include "platform/LargePages.h"

int main(int argc, char** argv) {
    PreferLargePagesForHeap();
    std::setlocale(LC_ALL, "");
    QCoreApplication app(argc, argv);
    CliPresenter presenter;
    SetMessagePresenter(&presenter);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const std::optional<CliOptions> options = ParseCliOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "orvane-cli: %s\n", error.c_str());
        return 2;
    }
    return RunCliCommand(*options);
}
