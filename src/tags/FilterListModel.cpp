#include "FilterListModel.h"

int FilterListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant FilterListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !IsRow(index.row())) return {};
    const Row& row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return row.text;
    case Qt::DecorationRole:
        return row.icon >= 0 && row.icon < static_cast<int>(m_icons.size()) ? m_icons[static_cast<size_t>(row.icon)]
                                                                            : QVariant();
    case Qt::CheckStateRole:
        if (!m_bCheckBoxes) return {};
        return row.state == kTicked ? Qt::Checked : row.state == kFixed ? Qt::PartiallyChecked : Qt::Unchecked;
    default:
        return {};
    }
}

Qt::ItemFlags FilterListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_bCheckBoxes && StateOf(index.row()) != kFixed) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

void FilterListModel::SetIcons(std::vector<QIcon> icons)
{
    m_icons = std::move(icons);
    if (!m_rows.empty()) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
}

void FilterListModel::EnableCheckBoxes(bool enable)
{
    beginResetModel();
    m_bCheckBoxes = enable;
    endResetModel();
}

int FilterListModel::Insert(int row, int icon, const QString& text, LPARAM lParam)
{
    row = std::clamp(row, 0, rowCount());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, Row{text, icon, lParam, kUnticked});
    endInsertRows();
    return row;
}

void FilterListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString FilterListModel::Text(int row) const { return IsRow(row) ? m_rows[static_cast<size_t>(row)].text : QString(); }

LPARAM FilterListModel::Param(int row) const { return IsRow(row) ? m_rows[static_cast<size_t>(row)].lParam : 0; }

int FilterListModel::StateOf(int row) const { return IsRow(row) ? m_rows[static_cast<size_t>(row)].state : 0; }

void FilterListModel::SetState(int row, int state)
{
    if (!IsRow(row) || m_rows[static_cast<size_t>(row)].state == state) return;
    m_rows[static_cast<size_t>(row)].state = state;
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}
