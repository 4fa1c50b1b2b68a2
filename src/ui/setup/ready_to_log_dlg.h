#pragma once

#include "setup/ready_page.h"
#include "ui/setup/setup_page_dialog.h"

class QLabel;
class QPushButton;

namespace vr5 {

// The Ready to Log page: "Start" logs, "<< Back" returns to the page before, "Cancel" leaves
// the set-up.
class CReadyToLogDlg : public SetupPageDialog {
    Q_OBJECT
public:
    static constexpr QPoint kShift{15, 90};

    CReadyToLogDlg(SetupContext context, QWidget* parent = nullptr);

    ReadyPage& page() { return page_; }
    bool cancelled() const { return page_.cancelled(); }
    QLabel* promptLabel() const { return prompt_; }
    QLabel* loggedLabel() const { return logged_; }
    QPushButton* startButton() const { return nextButton(); }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    bool takeEntries() override { return page_.accept(); }

private:
    ReadyPage page_;
    QLabel* prompt_;
    QLabel* logged_;
    QPushButton* cancel_;
};

}  // namespace vr5
