#pragma once

#include "converter/ConversionReport.h"

#include <QAbstractTableModel>

#include <cstddef>
#include <vector>

// The entries of a conversion report as a table of file, line and reason, in the
// report's order until sorted by a column (column -1 restores that order).
class ReportModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { FileColumn, LineColumn, ReasonColumn, ColumnCount };

    explicit ReportModel(QObject* parent = nullptr);

    void SetReport(ConversionReport report);
    const ConversionReport& Report() const { return report_; }
    const ReportEntry& EntryAt(int row) const;
    // Entry indices in the order of the rows.
    const std::vector<std::size_t>& Order() const { return order_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    ConversionReport report_;
    std::vector<std::size_t> order_;
};
