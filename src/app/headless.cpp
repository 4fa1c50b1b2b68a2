#include "app/headless.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/headless_progress.h"
#include "app/stream_prompter.h"
#include "app_info.h"
#include "page/report_page.h"
#include "program_state.h"
#include "prompter.h"
#include "report/report_json.h"
#include "report/vr5xp_doc.h"
#include "ui/page_output.h"
#include "ui/print_many.h"
#include "ui/report_printing.h"

namespace vr5 {

namespace {

int print(const CommandLine& c, const CVR5XPDoc& doc, QTextStream& err) {
    const QPrinterInfo info = c.mode == CommandLine::Mode::Print
                                  ? QPrinterInfo::defaultPrinter()
                                  : QPrinterInfo::printerInfo(c.printer);
    if (info.isNull()) {
        if (c.mode == CommandLine::Mode::Print) {
            err << "No printer is installed; nothing was printed." << Qt::endl;
        } else {
            err << "The printer \"" << c.printer << "\" is not installed; nothing was printed."
                << Qt::endl;
        }
        return kExitNoPrinter;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QFileInfo(doc.path()).fileName());
    if (!printDrawing(printer, buildDocumentPage(doc, Medium::Paper)) ||
        printer.printerState() == QPrinter::Error) {
        err << "The report could not be printed on \"" << info.printerName() << "\"." << Qt::endl;
        return kExitNoPrinter;
    }
    return kExitOk;
}

}  // namespace

int runHeadless(const CommandLine& c, QTextStream& out, QTextStream& err) {
    if (c.mode == CommandLine::Mode::ExportPdf && c.files.size() > 1) {
        // Several files: a page each; a file that cannot be read gets a page that says so.
        QStringList problems;
        QString error;
        TerminalProgress progress(err, QStringLiteral("Exporting"), c.files.size());
        const bool written = writeFilesPdf(c.files, c.output, &problems, &error, c.searchRange,
                                           [&progress](qsizetype index, const QString& path) {
                                               progress.step(index, path);
                                               return true;
                                           });
        progress.clear();
        if (!written) {
            err << error << Qt::endl;
            return kExitFile;
        }
        for (const QString& problem : problems) err << problem << Qt::endl;
        return problems.isEmpty() ? kExitOk : kExitFile;
    }
    ProgramState state;
    StreamPrompter prompter(err, Prompter::Answer::Cancel);
    CVR5XPDoc doc(state, prompter);

    const CVR5XPDoc::OpenResult opened = doc.Open(c.file);
    if (opened == CVR5XPDoc::OpenResult::Failed) return kExitFile;
    if (c.searchRange != 100) doc.SetSearchRangePercent(c.searchRange);
    const int done = opened == CVR5XPDoc::OpenResult::Damaged ? kExitDamaged : kExitOk;

    QString error;
    switch (c.mode) {
        case CommandLine::Mode::Dump:
            out << QString::fromUtf8(doc.hasCalibration()
                                         ? calibrationToJson(doc.calibration(), doc.path())
                                         : reportToJson(doc.record(), doc.path()));
            out.flush();
            return done;
        case CommandLine::Mode::ExportPdf:
            if (!writePdfFile(buildDocumentPage(doc, Medium::Paper), c.output,
                              QFileInfo(doc.path()).fileName(), &error)) {
                err << error << Qt::endl;
                return kExitFile;
            }
            return done;
        case CommandLine::Mode::ExportPng:
            if (!writePngFile(renderPageImage(buildDocumentPage(doc, Medium::Screen), c.dpi),
                              c.output, &error)) {
                err << error << Qt::endl;
                return kExitFile;
            }
            return done;
        case CommandLine::Mode::Print:
        case CommandLine::Mode::PrintTo: {
            const int printed = print(c, doc, err);
            return printed != kExitOk ? printed : done;
        }
        default:
            return kExitUsage;
    }
}

}  // namespace vr5
