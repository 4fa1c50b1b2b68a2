#include "ui/archive/archive_table.h"

#include <QBrush>
#include <QColor>
#include <QLocale>

namespace vr5 {

namespace {

QString yesNo(bool value) {
    return value ? QStringLiteral("yes") : QString();
}

QString counted(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

}  // namespace

void ArchiveTableModel::setReports(QList<ArchivedReport> reports) {
    beginResetModel();
    reports_ = std::move(reports);
    endResetModel();
}

int ArchiveTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(reports_.size());
}

int ArchiveTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ArchiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const names[ColumnCount] = {
        "Date",    "Job",     "Joint", "Employee", "Machine",     "Pipe",       "Material",
        "Samples", "Verdict", "Demo",  "Damaged",  "Imported by", "Imported at"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

QVariant ArchiveTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= reports_.size()) return {};
    const ArchivedReport& r = reports_.at(index.row());
    if (role == Qt::ToolTipRole) {
        QString tip = r.sourceName + QStringLiteral("\nSHA-256 ") + r.sha256;
        if (r.damaged) tip += QStringLiteral("\nDamaged: ") + r.damage;
        return tip;
    }
    if (role == Qt::ForegroundRole && index.column() == Verdict) {
        if (r.verdict == u"outside") return QBrush(QColor(0xb0, 0x00, 0x00));
        if (r.verdict == u"within") return QBrush(QColor(0x00, 0x70, 0x20));
        return {};
    }
    if (role == kSortRole) {
        switch (index.column()) {
            case Joint:
                return r.joint;
            case Samples:
                return r.samples;
            case Demo:
                return r.demo ? 1 : 0;
            case Damaged:
                return r.damaged ? 1 : 0;
            default:
                break;
        }
    } else if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case Date:
            return r.date;
        case Job:
            return r.job;
        case Joint:
            // A certificate has no joint.
            return r.kind == u"report" ? QLocale::c().toString(r.joint) : QString();
        case Employee:
            return r.employee;
        case Machine:
            return r.machine;
        case Pipe:
            return r.pipe;
        case Material:
            return r.material;
        case Samples:
            return QLocale::c().toString(r.samples);
        case Verdict:
            return r.kind == u"report" ? r.verdict : QStringLiteral("certificate");
        case Demo:
            return yesNo(r.demo);
        case Damaged:
            return yesNo(r.damaged);
        case ImportedBy:
            return r.importer;
        case ImportedAt:
            return r.importedAt;
        default:
            return {};
    }
}

QString archiveSummary(const QList<ArchivedReport>& reports) {
    qsizetype total = 0, within = 0, outside = 0, incomplete = 0, demo = 0, certificates = 0;
    for (const ArchivedReport& r : reports) {
        if (r.kind != u"report") {
            ++certificates;
            continue;
        }
        ++total;
        if (r.verdict == u"within")
            ++within;
        else if (r.verdict == u"outside")
            ++outside;
        else if (r.verdict == u"demo")
            ++demo;
        else
            ++incomplete;  // a report no procedure could judge whole
    }
    QString text = counted(total, "report", "reports") +
                   QStringLiteral(": %1 within, %2 outside, %3 incomplete")
                       .arg(within)
                       .arg(outside)
                       .arg(incomplete);
    if (demo > 0) text += QStringLiteral(", %1 demo").arg(demo);
    if (certificates > 0)
        text += QStringLiteral("; ") +
                counted(certificates, "calibration certificate", "calibration certificates");
    return text;
}

}  // namespace vr5
