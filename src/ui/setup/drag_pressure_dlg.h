#pragma once

#include "setup/drag_pressure_page.h"
#include "ui/setup/setup_page_dialog.h"

class QLabel;
class QLineEdit;

namespace vr5 {

// The Drag Pressure page.
class CDragPressureDlg : public SetupPageDialog {
    Q_OBJECT
public:
    static constexpr QPoint kShift{30, 90};

    CDragPressureDlg(SetupContext context, QWidget* parent = nullptr);

    DragPressurePage& page() { return page_; }
    QLabel* promptLabel() const { return prompt_; }
    QLineEdit* dragBox() const { return drag_; }

protected:
    bool takeEntries() override;

private:
    DragPressurePage page_;
    QLabel* prompt_;
    QLineEdit* drag_;
};

}  // namespace vr5
