#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace vr5 {

// What the program was asked to do from its command line.
struct CommandLine {
    enum class Mode {
        Window,         // open the main window, optionally with a file
        Dump,           // --dump REPORT: the decoded report as JSON on stdout
        ExportPdf,      // --export-pdf OUT FILE...: one page per file, in order
        ExportPng,      // --export-png OUT REPORT [--dpi N]
        Print,          // /p FILE: print on the default printer and end
        PrintTo,        // /pt FILE PRINTER DRIVER PORT: print on that printer and end
        PrintChoose,    // /pt FILE alone: the print dialog chooses the printer, then end
        Download,       // --download [--port COMn]: fetch a finished run from the logger
        Watch,          // --watch [--port COMn] [--procedure ID] [--download]: the phases live
        Evaluate,       // --evaluate [--procedure ID] FILE...: one JSON line per joint
        EvaluateCsv,    // --evaluate-csv OUT [--procedure ID] FILE...: one row per joint
        ExportCsv,      // --export-csv OUT REPORT: the smoothed samples
        ArchiveImport,  // --archive-import PATH...: files and folders into the archive
        ArchiveList,    // --archive-list [filters] [--csv OUT]: the archived reports
        ArchiveVerify,  // --archive-verify FILE...: each file against the archive
        ArchiveExport,  // --archive-export SHA256 OUT: the archived bytes into a new file
        Help,
        Version,
        Error,  // `error` says what is wrong
    };

    Mode mode = Mode::Window;
    QString file;       // the report (or nothing in Window mode)
    QStringList files;  // --export-pdf, --evaluate(-csv): every file, in order (file is the first)
    QString output;     // the PDF, PNG or CSV to write
    QString procedure;  // --procedure ID; empty: the one the settings remember
    int dpi = 96;
    int searchRange = 100;  // percent, 5..100
    QString printer, driver, port;
    unsigned comPort = 0;   // --port COMn; 0 = the port the settings name
    bool download = false;  // --watch --download: download the run once it is finished
    // --archive-list: what to select (empty: everything); `output` is the --csv file.
    struct ArchiveSelection {
        QString job, employee, machine, verdict;
        QDate from, to;
    } archive;
    QString error;

    // Without a window; the print dialog of PrintChoose needs the display.
    bool headless() const { return mode != Mode::Window && mode != Mode::PrintChoose; }
};

inline constexpr int kMinDpi = 24;
inline constexpr int kMaxDpi = 600;

// Reads the arguments after the program name.
CommandLine parseCommandLine(const QStringList& args);

QString usageText();

}  // namespace vr5
