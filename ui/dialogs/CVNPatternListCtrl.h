#pragma once

// The list of the user's patterns of one type on the options page: one row per pattern, columns
// chosen by field. It holds the patterns with their states (PatternList); a click on a column
// header sorts by that column, a second click the other way round. Insert asks for a new
// pattern, Delete to remove the selected one, a double click to edit it.

#include <QTreeWidget>
#include <string>
#include <vector>

#include "core/settings/PatternList.h"

class CVNAppInfo;

class CVNPatternListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    CVNPatternListCtrl(int userDefined, int type, QWidget* parent = nullptr);

    // Adds a column showing a field (PatternColumnField); at most one per field.
    void InsertColumn(int field, int width = 120);
    int ColumnField(int column) const;

    void Load(const CVNAppInfo& app);
    // As PatternList; the inserted or edited row is then selected, focused and shown.
    int Insert(int index, PatternList::State state, CROZariduPattern record);
    bool Edit(int index, CROZariduPattern record);
    void Remove(int index);
    std::vector<std::string> Names() const { return list_.Names(); }

    // The selected row that has the focus, or -1.
    int SelectedIndex() const;
    void SelectIndex(int index);
    // Sorts by the field of a column: ascending, or descending when it was just sorted by it.
    void SortByColumn(int column);

    PatternList& patterns() { return list_; }
    const PatternList& patterns() const { return list_; }

signals:
    void addRequested();
    void editRequested();
    void removeRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Shows the whole text of a cell that is cut off, as a tip.
    bool viewportEvent(QEvent* event) override;

private:
    // Rebuilds the rows from the patterns and selects one.
    void refresh(int select);

    PatternList list_;
    std::vector<int> fields_;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
};
