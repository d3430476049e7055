#include "ui/dialogs/QtMessagePresenter.h"

#include <QApplication>
#include <QPushButton>
#include <vector>

namespace {

using Button = QMessageBox::StandardButton;

struct Buttons {
    std::vector<Button> order; // left to right, as MB_DEFBUTTONn counts them
    Button escape;
};

Buttons buttonsFor(unsigned type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, QMessageBox::Cancel}, QMessageBox::Cancel};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, QMessageBox::Cancel};
    case MB_YESNO:
        return {{QMessageBox::Yes, QMessageBox::No}, QMessageBox::No};
    default:
        return {{QMessageBox::Ok}, QMessageBox::Ok};
    }
}

QMessageBox::Icon iconFor(unsigned type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int resultFor(Button button) {
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

// A long file name has no place to break a line, so the box would grow wider than the screen
// and cut it: zero-width spaces after path separators and inside long unbroken runs let the
// text wrap there.
QString breakable(const QString& text) {
    constexpr int kLongestRun = 40;
    QString out;
    out.reserve(text.size() + text.size() / kLongestRun + 8);
    int run = 0;
    for (const QChar c : text) {
        out += c;
        run = c.isSpace() ? 0 : run + 1;
        if (c == QLatin1Char('/') || run >= kLongestRun) {
            out += QChar(0x200B);
            run = 0;
        }
    }
    return out;
}

} // namespace

std::unique_ptr<QMessageBox> QtMessagePresenter::createBox(const std::string& text, unsigned type,
                                                           unsigned helpId, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QStringLiteral("Orvane"));
    // File names may hold '<' and '&'; they must show as typed, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(breakable(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))));
    box->setIcon(iconFor(type));

    const Buttons buttons = buttonsFor(type);
    QMessageBox::StandardButtons set;
    for (Button b : buttons.order)
        set |= b;
    box->setStandardButtons(set);
    // A default past the last button falls back to the first, as the classic box does.
    const std::size_t index = (type & MB_DEFMASK) >> 8;
    box->setDefaultButton(buttons.order[index < buttons.order.size() ? index : 0]);
    box->setEscapeButton(box->button(buttons.escape));

    box->setProperty("helpId", helpId);
    return box;
}

int QtMessagePresenter::show(const std::string& text, unsigned type, unsigned helpId) {
    QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
    auto box = createBox(text, type, helpId, parent);
    // The parent may go away while the box runs, taking the box with it.
    QPointer<QMessageBox> alive(box.get());
    box->exec();
    if (!alive) {
        (void)box.release();
        return IDCANCEL;
    }
    // Give the keyboard back to the window, also where no window manager does it.
    if (parent && !parent->isActiveWindow()) parent->activateWindow();
    // Closing the window counts as the escape button, so a button was always chosen.
    return resultFor(box->standardButton(box->clickedButton()));
}
