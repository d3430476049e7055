#pragma once

// The editable combo boxes of the main form that remember their last texts. Tab while the list
// is open closes it and moves on to the next control, as it does with the list closed.

#include <QComboBox>
#include <initializer_list>

#include "core/settings/MRUList.h"
// The form that owns the boxes tells the user when their lists could not be saved.
#include "core/settings/SettingsSaveReport.h"

class CVNComboBoxEx : public QComboBox {
    Q_OBJECT
public:
    explicit CVNComboBoxEx(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class CVNComboBoxMRU : public CVNComboBoxEx, public MRUListModel {
    Q_OBJECT
public:
    explicit CVNComboBoxMRU(QWidget* parent = nullptr);

    void InitMRU(const MRUSettings& settings) { settings_ = settings; }
    void AddToMRU(const std::string& text, int datum) { ::AddToMRU(*this, settings_, text, datum); }
    void LoadMRU(const CVNAppInfo& app) { ::LoadMRU(*this, settings_, app); }
    SettingsSaveResult SaveMRU(const CVNAppInfo& app) const {
        return ::SaveMRU(*this, settings_, app);
    }
    // The lists of several boxes in one write of the settings file (SaveMRULists).
    static SettingsSaveResult SaveMRU(std::initializer_list<const CVNComboBoxMRU*> boxes,
                                      const CVNAppInfo& app);

    // MRUListModel
    int count() const override { return QComboBox::count(); }
    std::string text(int index) const override { return itemText(index).toStdString(); }
    int datum(int index) const override { return itemData(index).toInt(); }
    bool insert(int index, const std::string& text, int datum) override;
    bool remove(int index) override;
    void select(int index) override { setCurrentIndex(index); }

private:
    MRUSettings settings_;
};
