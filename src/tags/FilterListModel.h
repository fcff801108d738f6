// The rows of a CFilterListCtrl: text, icon index, a caller's value and the
// check state (1 unticked, 2 ticked, 3 fixed). The view asks only for the
// rows it paints, so a list of thousands of tags costs no widget per row.
// Rows answer Qt's item roles, so that accessibility sees each one as a
// checkable list item with its text and state.
#pragma once
#include "wintypes.h"

#include <QAbstractListModel>
#include <QIcon>
#include <vector>

class FilterListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum State { kUnticked = 1, kTicked = 2, kFixed = 3 };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetIcons(std::vector<QIcon> icons);
    // Row checks are offered to accessibility only while enabled.
    void EnableCheckBoxes(bool enable);
    bool CheckBoxesEnabled() const { return m_bCheckBoxes; }

    // Inserts before `row` (appends when past the end); returns the row.
    int Insert(int row, int icon, const QString& text, LPARAM lParam);
    void Clear();
    QString Text(int row) const;
    LPARAM Param(int row) const;
    int StateOf(int row) const;
    void SetState(int row, int state);

private:
    struct Row {
        QString text;
        int icon;
        LPARAM lParam;
        int state;
    };
    bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }

    std::vector<Row> m_rows;
    std::vector<QIcon> m_icons;
    bool m_bCheckBoxes = false;
};
