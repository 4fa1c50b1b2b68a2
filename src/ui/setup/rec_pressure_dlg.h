#pragma once

#include "setup/rec_pressure_page.h"
#include "ui/setup/setup_page_dialog.h"

class QLabel;

namespace vr5 {

// The Recommended Gauge Pressures page: shows what it stored when it opened.
class CRecPressureDlg : public SetupPageDialog {
    Q_OBJECT
public:
    static constexpr QPoint kShift{50, 90};

    CRecPressureDlg(SetupContext context, QWidget* parent = nullptr);

    RecPressurePage& page() { return page_; }
    QLabel* phaseLabel() const { return phases_; }
    QLabel* pressureLabel() const { return pressures_; }

protected:
    bool takeEntries() override { return page_.accept(); }

private:
    RecPressurePage page_;
    QLabel* phases_;
    QLabel* pressures_;
};

}  // namespace vr5
