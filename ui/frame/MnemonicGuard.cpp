#include "ui/frame/MnemonicGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

class MnemonicGuard : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Shortcuts are matched before a key press is delivered: an Alt+key that arrives here
        // matched none. AltGr, which types characters such as @ and €, is not Alt alone.
        const Qt::KeyboardModifiers mods =
            key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
        return mods == Qt::AltModifier && !key->text().isEmpty() && key->text().at(0).isPrint();
    }
};

} // namespace

void InstallMnemonicGuard() {
    static MnemonicGuard* guard = nullptr;
    if (guard || !QCoreApplication::instance()) return;
    guard = new MnemonicGuard;
    guard->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(guard);
}
