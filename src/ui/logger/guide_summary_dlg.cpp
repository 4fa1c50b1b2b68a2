#include "ui/logger/guide_summary_dlg.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "evaluation/job_summary.h"

namespace vr5 {

QString minutesSecondsTenths(double seconds) {
    const long tenths = std::max(0L, std::lround(seconds * 10));
    return QStringLiteral("%1:%2.%3")
        .arg(tenths / 600)
        .arg((tenths / 10) % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

GuideSummaryDlg::GuideSummaryDlg(const LiveGuide& guide, const QString& reportPath,
                                 const Procedure& procedure, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("GuideSummary"));
    setWindowTitle(QStringLiteral("Guide Summary"));
    setAttribute(Qt::WA_DeleteOnClose);

    const double poll = guide.pollPeriodS();
    JointReader reader;
    Evaluation evaluation;
    if (reader.open(reportPath) != JointReader::Opened::Failed)
        evaluation = evaluateJoint(reader.record(), procedure);
    const QList<GuideSummaryRow> rows = guideSummary(guide, evaluation, poll);

    auto* heading = new QLabel(
        QStringLiteral("Joint report: %1\nProcedure: %2")
            .arg(QFileInfo(reportPath).fileName(),
                 procedure.info.name.isEmpty() ? QStringLiteral("none") : procedure.info.name),
        this);
    table_ = new QTableWidget(static_cast<int>(rows.size()), 5, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("Phase"), QStringLiteral("Guide"),
                                       QStringLiteral("Report"), QStringLiteral("Limit"),
                                       QStringLiteral("Difference")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList differing;
    for (int r = 0; r < rows.size(); ++r) {
        const GuideSummaryRow& row = rows[r];
        const auto time = [](const std::optional<double>& s) {
            return s ? minutesSecondsTenths(*s) : QStringLiteral("\u2014");
        };
        QString difference = QStringLiteral("\u2014");
        if (row.guideS && row.reportS) {
            const double d = *row.guideS - *row.reportS;
            difference = (d < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
                         QString::number(std::fabs(d), 'f', 1) + QStringLiteral(" s");
        }
        if (!row.agrees) differing << guidePhaseName(row.phase).toLower();
        const QStringList cells{guidePhaseName(row.phase), time(row.guideS), time(row.reportS),
                                row.limit, difference};
        for (int c = 0; c < cells.size(); ++c)
            table_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table_->resizeColumnsToContents();
    const QString period = QString::number(poll, 'f', 1) + QStringLiteral(" s");
    verdict_ = differing.isEmpty()
                   ? QStringLiteral("The guide and the report agree within one poll period (%1).")
                         .arg(period)
                   : QStringLiteral(
                         "The guide and the report differ by more than one poll "
                         "period (%1) on: %2. The report's own times hold.")
                         .arg(period, differing.join(QStringLiteral(", ")));
    auto* verdict = new QLabel(verdict_, this);
    verdict->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(table_);
    layout->addWidget(verdict);
    layout->addWidget(buttons);
    int width = table_->verticalHeader()->width() + 4;
    for (int c = 0; c < table_->columnCount(); ++c) width += table_->columnWidth(c);
    table_->setMinimumWidth(width);
}

}  // namespace vr5
