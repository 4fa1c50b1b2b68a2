#include "app/print_chooser.h"

#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "app/headless.h"
#include "app_info.h"
#include "page/report_page.h"
#include "program_state.h"
#include "report/vr5xp_doc.h"
#include "ui/message_prompter.h"
#include "ui/page_output.h"
#include "ui/report_printing.h"

namespace vr5 {

int runPrintChooser(const CommandLine& command) {
    ProgramState state;
    MessagePrompter prompter;
    CVR5XPDoc doc(state, prompter);
    const CVR5XPDoc::OpenResult opened = doc.Open(command.file);
    if (opened == CVR5XPDoc::OpenResult::Failed) return kExitFile;
    if (command.searchRange != 100) doc.SetSearchRangePercent(command.searchRange);

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(doc.path()).fileName());
    QPrintDialog dialog(&printer);
    dialog.setWindowTitle(QString::fromUtf8(kAppTitle));
    // One report is one page; printing to a PDF file is offered by the dialog.
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted) return kExitOk;
    QString error;
    if (!printChosen(printer, buildDocumentPage(doc, Medium::Paper),
                     QFileInfo(doc.path()).fileName(), &error)) {
        prompter.show(error, QString::fromUtf8(kAppTitle), Prompter::Icon::Error);
        return printer.outputFormat() == QPrinter::PdfFormat ? kExitFile : kExitNoPrinter;
    }
    return opened == CVR5XPDoc::OpenResult::Damaged ? kExitDamaged : kExitOk;
}

}  // namespace vr5
