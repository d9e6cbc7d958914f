#pragma once

#include "datafile/data_record.h"
#include "viewer/record_selection.h"
#include "viewer/row_sort.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// The viewer's record table over the decoded records: cells are made when they are drawn, so a
// million rows cost one record each and open at once. Sorting reorders a list of row numbers.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordTableModel(QObject* parent = nullptr);

    // A new selection. Once the user has sorted, the new rows come in the order the header shows
    // (the column and direction chosen last); before that, in file order.
    void SetRecords(RecordList records, std::string modelCode);
    void Clear();

    // A click on a column header: sorts by the column's key in the direction its image gives,
    // then moves the image to this column. Returns true when the sort was descending.
    bool SortByColumn(int column);

    const SortHeaderState& header() const { return header_; }
    const DataRecord& RecordAt(int row) const;
    std::string CellTextAt(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The 16 x 16 pictures "asc" and "desc" of the header.
    static QIcon AscendingImage();
    static QIcon DescendingImage();

private:
    void SortRows(int column, bool descending);

    RecordList records_;
    LargeVector<std::uint32_t> order_; // shown row -> record
    std::string modelCode_;
    SortHeaderState header_;
    int sortedColumn_ = -1; // the column the user sorted by last, -1 for file order
    bool sortedDescending_ = false;
};

} // namespace tarvik
