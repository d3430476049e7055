#include "ui/form/CVNComboBoxMRU.h"

#include <QAbstractItemView>
#include <QKeyEvent>

CVNComboBoxEx::CVNComboBoxEx(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert); // the MRU logic decides what the list holds
    // No completion from the list while typing: "*" completed inline to a stored "*.jpg" would
    // search (and rename) something the user never typed.
    setCompleter(nullptr);
    view()->installEventFilter(this);
}

bool CVNComboBoxEx::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier) &&
            !key->isAutoRepeat()) {
            hidePopup();
            focusNextPrevChild(true);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

CVNComboBoxMRU::CVNComboBoxMRU(QWidget* parent) : CVNComboBoxEx(parent) {}

bool CVNComboBoxMRU::insert(int index, const std::string& text, int datum) {
    const int before = QComboBox::count();
    insertItem(index, QString::fromStdString(text), datum);
    return QComboBox::count() == before + 1;
}

bool CVNComboBoxMRU::remove(int index) {
    if (index < 0 || index >= QComboBox::count()) return false;
    removeItem(index);
    return true;
}

SettingsSaveResult CVNComboBoxMRU::SaveMRU(std::initializer_list<const CVNComboBoxMRU*> boxes,
                                           const CVNAppInfo& app) {
    std::vector<MRUListToSave> lists;
    for (const CVNComboBoxMRU* box : boxes)
        lists.push_back({box, &box->settings_});
    return SaveMRULists(lists, app);
}
