#include "ui/main_frame.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app_info.h"
#include "evaluation/job_summary.h"
#include "frame_commands.h"
#include "page/page_drawing.h"
#include "platform/report_folder.h"
#include "prompter.h"
#include "report/vr5xp_doc.h"
#include "settings/recent_files.h"
#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"
#include "text/number_text.h"
#include "ui/about_dlg.h"
#include "ui/analyzer_dlg.h"
#include "ui/archive/archive_browser.h"
#include "ui/archive/archive_on_store.h"
#include "ui/logger/diagnostics_dlg.h"
#include "ui/logger/log_status_dlg.h"
#include "ui/page_output.h"
#include "ui/page_painter.h"
#include "ui/print_many.h"
#include "ui/remarks_dlg.h"
#include "ui/report_printing.h"
#include "ui/settings/settings_dlg.h"
#include "ui/toolbar_icons.h"
#include "ui/user_guide.h"
#include "ui/vr5xp_view.h"
#include "ui/work_progress.h"
#include "ui/zoom_commands.h"

namespace vr5 {

namespace {

const CommandText& textOf(Command id) {
    for (const CommandText& c : kCommands) {
        if (c.id == id) return c;
    }
    return kCommands[0];
}

// An entry of the search-range box: "85%".
QString searchRangeText(int percent) {
    return QString::asprintf("%d%%", percent);
}

}  // namespace

CMainFrame::CMainFrame(SettingsStore& settings, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      prompter_(prompter),
      doc_(std::make_unique<CVR5XPDoc>(state_, prompter)) {
    initUiResources();
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/vr5xp/icon.png")));
    setAcceptDrops(true);

    // The evaluation's procedure chooser sits in a bar above the view, shown with the evaluation.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    evaluationBar_ = buildEvaluationBar();
    column->addWidget(evaluationBar_);
    view_ = new CVR5XPView(*doc_, state_, central);
    column->addWidget(view_);
    setCentralWidget(central);

    loadCurrentUnits(settings_, state_);
    buildMenus();
    buildToolBar();
    refreshRecentFiles();

    connect(doc_.get(), &CVR5XPDoc::changed, this, [this] {
        setWindowTitle(doc_->windowTitle());
        updateCommands();
    });
    connect(view_, &CVR5XPView::resetRangeRequested, this, &CMainFrame::resetSearchRange);
    updateCommands();

    // Wide enough for the whole page width; tall as the screen allows.
    const QSize wanted(static_cast<int>(kPageWidth * view_->trueScale()) + 60, 900);
    const QSize available = screen() ? screen()->availableSize() : wanted;
    resize(wanted.boundedTo(available * 0.9));
    // The page has the keys from the start: Page Down scrolls without a click on it first.
    view_->setFocus();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::makeAction(Command id) {
    const CommandText& c = textOf(id);
    auto* action = new QAction(QString::fromUtf8(c.text), this);
    action->setStatusTip(QString::fromUtf8(c.prompt));
    action->setToolTip(QString::fromUtf8(c.tip));
    action->setWhatsThis(QString::fromUtf8(c.prompt));
    if (c.key != QKeySequence::UnknownKey) action->setShortcuts(c.key);
    actions_.insert(id, action);
    return action;
}

void CMainFrame::buildMenus() {
    auto connectTo = [this](Command id, void (CMainFrame::*slot)()) {
        connect(makeAction(id), &QAction::triggered, this, slot);
    };
    connectTo(Command::LogStatus, &CMainFrame::onLogStatus);
    connectTo(Command::Open, &CMainFrame::onOpen);
    connectTo(Command::Print, &CMainFrame::onPrint);
    connectTo(Command::PrintPreview, &CMainFrame::onPrintPreview);
    connectTo(Command::PrintSetup, &CMainFrame::onPrintSetup);
    connectTo(Command::PrintMany, &CMainFrame::onPrintMany);
    connectTo(Command::EvaluateMany, &CMainFrame::onEvaluateMany);
    connectTo(Command::Send, &CMainFrame::onSend);
    connectTo(Command::Analyze, &CMainFrame::onAnalyze);
    connectTo(Command::AppendNotes, &CMainFrame::onAppendNotes);
    connectTo(Command::Settings, &CMainFrame::onSettings);
    connectTo(Command::About, &CMainFrame::onAbout);
    connectTo(Command::New, &CMainFrame::onNew);
    connect(makeAction(Command::UserGuide), &QAction::triggered, this,
            [this] { openUserGuide(prompter_); });
    zoom_ = new ZoomCommands(*view_, settings_,
                             {makeAction(Command::ZoomIn), makeAction(Command::ZoomOut),
                              makeAction(Command::ActualSize), makeAction(Command::FitWidth)},
                             this);
    connect(makeAction(Command::Exit), &QAction::triggered, this, &QWidget::close);
    makeAction(Command::Toolbar);  // bound to the toolbar once it exists
    QAction* evaluation = makeAction(Command::Evaluation);
    evaluation->setCheckable(true);
    connect(evaluation, &QAction::toggled, this, &CMainFrame::onEvaluation);
    // Ctrl+N works from anywhere in the window though no menu shows it.
    addAction(action(Command::New));

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setToolTipsVisible(false);
    file->addAction(action(Command::LogStatus));
    file->addSeparator();
    file->addAction(action(Command::Open));
    file->addAction(action(Command::Print));
    file->addAction(action(Command::PrintPreview));
    file->addAction(action(Command::PrintSetup));
    file->addAction(action(Command::PrintMany));
    file->addAction(action(Command::EvaluateMany));
    addArchiveCommand(*this, file, settings_, prompter_);
    file->addSeparator();
    file->addAction(action(Command::Send));
    file->addSeparator();
    file->addAction(action(Command::Analyze));
    file->addSeparator();
    recentPlaceholder_ = file->addAction(QString::fromUtf8(kRecentFilePlaceholder));
    recentPlaceholder_->setEnabled(false);
    for (int i = 0; i < keys::kRecentFileCount; ++i) {
        QAction* recent = file->addAction(QString());
        recent->setStatusTip(QString::fromUtf8(kRecentFilePrompt));
        connect(recent, &QAction::triggered, this,
                [this, recent] { openFile(recent->data().toString()); });
        recentActions_ << recent;
    }
    file->addSeparator();
    file->addAction(action(Command::AppendNotes));
    file->addSeparator();
    file->addAction(action(Command::Settings));
    file->addSeparator();
    file->addAction(action(Command::Exit));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(action(Command::Toolbar));
    view->addAction(action(Command::Evaluation));
    view->addSeparator();
    zoom_->addTo(view);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(action(Command::UserGuide));
    help->addSeparator();
    help->addAction(action(Command::About));
}

void CMainFrame::buildToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Standard"), this);
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setIconSize(QSize(16, 15));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    QAction* toggle = action(Command::Toolbar);
    toggle->setCheckable(true);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, toolBar_, &QToolBar::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, toggle, [this, toggle](bool visible) {
        if (!isHidden()) toggle->setChecked(visible);
    });

    for (Command id : {Command::LogStatus, Command::Open, Command::Print, Command::AppendNotes,
                       Command::About}) {
        action(id)->setIcon(toolbarIcon(id));
    }
    toolBar_->addAction(action(Command::LogStatus));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::Open));
    toolBar_->addSeparator();

    searchRange_ = new QComboBox(toolBar_);
    searchRange_->setObjectName(QStringLiteral("searchRange"));
    searchRange_->setToolTip(QStringLiteral("Heater removal search range"));
    searchRange_->setEditable(false);
    searchRange_->setMaxVisibleItems(22);
    for (int p = 5; p <= 100; p += 5) searchRange_->addItem(searchRangeText(p));
    searchRange_->setMinimumContentsLength(5);
    searchRange_->setMinimumWidth(10 * searchRange_->fontMetrics().averageCharWidth());
    state_.resetRangeFlag = false;
    searchRange_->setCurrentIndex(kFullRangeEntry);
    connect(searchRange_, &QComboBox::activated, this, &CMainFrame::onSearchRangeSelected);
    // Named, so that nobody takes the percentage for the page's zoom.
    auto* label = new QLabel(QStringLiteral("Search range:"), toolBar_);
    label->setObjectName(QStringLiteral("searchRangeLabel"));
    label->setBuddy(searchRange_);
    label->setContentsMargins(2, 0, 4, 0);
    toolBar_->addWidget(label);
    toolBar_->addWidget(searchRange_);

    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::Print));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::AppendNotes));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::About));
}

void CMainFrame::refreshRecentFiles() {
    const QStringList files = RecentFileList(settings_).entries();
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* recent = recentActions_[i];
        const bool used = i < files.size();
        recent->setVisible(used);
        if (!used) continue;
        QString shown = QDir::toNativeSeparators(files[i]);
        if (shown.size() > 60) shown = QStringLiteral("...") + shown.right(57);
        recent->setText(
            QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace(u'&', QStringLiteral("&&"))));
        recent->setData(files[i]);
    }
    recentPlaceholder_->setVisible(files.isEmpty());
}

void CMainFrame::updateCommands() {
    action(Command::Analyze)->setEnabled(reportCommandsEnabled(state_));
    action(Command::AppendNotes)->setEnabled(reportCommandsEnabled(state_));
    const bool hasReport = doc_->hasReport();
    action(Command::Print)->setEnabled(hasReport);
    action(Command::PrintPreview)->setEnabled(hasReport);
    // Mail with an attachment goes through the desktop's mail client.
    action(Command::Send)->setEnabled(hasReport && !mailClient().isEmpty());
    // A joint report can be evaluated; a certificate cannot. The choice outlasts the file.
    QAction* evaluation = action(Command::Evaluation);
    evaluation->setEnabled(hasReport && !doc_->hasCalibration());
    evaluationBar_->setVisible(evaluation->isChecked() && evaluation->isEnabled());
}

bool CMainFrame::openFile(const QString& path) {
    const CVR5XPDoc::OpenResult result = doc_->Open(path);
    RecentFileList recent(settings_);
    if (result == CVR5XPDoc::OpenResult::Failed) {
        recent.remove(QFileInfo(path).absoluteFilePath());
    } else {
        recent.add(doc_->path());
        // The page, from its top, takes the keys at once.
        view_->showTop();
        view_->setFocus();
    }
    refreshRecentFiles();
    updateCommands();
    return result != CVR5XPDoc::OpenResult::Failed;
}

QString CMainFrame::openDialogFolder() const {
    return state_.currentReportPath.isEmpty() ? reportFolderPath()
                                              : QFileInfo(state_.currentReportPath).absolutePath();
}

void CMainFrame::onOpen() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"),
                                                      openDialogFolder(), openDialogFilter());
    if (!path.isEmpty()) openFile(path);
}

void CMainFrame::onNew() {
    doc_->New();
    updateCommands();
}

void CMainFrame::onLogStatus() {
    if (startLogStatus(settings_, state_) == LogStatusStart::OpenSettings) {
        onSettings();
        return;
    }
    updateCommands();
    QTimer::singleShot(0, this, &CMainFrame::openLogStatusDialog);
}

void CMainFrame::openLogStatusDialog() {
    {
        CLogStatusDlg dialog({settings_, state_, prompter_}, reportFolderPath(), this);
        dialog.exec();
    }
    // A joint it downloaded is shown now, and is a recent file like any opened one.
    if (state_.reloadFlag && doc_->ReloadIfFlagged() != CVR5XPDoc::OpenResult::Failed) {
        RecentFileList(settings_).add(doc_->path());
        refreshRecentFiles();
        view_->setFocus();
    }
    updateCommands();
    view_->viewport()->update();
}

void CMainFrame::onSettings() {
    CSettingsDlg dialog({settings_, state_, prompter_}, this);
    connect(&dialog, &CSettingsDlg::diagnosticsRequested, this,
            [this, &dialog] { openDiagnostics(&dialog); });
    if (dialog.exec() == QDialog::Accepted) loadCurrentUnits(settings_, state_);
}

void CMainFrame::openDiagnostics(QWidget* over) {
    CDiagnosticsDlg dialog({settings_, state_, prompter_}, over ? over : this);
    dialog.exec();
}

QPrinter& CMainFrame::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CMainFrame::onPrint() {
    if (!doc_->hasReport()) return;
    QPrintDialog dialog(&printer(), this);
    // One report is one page; printing to a PDF file is offered by the dialog.
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted) return;
    QString error;
    if (!printChosen(printer(), buildDocumentPage(*doc_, Medium::Paper),
                     QFileInfo(doc_->path()).fileName(), &error)) {
        prompter_.show(error, QString::fromUtf8(kAppTitle), Prompter::Icon::Error);
    }
}

void CMainFrame::onPrintPreview() {
    if (!doc_->hasReport()) return;
    QPrintPreviewDialog preview(&printer(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { printDrawing(*p, buildDocumentPage(*doc_, Medium::Paper)); });
    fitPreviewToRead(preview);
    preview.exec();
}

void CMainFrame::onPrintSetup() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void CMainFrame::onPrintMany() {
    const QStringList paths =
        QFileDialog::getOpenFileNames(this, QString::fromUtf8(kPrintManyTitle), openDialogFolder(),
                                      QString::fromUtf8(kPrintManyFilter));
    if (paths.isEmpty()) return;
    printManyFiles(paths);
}

void CMainFrame::printManyFiles(const QStringList& paths) {
    // Every job starts from all its pages; page N is the N-th file.
    printer().setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(&printer(), this);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    dialog.setMinMax(1, static_cast<int>(paths.size()));
    // A job cancelled here leaves nothing behind: the displayed report prints next time.
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList files =
        filesInPageRange(paths, printer().printRange(), printer().pageRanges());
    if (files.isEmpty()) {
        prompter_.show(noFilesInPageRange(printer().pageRanges(), paths.size()),
                       QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
        return;
    }
    const PrintManyOutcome job = runPrintManyJob(printer(), files, this, prompter_);
    if (!job.printed) return;
    // Every printed file was opened, as the job went; the last one stays on the screen.
    RecentFileList recent(settings_);
    for (const QString& path : files) {
        if (QFileInfo(path).isFile()) recent.add(QFileInfo(path).absoluteFilePath());
    }
    openFile(files.last());
    if (!job.message.isEmpty()) prompter_.show(job.message, QString::fromUtf8(kAppTitle), job.icon);
}

void CMainFrame::onEvaluateMany() {
    const QStringList paths =
        QFileDialog::getOpenFileNames(this, QString::fromUtf8(kEvaluateManyTitle),
                                      openDialogFolder(), QString::fromUtf8(kOpenFilter));
    if (paths.isEmpty()) return;
    QFileDialog save(this, QString::fromUtf8(kJobSummaryTitle),
                     QFileInfo(paths.first()).absolutePath(), QString::fromUtf8(kJobSummaryFilter));
    save.setAcceptMode(QFileDialog::AcceptSave);
    save.setDefaultSuffix(QStringLiteral("csv"));
    save.selectFile(QString::fromUtf8(kJobSummaryName));
    if (save.exec() != QDialog::Accepted || save.selectedFiles().isEmpty()) return;
    evaluateManyFiles(paths, save.selectedFiles().first());
}

void CMainFrame::evaluateManyFiles(const QStringList& paths, const QString& output) {
    // The procedure the evaluation bar shows; one that is gone is refused as on the command line.
    const ProcedureLoad load = chooseProcedure(QString(), settings_);
    if (!load.procedure) {
        prompter_.show(load.error, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
        return;
    }
    WorkProgress progress(this, QStringLiteral("Evaluate Many"), QStringLiteral("Evaluating"),
                          paths.size());
    const JobSummaryResult result =
        writeJobSummary(paths, *load.procedure, output, progress.callback());
    progress.finish();
    switch (result.status) {
        case JobSummaryResult::Status::Cancelled:
            return;
        case JobSummaryResult::Status::Failed:
            prompter_.show(result.error, QString::fromUtf8(kAppTitle), Prompter::Icon::Error);
            return;
        case JobSummaryResult::Status::Written:
            prompter_.show(
                jobSummaryMessage(result, output), QString::fromUtf8(kAppTitle),
                result.unreadable > 0 ? Prompter::Icon::Warning : Prompter::Icon::Information);
            return;
    }
}

QString CMainFrame::mailClient() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

void CMainFrame::onSend() {
    const QString client = mailClient();
    if (!doc_->hasReport() || client.isEmpty()) return;
    const QString path = QFileInfo(doc_->path()).absoluteFilePath();
    const QStringList args{QStringLiteral("--subject"), QFileInfo(path).completeBaseName(),
                           QStringLiteral("--attach"), path};
    if (!QProcess::startDetached(client, args)) {
        prompter_.show(QStringLiteral("The mail program could not be started."),
                       QString::fromUtf8(kAppTitle), Prompter::Icon::Error);
    }
}
void CMainFrame::onAnalyze() {
    if (!reportCommandsEnabled(state_) || !doc_->hasReport()) return;
    // The Analyzer's Print prints what the page shows then: the analyzer layout.
    runAnalyzer(*doc_, this, [this] { onPrint(); });
    view_->viewport()->update();
}

void CMainFrame::onAppendNotes() {
    if (!reportCommandsEnabled(state_) || !doc_->hasReport()) return;
    // The new version is archived beside the old one.
    if (runAppendNotes(*doc_, state_, prompter_, this))
        archiveStoredReport(settings_, doc_->path(), this, QStringLiteral("report with the notes"));
    // The report on disk has the longer notes: the page shows them.
    if (state_.reloadFlag) doc_->ReloadIfFlagged();
    updateCommands();
    view_->viewport()->update();
}

void CMainFrame::onAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

QWidget* CMainFrame::buildEvaluationBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("evaluationBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 3, 6, 3);
    auto* label = new QLabel(QStringLiteral("Procedure:"), bar);
    procedureBox_ = new QComboBox(bar);
    procedureBox_->setObjectName(QStringLiteral("evaluationProcedure"));
    procedureBox_->setToolTip(QStringLiteral("The fusion procedure the joint is checked against"));
    procedureBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    label->setBuddy(procedureBox_);
    row->addWidget(label);
    row->addWidget(procedureBox_);
    row->addStretch(1);
    connect(procedureBox_, &QComboBox::activated, this, &CMainFrame::onProcedureSelected);
    bar->hide();
    return bar;
}

void CMainFrame::fillProcedureBox(const QString& current) {
    procedureBox_->clear();
    for (const ProcedureInfo& info : availableProcedures()) {
        QString shown = info.name.isEmpty() ? info.id : info.name;
        if (!info.edition.isEmpty()) shown += QStringLiteral(" (") + info.edition + u')';
        procedureBox_->addItem(shown, info.id);
    }
    const int at = procedureBox_->findData(current);
    if (at < 0 && !current.isEmpty()) {
        // A procedure that loads but is not listed still shows what the page is checked against.
        procedureBox_->addItem(current, current);
    }
    procedureBox_->setCurrentIndex(std::max(procedureBox_->findData(current), 0));
}

Procedure CMainFrame::loadProcedureOrDefault(const QString& id) {
    ProcedureLoad load = loadProcedure(id);
    if (load.procedure) return *load.procedure;
    prompter_.show(load.error, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
    if (id != defaultProcedureId()) {
        load = loadProcedure(defaultProcedureId());
        if (load.procedure) return *load.procedure;
        prompter_.show(load.error, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
    }
    // Nothing to hold the joint against: every check then says it was not checked.
    Procedure none;
    none.info = {defaultProcedureId(), defaultProcedureId(), QString()};
    return none;
}

void CMainFrame::onEvaluation(bool on) {
    if (!on) {
        doc_->setEvaluation({});
        updateCommands();
        return;
    }
    const QString id = settings_.read(keys::EvaluationProcedure, defaultProcedureId());
    const Procedure procedure = loadProcedureOrDefault(id);
    fillProcedureBox(procedure.info.id);
    doc_->setEvaluation({true, procedure});
    updateCommands();
}

void CMainFrame::onProcedureSelected(int index) {
    if (index < 0) return;
    const QString id = procedureBox_->itemData(index).toString();
    const Procedure procedure = loadProcedureOrDefault(id);
    if (procedure.info.id == id) settings_.write(keys::EvaluationProcedure, id);
    fillProcedureBox(procedure.info.id);
    if (doc_->evaluation().active) doc_->setEvaluation({true, procedure});
}

void CMainFrame::onSearchRangeSelected(int index) {
    if (index < 0) return;
    const int percent = static_cast<int>(readLeadingNumber(searchRange_->itemText(index)));
    doc_->SetSearchRangePercent(percent);
}

void CMainFrame::resetSearchRange() {
    searchRange_->setCurrentIndex(kFullRangeEntry);
}

void CMainFrame::applySearchRange(int percent) {
    doc_->SetSearchRangePercent(percent);
    // The box shows what the page was decoded with, not the 100% of a fresh load.
    state_.resetRangeFlag = false;
    const QString shown = searchRangeText(doc_->record().searchRangePercent);
    searchRange_->setPlaceholderText(shown);
    searchRange_->setCurrentIndex(searchRange_->findText(shown));
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().value(0).isLocalFile()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    // Opening may show a message box; not while the drag source is still waiting.
    const QString path = urls.first().toLocalFile();
    QTimer::singleShot(0, this, [this, path] { openFile(path); });
}

}  // namespace vr5
