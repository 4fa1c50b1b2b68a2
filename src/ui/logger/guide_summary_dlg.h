#pragma once

#include <QDialog>

#include "evaluation/live_guide.h"

class QTableWidget;

namespace vr5 {

// After a download with the guide on: the phase times the guide took while the joint was made,
// beside those the evaluation finds on the downloaded report. Not modal, so the report opens
// behind it at once.
class GuideSummaryDlg : public QDialog {
public:
    GuideSummaryDlg(const LiveGuide& guide, const QString& reportPath, const Procedure& procedure,
                    QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    // "The guide and the report agree within one poll period (0.3 s)." or what differs.
    QString verdictText() const { return verdict_; }

private:
    QTableWidget* table_;
    QString verdict_;
};

// "3:59.4": minutes and seconds to a tenth.
QString minutesSecondsTenths(double seconds);

}  // namespace vr5
