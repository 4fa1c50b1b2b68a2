#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "archive/joint_archive.h"

namespace vr5 {

// The archived reports as the browser's table shows them, one row each. Qt::UserRole gives
// each cell's value to sort by (numbers as numbers).
class ArchiveTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Date,
        Job,
        Joint,
        Employee,
        Machine,
        Pipe,
        Material,
        Samples,
        Verdict,
        Demo,
        Damaged,
        ImportedBy,
        ImportedAt,
        ColumnCount
    };
    static constexpr int kSortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    void setReports(QList<ArchivedReport> reports);
    const QList<ArchivedReport>& reports() const { return reports_; }
    const ArchivedReport& report(int row) const { return reports_.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<ArchivedReport> reports_;
};

// "142 reports: 120 within, 18 outside, 4 incomplete", then ", 2 demo" and "; 3 calibration
// certificates" when there are any: what a list of archived reports holds.
QString archiveSummary(const QList<ArchivedReport>& reports);

}  // namespace vr5
