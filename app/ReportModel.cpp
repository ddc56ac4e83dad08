#include "app/ReportModel.h"

#include <algorithm>
#include <numeric>
#include <tuple>

ReportModel::ReportModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportModel::SetReport(ConversionReport report) {
    beginResetModel();
    report_ = std::move(report);
    order_.resize(report_.Entries().size());
    std::iota(order_.begin(), order_.end(), std::size_t(0));
    endResetModel();
}

const ReportEntry& ReportModel::EntryAt(int row) const {
    return report_.Entries()[order_.at(std::size_t(row))];
}

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(order_.size());
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const ReportEntry& entry = EntryAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case FileColumn:
            return QString::fromStdString(report_.FileOf(entry));
        case LineColumn:
            return QVariant::fromValue<qulonglong>(entry.line);
        case ReasonColumn:
            return QString::fromStdString(entry.reason);
        }
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == LineColumn) {
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        }
        break;
    }
    return {};
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case FileColumn:
        return QStringLiteral("Plik");
    case LineColumn:
        return QStringLiteral("Wiersz");
    case ReasonColumn:
        return QStringLiteral("Uwaga");
    }
    return {};
}

// Rows the user picked stay picked: persistent indexes follow their entries.
void ReportModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::size_t> entriesBefore;
    for (const QModelIndex& index : before) {
        entriesBefore.push_back(order_[std::size_t(index.row())]);
    }

    const auto& entries = report_.Entries();
    using Key = std::tuple<const std::string&, std::uint64_t, const std::string&, std::size_t>;
    static const std::string none;
    const auto key = [&](std::size_t i) -> Key {
        const ReportEntry& e = entries[i];
        const std::string& file = report_.FileOf(e);
        switch (column) {
        case FileColumn:
            return {file, e.line, none, i};
        case ReasonColumn:
            return {e.reason, e.line, file, i};
        default:
            return {none, e.line, file, i};
        }
    };
    std::iota(order_.begin(), order_.end(), std::size_t(0));
    if (column >= 0) {
        std::sort(order_.begin(), order_.end(),
                  [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
        if (order == Qt::DescendingOrder) {
            std::reverse(order_.begin(), order_.end());
        }
    }

    std::vector<int> rowOf(order_.size());
    for (std::size_t row = 0; row < order_.size(); ++row) {
        rowOf[order_[row]] = int(row);
    }
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.append(index(rowOf[entriesBefore[std::size_t(i)]], before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
