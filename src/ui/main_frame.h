#pragma once

#include <QMainWindow>
#include <QMap>
#include <memory>

#include "evaluation/procedure.h"
#include "program_state.h"
#include "ui/commands.h"

class QAction;
class QComboBox;
class QMenu;
class QPrinter;
class QToolBar;

namespace vr5 {

class CVR5XPDoc;
class CVR5XPView;
class Prompter;
class SettingsStore;
class ZoomCommands;

// The program's only top-level window: menu, toolbar with the search-range box, and the view.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(SettingsStore& settings, Prompter& prompter, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Opens a report as the document and remembers it among the recent files.
    bool openFile(const QString& path);

    CVR5XPDoc& document() { return *doc_; }
    ProgramState& state() { return state_; }
    CVR5XPView& view() { return *view_; }
    QAction* action(Command id) const { return actions_.value(id); }
    QComboBox* searchRangeBox() const { return searchRange_; }
    // The evaluation's procedure chooser, in the bar above the view while the evaluation shows.
    QComboBox* procedureBox() const { return procedureBox_; }
    QWidget* evaluationBar() const { return evaluationBar_; }
    QList<QAction*> recentFileActions() const { return recentActions_; }

    // File > Open's file types: reports (first, as the program has always offered them),
    // calibration certificates, both, and any file.
    static QString openDialogFilter() {
        return QString::fromUtf8(kOpenFilter) +
               QStringLiteral(
                   ";;Calibration Certificates (*.tdc);;Reports and Certificates "
                   "(*.tjr *.tdc);;All Files (*)");
    }
    // Where the file dialogs start: the shown report's folder, or the report folder.
    QString openDialogFolder() const;

    // Print Many's file dialog.
    static constexpr const char* kPrintManyTitle = "Select Reports to Print";
    static constexpr const char* kPrintManyFilter =
        "Tarnell Joint Report (*.tjr);;Tarnell VR5 Calibration Cert. (*.tdc);;"
        "Reports and Certificates (*.tjr *.tdc)";

    // Prints the files, a page each in this order, after the printer dialog; then shows the last.
    // A job cancelled part way prints nothing more, leaves no PDF file and shows nothing new.
    void printManyFiles(const QStringList& paths);
    // Evaluate Many's file dialogs.
    static constexpr const char* kEvaluateManyTitle = "Select Reports to Evaluate";
    static constexpr const char* kJobSummaryTitle = "Save Job Summary";
    static constexpr const char* kJobSummaryName = "Job summary.csv";
    static constexpr const char* kJobSummaryFilter = "CSV Files (*.csv)";
    // Checks the reports against the procedure of the evaluation bar and saves the job summary
    // as `output`, with a progress dialog; cancelled, nothing is written.
    void evaluateManyFiles(const QStringList& paths, const QString& output);
    // The desktop's mail client, or empty when there is none.
    static QString mailClient();
    // The printer the print commands share (its set-up lasts as long as the window).
    QPrinter& printer();

    // The search-range entries: "5%" .. "100%".
    static constexpr int kSearchRangeEntries = 20;
    static constexpr int kFullRangeEntry = 19;

public Q_SLOTS:
    void onLogStatus();
    void onSettings();
    void onOpen();
    void onNew();
    void onPrint();
    void onPrintPreview();
    void onPrintSetup();
    void onPrintMany();
    void onEvaluateMany();
    void onSend();
    void onAnalyze();
    void onAppendNotes();
    void onAbout();
    // View > Evaluation: the page shows the joint checked against the chosen procedure.
    void onEvaluation(bool on);
    // The procedure chooser: remembered, and the joint evaluated again; the report is untouched.
    void onProcedureSelected(int index);
    // The search-range box: its leading number goes to the document.
    void onSearchRangeSelected(int index);
    // Puts the search-range box back to 100%.
    void resetSearchRange();
    // Decodes the open report with another search range (5..100 %) and shows it in the box, as
    // choosing it there would; a percentage the box does not list is shown in its place.
    void applySearchRange(int percent);
    // The hidden gesture of the Settings dialog leads here; the Diagnostics dialog opens above
    // `over`, which stays open underneath. Nothing opens until that dialog exists.
    void openDiagnostics(QWidget* over);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* makeAction(Command id);
    void buildMenus();
    void buildToolBar();
    void refreshRecentFiles();
    void updateCommands();
    void openLogStatusDialog();
    QWidget* buildEvaluationBar();
    void fillProcedureBox(const QString& current);
    // Loads a procedure by ID; one that fails is reported and the default is used instead.
    Procedure loadProcedureOrDefault(const QString& id);

    SettingsStore& settings_;
    Prompter& prompter_;
    ProgramState state_;
    std::unique_ptr<CVR5XPDoc> doc_;
    CVR5XPView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QComboBox* searchRange_ = nullptr;
    ZoomCommands* zoom_ = nullptr;
    QWidget* evaluationBar_ = nullptr;
    QComboBox* procedureBox_ = nullptr;
    QMap<Command, QAction*> actions_;
    QList<QAction*> recentActions_;
    QAction* recentPlaceholder_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace vr5
