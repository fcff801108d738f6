#include "CAlbListModel.h"

CAlbListModel::CAlbListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CAlbListModel::SetColumns(const QStringList& titles, const std::vector<Qt::Alignment>& alignments)
{
    beginResetModel();
    m_titles = titles;
    m_alignments = alignments;
    endResetModel();
}

void CAlbListModel::SetItemCount(int count)
{
    // The same rows told again: repainted, the selection kept. (A list
    // replaced is first emptied.)
    if (std::max(0, count) == m_nCount) {
        Refresh();
        return;
    }
    beginResetModel();
    m_nCount = std::max(0, count);
    endResetModel();
}

void CAlbListModel::GrowItemCount(int count)
{
    if (count <= m_nCount) return;
    beginInsertRows(QModelIndex(), m_nCount, count - 1);
    m_nCount = count;
    endInsertRows();
}

void CAlbListModel::Refresh()
{
    if (m_nCount > 0 && !m_titles.isEmpty())
        emit dataChanged(index(0, 0), index(m_nCount - 1, int(m_titles.size()) - 1));
}

void CAlbListModel::SetImageList(const std::vector<QPixmap>* images)
{
    m_pImages = images;
    Refresh();
}

int CAlbListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_nCount; }

int CAlbListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant CAlbListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_provider) return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_provider(index.row(), index.column()).text;
    case Qt::ToolTipRole: {
        const Cell cell = m_provider(index.row(), index.column());
        return cell.tooltip.isEmpty() ? cell.text : cell.tooltip;
    }
    case Qt::DecorationRole: {
        const int image = m_provider(index.row(), index.column()).image;
        if (m_pImages && image >= 0 && size_t(image) < m_pImages->size()) return (*m_pImages)[size_t(image)];
        return {};
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(size_t(index.column()) < m_alignments.size()
                                       ? m_alignments[size_t(index.column())] | Qt::AlignVCenter
                                       : Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CAlbListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size()) return {};
    if (role == Qt::DisplayRole) return m_titles[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(size_t(section) < m_alignments.size() ? m_alignments[size_t(section)] | Qt::AlignVCenter
                                                                         : Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}
