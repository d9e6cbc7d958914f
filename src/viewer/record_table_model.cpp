#include "viewer/record_table_model.h"

#include "viewer/record_columns.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <numeric>
#include <unordered_map>

namespace tarvik {

namespace {

QIcon Triangle(bool pointsUp) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(96, 96, 96));
    const QPolygonF up{QPointF(8, 4), QPointF(13, 11), QPointF(3, 11)};
    const QPolygonF down{QPointF(3, 5), QPointF(13, 5), QPointF(8, 12)};
    painter.drawPolygon(pointsUp ? up : down);
    return QIcon(picture);
}

QColor ToQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

RecordTableModel::RecordTableModel(QObject* parent)
    : QAbstractTableModel(parent), header_(kRecordColumnCount) {}

QIcon RecordTableModel::AscendingImage() {
    static const QIcon icon = Triangle(true);
    return icon;
}

QIcon RecordTableModel::DescendingImage() {
    static const QIcon icon = Triangle(false);
    return icon;
}

void RecordTableModel::SetRecords(RecordList records, std::string modelCode) {
    beginResetModel();
    records_ = std::move(records);
    modelCode_ = std::move(modelCode);
    order_.resize(records_.size());
    std::iota(order_.begin(), order_.end(), 0u);
    if (sortedColumn_ >= 0)
        SortRows(sortedColumn_, sortedDescending_);
    endResetModel();
}

void RecordTableModel::Clear() {
    SetRecords({}, modelCode_);
}

bool RecordTableModel::SortByColumn(int column) {
    const bool descending = header_.Click(column);
    sortedColumn_ = column;
    sortedDescending_ = descending;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Indexes that views keep (the current cell, the selection) follow their records.
    const QModelIndexList kept = persistentIndexList();
    std::vector<std::uint32_t> keptRecords;
    for (const QModelIndex& index : kept)
        keptRecords.push_back(order_[static_cast<std::size_t>(index.row())]);
    SortRows(column, descending);
    if (!kept.isEmpty()) {
        std::unordered_map<std::uint32_t, int> newRow;
        for (std::uint32_t record : keptRecords)
            newRow.emplace(record, 0);
        for (std::size_t row = 0; row < order_.size(); ++row)
            if (auto found = newRow.find(order_[row]); found != newRow.end())
                found->second = static_cast<int>(row);
        QModelIndexList moved;
        for (qsizetype i = 0; i < kept.size(); ++i)
            moved.append(
                index(newRow.at(keptRecords[static_cast<std::size_t>(i)]), kept[i].column()));
        changePersistentIndexList(kept, moved);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit headerDataChanged(Qt::Horizontal, 0, kRecordColumnCount - 1);
    return descending;
}

void RecordTableModel::SortRows(int column, bool descending) {
    if (column == kDateColumn) {
        // The date and time as one number straight from each record: no key texts are built.
        SortRowOrderByNumber(order_, descending, [&](std::uint32_t record) {
            return DateSortNumber(records_[record]);
        });
        return;
    }
    const SortType type =
        SortTypeFromTag(RecordColumns()[static_cast<std::size_t>(column)].sortTag);
    SortRowOrder(order_, type, descending, [&](std::uint32_t record, std::string& out) {
        CellText(records_[record], column, modelCode_, out);
    });
}

const DataRecord& RecordTableModel::RecordAt(int row) const {
    return records_.at(order_.at(static_cast<std::size_t>(row)));
}

std::string RecordTableModel::CellTextAt(int row, int column) const {
    return CellText(RecordAt(row), column, modelCode_);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRecordColumnCount;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const DataRecord& record = RecordAt(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        thread_local std::string text;
        CellText(record, index.column(), modelCode_, text);
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::ForegroundRole:
        return ToQColor(CellColour(record, index.column()));
    case Qt::TextAlignmentRole: {
        const auto& column = RecordColumns()[static_cast<std::size_t>(index.column())];
        return QVariant::fromValue(
            Qt::AlignVCenter |
            (column.alignment == CellAlignment::Left ? Qt::AlignLeft : Qt::AlignHCenter));
    }
    default:
        return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kRecordColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(RecordColumns()[static_cast<std::size_t>(section)].header);
    if (role == Qt::DecorationRole) {
        switch (header_.ImageOf(section)) {
        case SortHeaderState::Image::Asc:
            return AscendingImage();
        case SortHeaderState::Image::Desc:
            return DescendingImage();
        case SortHeaderState::Image::None:
            break;
        }
    }
    return {};
}

} // namespace tarvik
