#include "ui/setup/setup_pages.h"

#include <memory>

#include "setup/machine_catalogue.h"
#include "ui/setup/drag_pressure_dlg.h"
#include "ui/setup/fitting_size_dlg.h"
#include "ui/setup/heater_temp_dlg.h"
#include "ui/setup/machine_dlg.h"
#include "ui/setup/notes_dlg.h"
#include "ui/setup/operator_id_dlg.h"
#include "ui/setup/pipe_dlg.h"
#include "ui/setup/ready_to_log_dlg.h"
#include "ui/setup/rec_pressure_dlg.h"

namespace vr5 {

DialogSetupPages::DialogSetupPages(SetupContext context, QWidget* parent)
    : c_(context), parent_(parent) {}

SetupPages::Result DialogSetupPages::showPage(int index) {
    // Each page is made for one visit: it reads the remembered values as it opens.
    std::unique_ptr<SetupPageDialog> page;
    CReadyToLogDlg* ready = nullptr;
    switch (index) {
        case SetupRunner::kMachine:
            page = std::make_unique<CMachineDlg>(c_, parent_);
            break;
        case SetupRunner::kOperator:
            page = std::make_unique<COperatorIDdlg>(c_, parent_);
            break;
        case SetupRunner::kPipeOrFitting:
            if (IsMechanicalMachine(c_.state.currentMachineModelText))
                page = std::make_unique<CFittingSizeDlg>(c_, parent_);
            else
                page = std::make_unique<CPipeDlg>(c_, parent_);
            break;
        case SetupRunner::kNotes:
            page = std::make_unique<CNotesDlg>(c_, parent_);
            break;
        case SetupRunner::kDragPressure:
            page = std::make_unique<CDragPressureDlg>(c_, parent_);
            break;
        case SetupRunner::kRecPressure:
            page = std::make_unique<CRecPressureDlg>(c_, parent_);
            break;
        case SetupRunner::kHeaterTemp:
            page = std::make_unique<CHeaterTempDlg>(c_, parent_);
            break;
        case SetupRunner::kReady: {
            auto dialog = std::make_unique<CReadyToLogDlg>(c_, parent_);
            ready = dialog.get();
            page = std::move(dialog);
            break;
        }
        default:
            return Result::Leave;
    }
    open_ = page.get();
    const int code = page->exec();
    if (!open_) {
        // Closing the window underneath took the page with it.
        (void)page.release();
        return Result::Leave;
    }
    open_ = nullptr;
    if (code == QDialog::Accepted) return Result::Next;
    return ready && ready->cancelled() ? Result::Leave : Result::Back;
}

}  // namespace vr5
