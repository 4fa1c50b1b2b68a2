#pragma once

#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>

#include "archive/joint_archive.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace vr5 {

class ArchiveTableModel;
class ArchiveTask;
class CMainFrame;
class Prompter;
class SettingsStore;

// File > Archive...: the archived reports in a table that sorts by any column, filtered by job,
// employee, dates, verdict and procedure, with a count of what the filter shows; a double-click
// opens a report from its archived bytes. Import Folder and Verify Folder run on a thread of
// their own with progress and Cancel; the window answers meanwhile. An archive that cannot be
// opened is named with why, the table stays empty and nothing is changed.
class ArchiveBrowser final : public QWidget {
    Q_OBJECT
public:
    // Opens a file the browser wrote (the archived bytes of a report) as the shown document.
    using ReportOpener = std::function<bool(const QString& path)>;

    ArchiveBrowser(SettingsStore& settings, Prompter& prompter, ReportOpener opener,
                   QWidget* parent = nullptr);
    ~ArchiveBrowser() override;

    // Opens the archive the settings choose (again) and lists what the filter selects.
    void reopen();
    // Lists again what the filter selects.
    void refresh();
    // The filter the boxes give; `error` says what is wrong with a date typed.
    ArchiveFilter filter(QString* error = nullptr) const;

    // The report of a row of the table (as sorted) from its archived bytes: written to a new
    // read-only file of the browser's own and opened. False, with a message, otherwise.
    bool openRow(int row);
    // The archived bytes of a row into `outPath`, never over a file that exists.
    bool exportRow(int row, const QString& outPath);
    // Runs on the task's thread; false when work is running already.
    bool importFolder(const QString& folder);
    bool verifyFolder(const QString& folder);
    bool busy() const;
    // Waits for an import or a verify to end (tests).
    bool waitUntilIdle(int timeoutMs = 30000);

    QTableView* table() const { return table_; }
    ArchiveTableModel* model() const { return model_; }
    QComboBox* jobBox() const { return job_; }
    QComboBox* employeeBox() const { return employee_; }
    QLineEdit* fromBox() const { return from_; }
    QLineEdit* toBox() const { return to_; }
    QComboBox* verdictBox() const { return verdict_; }
    QComboBox* procedureBox() const { return procedure_; }
    QLabel* locationLabel() const { return location_; }
    QLabel* summaryLabel() const { return summary_; }
    QLabel* workLabel() const { return workLabel_; }
    QListWidget* answers() const { return answers_; }
    QPushButton* importButton() const { return import_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* verifyButton() const { return verify_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progressBar() const { return progress_; }

    // The last archived file openRow() wrote.
    QString lastOpened() const { return lastOpened_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildFilters();
    void fillChoices();
    void onImport();
    void onExport();
    void onVerify();
    void workStarted(const QString& what);
    void workEnded();
    void updateButtons();
    int sourceRow(int row) const;

    SettingsStore& settings_;
    Prompter& prompter_;
    ReportOpener opener_;
    std::unique_ptr<JointArchive> archive_;
    QTemporaryDir opened_;
    int openedCount_ = 0;
    QString lastOpened_;

    ArchiveTableModel* model_;
    QSortFilterProxyModel* sorted_;
    QTableView* table_;
    QComboBox* job_;
    QComboBox* employee_;
    QLineEdit* from_;
    QLineEdit* to_;
    QComboBox* verdict_;
    QComboBox* procedure_;
    QLabel* location_;
    QLabel* summary_;
    QLabel* workLabel_;
    QListWidget* answers_;
    QPushButton* import_;
    QPushButton* export_;
    QPushButton* verify_;
    QPushButton* cancel_;
    QProgressBar* progress_;
    QWidget* filters_ = nullptr;
    QTimer* refreshSoon_;
    ArchiveTask* task_;
    QString verb_;  // "Archiving", "Verifying"
    // Shows what the work running now found, once it has ended.
    std::function<void()> finish_;
};

// Adds File > Archive... to `menu`: one browser for the window, opened reports shown in it.
QAction* addArchiveCommand(CMainFrame& frame, QMenu* menu, SettingsStore& settings,
                           Prompter& prompter);

}  // namespace vr5
