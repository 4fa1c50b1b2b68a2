#pragma once

#include "setup/heater_temp_page.h"
#include "ui/setup/setup_page_dialog.h"

class QLabel;
class QLineEdit;

namespace vr5 {

// The Heater Temperature page.
class CHeaterTempDlg : public SetupPageDialog {
    Q_OBJECT
public:
    static constexpr QPoint kShift{15, 90};

    CHeaterTempDlg(SetupContext context, QWidget* parent = nullptr);

    HeaterTempPage& page() { return page_; }
    QLabel* promptLabel() const { return prompt_; }
    QLineEdit* temperatureBox() const { return temperature_; }

protected:
    bool takeEntries() override;

private:
    HeaterTempPage page_;
    QLabel* prompt_;
    QLineEdit* temperature_;
};

}  // namespace vr5
