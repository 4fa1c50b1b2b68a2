#include "ui/print_many.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>

#include "app_info.h"
#include "page/report_page.h"
#include "program_state.h"
#include "prompter.h"
#include "report/record_files.h"
#include "report/vr5xp_doc.h"
#include "ui/page_output.h"
#include "ui/page_painter.h"
#include "ui/work_progress.h"

namespace vr5 {

namespace {

// Keeps what loading a file would have told the operator, for the page and the final message.
class CollectingPrompter final : public Prompter {
public:
    void show(const QString& text, const QString&, Icon icon) override {
        if (icon == Icon::Error || icon == Icon::Warning) said << text;
    }
    using Prompter::ask;
    Answer ask(const QString& text, const QString&, Buttons, Icon) override {
        said << text;
        return Answer::Cancel;
    }
    QStringList said;
};

}  // namespace

QStringList filesInPageRange(const QStringList& paths, QPrinter::PrintRange range,
                             const QPageRanges& pages) {
    if (range != QPrinter::PageRange || pages.isEmpty()) return paths;
    QStringList picked;
    for (const QPageRanges::Range& r : pages.toRangeList()) {
        const qsizetype from = std::max(r.from, 1);
        const qsizetype to = std::min<qsizetype>(r.to, paths.size());
        for (qsizetype page = from; page <= to; ++page) picked << paths[page - 1];
    }
    return picked;
}

QString noFilesInPageRange(const QPageRanges& pages, qsizetype fileCount) {
    const QList<QPageRanges::Range> ranges = pages.toRangeList();
    const bool onePage = ranges.size() == 1 && ranges[0].from == ranges[0].to;
    return QStringLiteral("%1 %2 %3 asked for, but there %4: nothing was printed.")
        .arg(onePage ? QStringLiteral("Page") : QStringLiteral("Pages"), pages.toString(),
             onePage ? QStringLiteral("was") : QStringLiteral("were"),
             fileCount == 1 ? QStringLiteral("is only one file")
                            : QStringLiteral("are only %1 files").arg(fileCount));
}

PageDrawing unreadableFilePage(const QString& path, const QString& why) {
    PageDrawing page;
    int y = -1000;
    const auto line = [&](const QString& text, FontRole font) {
        page.items.push_back(TextItem{{1000, y}, text, font});
        y -= 2 * fontSpec(font).heightInPageUnits();
    };
    line(QStringLiteral("This file could not be printed:"), FontRole::Title);
    line(QDir::toNativeSeparators(path), FontRole::Main);
    for (const QString& text : why.split(u'\n', Qt::SkipEmptyParts)) line(text, FontRole::Main);
    page.items.push_back(TextItem{{1000, -10000}, identificationLine(), FontRole::Small});
    return page;
}

FilePage buildFilePage(const QString& path, Medium medium, int searchRangePercent) {
    ProgramState state;
    CollectingPrompter prompter;
    CVR5XPDoc doc(state, prompter);
    FilePage page;
    if (doc.Open(path) == CVR5XPDoc::OpenResult::Failed || !doc.hasReport()) {
        page.problem = prompter.said.join(u'\n');
        if (page.problem.isEmpty()) page.problem = QStringLiteral("The file could not be read.");
        page.drawing = unreadableFilePage(path, page.problem);
        return page;
    }
    if (searchRangePercent != 100) doc.SetSearchRangePercent(searchRangePercent);
    // A damaged report prints what could be read, as it shows on the screen.
    page.drawing = buildDocumentPage(doc, medium);
    return page;
}

PrintResult printFiles(QPagedPaintDevice& device, double dpi, const QStringList& paths,
                       Medium medium, QStringList* problems, int searchRangePercent,
                       const PrintProgress& progress) {
    QPainter painter;
    if (!painter.begin(&device)) return PrintResult::Failed;
    const PageTransform transform = PageTransform::forDpi(dpi);
    PrintResult result = PrintResult::Printed;
    for (qsizetype index = 0; index < paths.size(); ++index) {
        if (progress && !progress(index, paths[index])) {
            // Before the painter ends: a printer sends the job on ending.
            if (auto* printer = dynamic_cast<QPrinter*>(&device)) printer->abort();
            result = PrintResult::Stopped;
            break;
        }
        const FilePage page = buildFilePage(paths[index], medium, searchRangePercent);
        if (index > 0 && !device.newPage()) {
            result = PrintResult::Failed;
            break;
        }
        if (!page.problem.isEmpty() && problems) {
            *problems << QDir::toNativeSeparators(paths[index]) + QStringLiteral(": ") +
                             page.problem.section(u'\n', 0, 0);
        }
        paintPage(painter, page.drawing, transform);
    }
    if (!painter.end() && result == PrintResult::Printed) result = PrintResult::Failed;
    return result;
}

bool writeFilesPdf(const QStringList& paths, const QString& output, QStringList* problems,
                   QString* error, int searchRangePercent, const PrintProgress& progress,
                   const std::optional<QPageLayout>& paper) {
    if (error) error->clear();
    if (isRecordFile(output)) {
        if (error) *error = recordFileRefusal(output);
        return false;
    }
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("Cannot write %1: %2").arg(output, file.errorString());
        return false;
    }
    PrintResult printed = PrintResult::Failed;
    {
        QPdfWriter writer(&file);
        setUpPdfWriter(writer,
                       paths.size() == 1 ? QFileInfo(paths.first()).fileName()
                                         : QStringLiteral("Joint reports"),
                       paper);
        printed = printFiles(writer, kPdfDpi, paths, Medium::Paper, problems, searchRangePercent,
                             progress);
    }
    if (printed != PrintResult::Printed) {
        // Nothing of a stopped or failed job is left behind, not even an empty file.
        file.cancelWriting();
        if (error && printed == PrintResult::Failed)
            *error = QStringLiteral("Cannot write %1: the PDF could not be made").arg(output);
        return false;
    }
    if (!file.commit()) {
        if (error) *error = QStringLiteral("Cannot write %1: %2").arg(output, file.errorString());
        return false;
    }
    return true;
}

PrintManyOutcome runPrintManyJob(QPrinter& printer, const QStringList& files, QWidget* parent,
                                 Prompter& prompter) {
    const QString caption = QString::fromUtf8(kAppTitle);
    QStringList problems;
    WorkProgress progress(parent, QStringLiteral("Print Many"), QStringLiteral("Printing"),
                          files.size());
    const FileProgress step = progress.callback();
    const bool toPdf =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    if (toPdf) {
        // A PDF file is written whole or not at all, on the paper chosen in the dialog.
        QString error;
        const bool written = writeFilesPdf(files, printer.outputFileName(), &problems, &error, 100,
                                           step, printer.pageLayout());
        progress.finish();
        if (!written) {
            if (!error.isEmpty()) prompter.show(error, caption, Prompter::Icon::Error);
            return {};
        }
        // Like Evaluate Many, the job ends saying what it wrote and where.
        return {true, printManyPdfMessage(printer.outputFileName(), files.size(), problems),
                problems.isEmpty() ? Prompter::Icon::Information : Prompter::Icon::Warning};
    }
    printer.setFullPage(true);
    const PrintResult printed =
        printFiles(printer, printer.resolution(), files, Medium::Paper, &problems, 100, step);
    progress.finish();
    if (printed == PrintResult::Stopped) {
        if (printer.printerState() != QPrinter::Aborted) {
            prompter.show(QStringLiteral("Printing was cancelled, but the printer could not take "
                                         "back the pages already sent; they may still print."),
                          caption, Prompter::Icon::Warning);
        }
        return {};
    }
    if (printed == PrintResult::Failed) {
        prompter.show(QStringLiteral("The printer could not be started."), caption,
                      Prompter::Icon::Error);
        return {};
    }
    if (problems.isEmpty()) return {true, {}, Prompter::Icon::Information};
    return {true,
            QStringLiteral("These files could not be printed; their pages say so:\n") +
                problems.join(u'\n'),
            Prompter::Icon::Warning};
}

QString printManyPdfMessage(const QString& output, qsizetype pages, const QStringList& problems) {
    QString text =
        QStringLiteral("The PDF file was saved as\n%1\n\n%2 written.")
            .arg(QDir::toNativeSeparators(output),
                 pages == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(pages));
    if (!problems.isEmpty()) {
        text += QStringLiteral("\n\nThese files could not be printed; their pages say so:\n") +
                problems.join(u'\n');
    }
    return text;
}

}  // namespace vr5
