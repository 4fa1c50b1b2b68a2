#pragma once

#include "setup/operator_page.h"
#include "ui/setup/setup_page_dialog.h"

class QLineEdit;

namespace vr5 {

// The Operator page.
class COperatorIDdlg : public SetupPageDialog {
    Q_OBJECT
public:
    COperatorIDdlg(SetupContext context, QWidget* parent = nullptr);

    OperatorPage& page() { return page_; }
    QLineEdit* idBox() const { return id_; }
    QLineEdit* jobBox() const { return job_; }
    QLineEdit* jointBox() const { return joint_; }

protected:
    bool takeEntries() override;

private:
    OperatorPage page_;
    QLineEdit* id_;
    QLineEdit* job_;
    QLineEdit* joint_;
};

}  // namespace vr5
