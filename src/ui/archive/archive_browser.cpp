#include "ui/archive/archive_browser.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <set>
#include <utility>

#include "app_info.h"
#include "evaluation/job_summary.h"
#include "evaluation/procedure.h"
#include "evaluation/procedure_limits.h"
#include "prompter.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "ui/archive/archive_answers.h"
#include "ui/archive/archive_table.h"
#include "ui/archive/archive_task.h"
#include "ui/main_frame.h"
#include "ui/vr5xp_view.h"

namespace vr5 {

namespace {

// Typed filter texts are looked up once typing pauses.
constexpr int kTypingPauseMs = 250;

// The choices of an editable filter box: every value the archive holds, the text kept.
void fillBox(QComboBox* box, const std::set<QString>& values) {
    const QString text = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    box->addItem(QString());
    for (const QString& value : values) {
        if (!value.isEmpty()) box->addItem(value);
    }
    box->setEditText(text);
}

QComboBox* filterBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(12);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QLineEdit* dateBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00__")) + 20);
    return box;
}

// A date typed in a filter box; empty text is no limit.
bool readDate(const QLineEdit* box, std::optional<QDate>& into, QString* error) {
    const QString text = box->text().trimmed();
    if (text.isEmpty()) return true;
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) {
        if (error)
            *error = QStringLiteral("The date \"%1\" is not of the form YYYY-MM-DD.").arg(text);
        return false;
    }
    into = date;
    return true;
}

// A file name for a report taken out of the archive: the name it was archived under, with the
// extension of its kind (the document opens a certificate by ".tdc").
QString takenOutName(const ArchivedReport& r) {
    const QString wanted =
        r.kind == u"calibration" ? QStringLiteral(".tdc") : QStringLiteral(".tjr");
    QString name = QFileInfo(QDir::fromNativeSeparators(r.sourceName)).fileName();
    if (name.startsWith(u'.')) name.clear();
    if (!name.endsWith(wanted, Qt::CaseInsensitive)) name = r.sha256.left(12) + wanted;
    return name;
}

}  // namespace

ArchiveBrowser::ArchiveBrowser(SettingsStore& settings, Prompter& prompter, ReportOpener opener,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      prompter_(prompter),
      opener_(std::move(opener)),
      task_(new ArchiveTask(this)) {
    setWindowTitle(QStringLiteral("Archive"));
    setObjectName(QStringLiteral("archiveBrowser"));

    refreshSoon_ = new QTimer(this);
    refreshSoon_->setSingleShot(true);
    refreshSoon_->setInterval(kTypingPauseMs);
    connect(refreshSoon_, &QTimer::timeout, this, &ArchiveBrowser::refresh);

    location_ = new QLabel(this);
    location_->setWordWrap(true);
    location_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    buildFilters();

    model_ = new ArchiveTableModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(ArchiveTableModel::kSortRole);
    sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
    table_ = new QTableView(this);
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(ArchiveTableModel::Date, Qt::DescendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(false);
    connect(table_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { openRow(index.row()); });

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("archiveSummary"));
    answers_ = new QListWidget(this);
    answers_->setObjectName(QStringLiteral("archiveAnswers"));
    answers_->hide();
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(answers_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    import_ = new QPushButton(QStringLiteral("Import Folder..."), this);
    export_ = new QPushButton(QStringLiteral("Export..."), this);
    verify_ = new QPushButton(QStringLiteral("Verify Folder..."), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    progress_ = new QProgressBar(this);
    workLabel_ = new QLabel(this);
    workLabel_->setWordWrap(true);
    workLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progress_->hide();
    cancel_->hide();
    connect(import_, &QPushButton::clicked, this, &ArchiveBrowser::onImport);
    connect(export_, &QPushButton::clicked, this, &ArchiveBrowser::onExport);
    connect(verify_, &QPushButton::clicked, this, &ArchiveBrowser::onVerify);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        task_->cancel();
        cancel_->setEnabled(false);
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ArchiveBrowser::updateButtons);
    connect(task_, &ArchiveTask::progressed, this,
            [this](qsizetype index, qsizetype count, const QString& path) {
                progress_->setRange(0, static_cast<int>(count));
                progress_->setValue(static_cast<int>(index));
                workLabel_->setText(fileProgressText(verb_, index, count, path));
            });
    connect(task_, &ArchiveTask::finished, this, [this](const QString& openError) {
        const auto done = std::exchange(finish_, nullptr);
        if (!openError.isEmpty()) {
            workLabel_->setText(openError);
        } else if (done) {
            done();
        }
        workEnded();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(import_);
    buttons->addWidget(export_);
    buttons->addWidget(verify_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(location_);
    layout->addWidget(filters_);
    layout->addWidget(split, 1);
    layout->addWidget(summary_);
    layout->addWidget(workLabel_);
    layout->addLayout(buttons);

    resize(1100, 640);
    updateButtons();
}

ArchiveBrowser::~ArchiveBrowser() = default;

void ArchiveBrowser::buildFilters() {
    filters_ = new QWidget(this);
    job_ = filterBox(filters_);
    employee_ = filterBox(filters_);
    from_ = dateBox(filters_);
    to_ = dateBox(filters_);
    verdict_ = new QComboBox(filters_);
    verdict_->addItem(QStringLiteral("any"), QString());
    for (const char* v : {"within", "outside", "incomplete", "demo"})
        verdict_->addItem(QString::fromLatin1(v), QString::fromLatin1(v));
    procedure_ = new QComboBox(filters_);
    // The archive keeps the verdicts under the procedures built in.
    for (const ProcedureInfo& info : availableProcedures()) {
        if (!QFileInfo::exists(builtInProcedurePath(info.id))) continue;
        QString shown = info.name.isEmpty() ? info.id : info.name;
        if (!info.edition.isEmpty()) shown += QStringLiteral(" (") + info.edition + u')';
        procedure_->addItem(shown, info.id);
    }
    const int chosen = procedure_->findData(settings_.read(keys::EvaluationProcedure));
    procedure_->setCurrentIndex(std::max(chosen, procedure_->findData(defaultProcedureId())));

    auto* row = new QHBoxLayout(filters_);
    row->setContentsMargins(0, 0, 0, 0);
    const auto labelled = [&](const QString& text, QWidget* box) {
        auto* label = new QLabel(text, filters_);
        label->setBuddy(box);
        row->addWidget(label);
        row->addWidget(box);
    };
    labelled(QStringLiteral("&Job:"), job_);
    labelled(QStringLiteral("E&mployee:"), employee_);
    labelled(QStringLiteral("&From:"), from_);
    labelled(QStringLiteral("&To:"), to_);
    labelled(QStringLiteral("&Verdict:"), verdict_);
    labelled(QStringLiteral("&Procedure:"), procedure_);
    row->addStretch();

    const auto soon = [this] { refreshSoon_->start(); };
    connect(job_, &QComboBox::editTextChanged, this, soon);
    connect(employee_, &QComboBox::editTextChanged, this, soon);
    connect(from_, &QLineEdit::textChanged, this, soon);
    connect(to_, &QLineEdit::textChanged, this, soon);
    connect(verdict_, &QComboBox::currentIndexChanged, this, &ArchiveBrowser::refresh);
    connect(procedure_, &QComboBox::currentIndexChanged, this, &ArchiveBrowser::refresh);
}

void ArchiveBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The settings may name another archive since the window was last shown.
    if (!event->spontaneous()) reopen();
}

void ArchiveBrowser::reopen() {
    archive_ = std::make_unique<JointArchive>();
    const ArchiveLocation location = ArchiveLocation::chosen(settings_);
    QPalette palette = location_->palette();
    if (!archive_->open(location)) {
        location_->setText(archive_->error());
        palette.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
        archive_.reset();
    } else {
        QString text = QStringLiteral("Archive: ") + archive_->describe();
        if (!qEnvironmentVariable("VR5XP_ARCHIVE").trimmed().isEmpty())
            text += QStringLiteral(" (named by VR5XP_ARCHIVE)");
        location_->setText(text);
        palette = QPalette();
    }
    location_->setPalette(palette);
    fillChoices();
    refresh();
}

void ArchiveBrowser::fillChoices() {
    std::set<QString> jobs, employees;
    if (archive_) {
        for (const ArchivedReport& r : archive_->list()) {
            jobs.insert(r.job);
            employees.insert(r.employee);
        }
    }
    fillBox(job_, jobs);
    fillBox(employee_, employees);
}

ArchiveFilter ArchiveBrowser::filter(QString* error) const {
    ArchiveFilter f;
    f.job = job_->currentText().trimmed();
    f.employee = employee_->currentText().trimmed();
    f.verdict = verdict_->currentData().toString();
    f.procedure = procedure_->currentData().toString();
    if (!readDate(from_, f.from, error) || !readDate(to_, f.to, error)) f.limit = -1;
    return f;
}

void ArchiveBrowser::refresh() {
    refreshSoon_->stop();
    QString error;
    const ArchiveFilter f = filter(&error);
    QList<ArchivedReport> rows;
    if (!archive_) {
        summary_->clear();
    } else if (f.limit < 0) {
        summary_->setText(error);
    } else {
        rows = archive_->list(f);
        summary_->setText(archive_->error().isEmpty() ? archiveSummary(rows) : archive_->error());
    }
    model_->setReports(std::move(rows));
    table_->resizeColumnsToContents();
    updateButtons();
}

int ArchiveBrowser::sourceRow(int row) const {
    return sorted_->mapToSource(sorted_->index(row, 0)).row();
}

bool ArchiveBrowser::openRow(int row) {
    const int at = sourceRow(row);
    if (!archive_ || at < 0 || at >= model_->rowCount()) return false;
    const ArchivedReport r = model_->report(at);
    const auto fail = [this](const QString& why) {
        prompter_.show(why, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
        return false;
    };
    const std::optional<QByteArray> bytes = archive_->reportBytes(r.sha256);
    if (!bytes) return fail(archive_->error());
    if (!opened_.isValid()) {
        return fail(QStringLiteral("No folder for the archived report could be made: ") +
                    opened_.errorString());
    }
    // A folder of its own for each report opened: never a file of the user's, never one
    // opened before.
    const QString folder = opened_.filePath(QString::number(++openedCount_));
    const QString path = folder + u'/' + takenOutName(r);
    QFile file(path);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(*bytes) != bytes->size() || !file.flush()) {
        return fail(QStringLiteral("The archived report could not be written to %1: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    lastOpened_ = path;
    return opener_ ? opener_(path) : true;
}

bool ArchiveBrowser::exportRow(int row, const QString& outPath) {
    const int at = sourceRow(row);
    if (!archive_ || at < 0 || at >= model_->rowCount()) return false;
    if (!archive_->exportReport(model_->report(at).sha256, outPath)) {
        prompter_.show(archive_->error(), QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
        return false;
    }
    workLabel_->setText(QStringLiteral("Exported to %1.").arg(QDir::toNativeSeparators(outPath)));
    return true;
}

void ArchiveBrowser::onExport() {
    const QModelIndexList chosen = table_->selectionModel()->selectedRows();
    if (chosen.isEmpty()) return;
    const int row = chosen.first().row();
    const ArchivedReport& r = model_->report(sourceRow(row));
    // No question about replacing a file: a file that exists is refused, whatever is answered.
    const QString out = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export"), QDir::home().filePath(takenOutName(r)),
        r.kind == u"calibration" ? QStringLiteral("Tarnell VR5 Calibration Cert. (*.tdc)")
                                 : QString::fromUtf8(kOpenFilter),
        nullptr, QFileDialog::DontConfirmOverwrite);
    if (!out.isEmpty()) exportRow(row, out);
}

void ArchiveBrowser::onImport() {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Import Folder"));
    if (!folder.isEmpty()) importFolder(folder);
}

void ArchiveBrowser::onVerify() {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Verify Folder"));
    if (!folder.isEmpty()) verifyFolder(folder);
}

bool ArchiveBrowser::importFolder(const QString& folder) {
    auto counts = std::make_shared<ImportCounts>();
    const bool started =
        task_->start(ArchiveLocation::chosen(settings_),
                     [counts, folder](JointArchive& archive, const ArchiveProgress& progress,
                                      const std::atomic_bool& cancel) {
                         *counts = archive.importFiles({folder}, progress, &cancel);
                     });
    if (!started) return false;
    workStarted(QStringLiteral("Archiving"));
    finish_ = [this, counts, folder] {
        showImportCounts(answers_, workLabel_, *counts, folder);
        fillChoices();
        refresh();
    };
    return true;
}

bool ArchiveBrowser::verifyFolder(const QString& folder) {
    auto answers = std::make_shared<QList<FileAnswer>>();
    const bool started = task_->start(
        ArchiveLocation::chosen(settings_),
        [answers, folder](JointArchive& archive, const ArchiveProgress& progress,
                          const std::atomic_bool& cancel) {
            QStringList missing;
            const QStringList files = JointArchive::archivableFiles({folder}, &missing);
            for (qsizetype i = 0; i < files.size() && !cancel; ++i) {
                progress(i, files.size(), files[i]);
                answers->append({files[i], archive.verify(files[i])});
            }
            for (const QString& path : missing) {
                VerifyResult gone;
                gone.answer = VerifyResult::Answer::Unreadable;
                gone.why = QStringLiteral("The file does not exist.");
                answers->append({path, gone});
            }
        });
    if (!started) return false;
    workStarted(QStringLiteral("Verifying"));
    finish_ = [this, answers, folder] {
        showVerifyAnswers(answers_, workLabel_, *answers, folder, task_->cancelled());
    };
    return true;
}

void ArchiveBrowser::workStarted(const QString& verb) {
    verb_ = verb;
    answers_->clear();
    answers_->hide();
    workLabel_->setText(verb + QStringLiteral("..."));
    progress_->setRange(0, 0);
    progress_->show();
    cancel_->setEnabled(true);
    cancel_->show();
    updateButtons();
}

void ArchiveBrowser::workEnded() {
    progress_->hide();
    cancel_->hide();
    updateButtons();
}

bool ArchiveBrowser::busy() const {
    return task_->running();
}

bool ArchiveBrowser::waitUntilIdle(int timeoutMs) {
    return task_->wait(timeoutMs);
}

void ArchiveBrowser::updateButtons() {
    const bool idle = !task_->running();
    import_->setEnabled(idle);
    verify_->setEnabled(idle);
    export_->setEnabled(archive_ && table_->selectionModel()->hasSelection());
}

QAction* addArchiveCommand(CMainFrame& frame, QMenu* menu, SettingsStore& settings,
                           Prompter& prompter) {
    auto* action = menu->addAction(QStringLiteral("&Archive..."));
    action->setObjectName(QStringLiteral("archiveAction"));
    action->setStatusTip(QStringLiteral("Find, open, import and verify archived reports"));
    QObject::connect(action, &QAction::triggered, &frame, [&frame, &settings, &prompter] {
        auto* browser = frame.findChild<ArchiveBrowser*>(QString(), Qt::FindDirectChildrenOnly);
        if (!browser) {
            // The archived copy is shown as File > Open shows a report, but is no recent file:
            // it lives only as long as the program.
            browser = new ArchiveBrowser(
                settings, prompter,
                [&frame](const QString& path) {
                    if (frame.document().Open(path) == CVR5XPDoc::OpenResult::Failed) return false;
                    frame.view().showTop();
                    frame.raise();
                    frame.activateWindow();
                    return true;
                },
                &frame);
        }
        browser->show();
        browser->raise();
        browser->activateWindow();
    });
    return action;
}

}  // namespace vr5
