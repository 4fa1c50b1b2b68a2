#pragma once

#include <QPointer>

#include "setup/setup_runner.h"

class QDialog;
class QWidget;

namespace vr5 {

// Shows the set-up pages as their dialogs, each over `parent` (the Log/Status dialog). The
// Pipe and Fitting pages share index 2; the current machine decides which one opens.
class DialogSetupPages : public SetupPages {
public:
    DialogSetupPages(SetupContext context, QWidget* parent);

    Result showPage(int index) override;

    // The page that is open, for whoever wants to look at it (nullptr between pages).
    QDialog* openPage() const { return open_; }

private:
    SetupContext c_;
    QPointer<QWidget> parent_;
    QPointer<QDialog> open_;
};

}  // namespace vr5
