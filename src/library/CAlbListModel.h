// The model behind the file list: a virtual list of rows whose texts and
// pictures are asked of a provider (the file list view) only when a row is
// painted, so a folder of 100,000 entries costs no more to show than one
// of ten.
#pragma once
#include <QAbstractTableModel>
#include <QPixmap>
#include <functional>
#include <vector>

class CAlbListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Cell {
        Cell() = default;
        Cell(QString cellText, int cellImage = -1, QString cellTooltip = {})
            : text(std::move(cellText)), image(cellImage), tooltip(std::move(cellTooltip))
        {
        }
        QString text;
        int image = -1; // index into the image list, -1 none
        QString tooltip; // "" shows the text
    };
    using Provider = std::function<Cell(int row, int column)>;
    // Takes a row's new name (column 0 edited in place); false keeps the old one.
    using Renamer = std::function<bool(int row, const QString& name)>;

    explicit CAlbListModel(QObject* parent = nullptr);

    void SetProvider(Provider provider) { m_provider = std::move(provider); }
    // With a renamer the first column may be edited (the view decides when).
    void SetRenamer(Renamer renamer) { m_renamer = std::move(renamer); }
    // The columns of the presentation: titles, widths and alignments.
    void SetColumns(const QStringList& titles, const std::vector<Qt::Alignment>& alignments);
    // The number of rows; rows are not touched until they are painted.
    void SetItemCount(int count);
    // More rows exist at the end; the rows shown, the selection and the
    // scroll position stay as they are.
    void GrowItemCount(int count);
    // Every shown row is asked for again (texts or pictures changed).
    void Refresh();
    void SetImageList(const std::vector<QPixmap>* images);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    Provider m_provider;
    Renamer m_renamer;
    QStringList m_titles;
    std::vector<Qt::Alignment> m_alignments;
    int m_nCount = 0;
    const std::vector<QPixmap>* m_pImages = nullptr;
};
