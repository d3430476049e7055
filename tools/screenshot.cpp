// Saves a picture of the whole X screen as PNG, to look at the program under Xvfb the way a
// user would see it: orvane_screenshot FILE.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s: could not grab the screen into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
