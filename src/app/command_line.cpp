#include "app/command_line.h"

#include <optional>

namespace vr5 {

namespace {

// "/p", "-p", "/P" are the same switch.
bool isSwitch(const QString& arg, const char* name) {
    if (arg.size() < 2 || (arg[0] != u'/' && arg[0] != u'-')) return false;
    return arg.mid(1).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool readInt(const QString& text, int low, int high, int& out) {
    QString digits = text.trimmed();
    if (digits.endsWith(u'%')) digits.chop(1);
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok || value < low || value > high) return false;
    out = value;
    return true;
}

CommandLine failure(const QString& why) {
    CommandLine c;
    c.mode = CommandLine::Mode::Error;
    c.error = why;
    return c;
}

}  // namespace

QString usageText() {
    return QStringLiteral(
        "Usage:\n"
        "  vr5xp [REPORT.tjr]                       open the window, with a report\n"
        "  vr5xp --export-pdf OUT.pdf FILE...       write the pages of reports and certificates,\n"
        "                                           one each, in order, as one letter PDF\n"
        "  vr5xp --export-png OUT.png [--dpi N] REPORT.tjr\n"
        "                                           write the report page as an image\n"
        "  vr5xp --dump REPORT.tjr                  print the decoded report as JSON\n"
        "  vr5xp /p REPORT.tjr                      print on the default printer\n"
        "  vr5xp /pt REPORT.tjr PRINTER DRIVER PORT print on that printer\n"
        "  vr5xp /pt REPORT.tjr                     choose the printer in the print dialog\n"
        "  vr5xp --download [--port COMn]          fetch the logger's finished run into the\n"
        "                                           report folder and print the report's path\n"
        "  vr5xp --watch [--port COMn] [--procedure ID] [--download]\n"
        "                                           while the logger logs, print the joint's\n"
        "                                           phase, its time and limit as JSON lines\n"
        "                                           until the run is finished; then download it\n"
        "  vr5xp --evaluate [--procedure ID] REPORT.tjr...\n"
        "                                           check each joint against a fusion procedure\n"
        "                                           and print one JSON object per report\n"
        "  vr5xp --evaluate-csv OUT.csv [--procedure ID] REPORT.tjr...\n"
        "                                           the same as a table, one row per joint\n"
        "  vr5xp --export-csv OUT.csv REPORT.tjr    write the report's samples as a table\n"
        "  vr5xp --archive-import PATH...           archive reports and the folders' reports\n"
        "  vr5xp --archive-list [--job J] [--employee E] [--machine M] [--from DATE]\n"
        "        [--to DATE] [--verdict within|outside|incomplete] [--procedure ID]\n"
        "        [--csv OUT.csv]                    the archived reports, one JSON object each\n"
        "                                           (or the job summary as a table)\n"
        "  vr5xp --archive-verify FILE...           is each file the one in the archive?\n"
        "  vr5xp --archive-export SHA256 OUT.tjr    the archived report into a new file\n"
        "Options:\n"
        "  --search-range P   heater-removal search range in percent (5..100), for the\n"
        "                     window as for exports, dumps and printing\n"
        "  --dpi N            image resolution for --export-png (24..600, default 96)\n"
        "  --procedure ID     the fusion procedure for --evaluate, --evaluate-csv and --watch\n"
        "                     (default: the one last chosen, else astm-f2620)\n"
        "  --help, --version\n"
        "Exit status: 0 done, 1 wrong arguments, 2 a file could not be read or written or\n"
        "the procedure is unknown or malformed, 3 the report is damaged (what could be read\n"
        "was still written or evaluated), 4 no printer, 5 the serial port could not be\n"
        "opened, 6 no answer from the logger, 7 the logger holds no finished run, 8 the\n"
        "logger is still logging, 9 the link was lost during the download (what arrived\n"
        "was kept and its path printed), 10 the archive could not be opened or failed\n"
        "(nothing half-written), 11 notes were appended since archiving, 12 altered after\n"
        "archiving, 13 not in the archive.\n");
}

CommandLine parseCommandLine(const QStringList& args) {
    CommandLine c;
    QStringList files;
    bool modeSet = false;
    bool dpiGiven = false;
    auto setMode = [&](CommandLine::Mode mode) {
        if (modeSet && c.mode != mode) return false;
        c.mode = mode;
        modeSet = true;
        return true;
    };
    const QString twoModes = QStringLiteral(
        "Only one of --dump, --export-pdf, --export-png, --export-csv, --evaluate, "
        "--evaluate-csv, --download, --watch, --archive-import, --archive-list, "
        "--archive-verify, --archive-export, /p and /pt can be given.");
    bool archiveOptions = false;
    // An archive option's value: the next argument, never another option.
    const auto optionValue = [&](qsizetype& i, QString& into) {
        if (i + 1 >= args.size() || args[i + 1].startsWith(u"--")) return false;
        into = args[++i];
        archiveOptions = true;
        return true;
    };
    bool watch = false;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto next = [&](const char* what) -> std::optional<QString> {
            if (i + 1 >= args.size()) return std::nullopt;
            Q_UNUSED(what);
            return args[++i];
        };
        if (arg == u"--help" || arg == u"-h" || arg == u"/?") {
            c.mode = CommandLine::Mode::Help;
            return c;
        }
        if (arg == u"--version") {
            c.mode = CommandLine::Mode::Version;
            return c;
        }
        if (arg == u"--dump") {
            if (!setMode(CommandLine::Mode::Dump)) return failure(twoModes);
        } else if (arg == u"--export-pdf" || arg == u"--export-png") {
            if (!setMode(arg == u"--export-pdf" ? CommandLine::Mode::ExportPdf
                                                : CommandLine::Mode::ExportPng))
                return failure(twoModes);
            const auto out = next("output");
            if (!out) return failure(arg + QStringLiteral(" needs an output file name."));
            c.output = *out;
        } else if (arg == u"--evaluate") {
            if (!setMode(CommandLine::Mode::Evaluate)) return failure(twoModes);
        } else if (arg == u"--evaluate-csv" || arg == u"--export-csv") {
            if (!setMode(arg == u"--evaluate-csv" ? CommandLine::Mode::EvaluateCsv
                                                  : CommandLine::Mode::ExportCsv))
                return failure(twoModes);
            const auto out = next("output");
            if (!out) return failure(arg + QStringLiteral(" needs an output file name."));
            c.output = *out;
        } else if (arg == u"--archive-import" || arg == u"--archive-list" ||
                   arg == u"--archive-verify" || arg == u"--archive-export") {
            const CommandLine::Mode mode =
                arg == u"--archive-import"   ? CommandLine::Mode::ArchiveImport
                : arg == u"--archive-list"   ? CommandLine::Mode::ArchiveList
                : arg == u"--archive-verify" ? CommandLine::Mode::ArchiveVerify
                                             : CommandLine::Mode::ArchiveExport;
            if (!setMode(mode)) return failure(twoModes);
        } else if (arg == u"--job" || arg == u"--employee" || arg == u"--machine" ||
                   arg == u"--verdict" || arg == u"--csv") {
            QString& into = arg == u"--job"        ? c.archive.job
                            : arg == u"--employee" ? c.archive.employee
                            : arg == u"--machine"  ? c.archive.machine
                            : arg == u"--verdict"  ? c.archive.verdict
                                                   : c.output;
            if (!optionValue(i, into)) return failure(arg + QStringLiteral(" needs a value."));
            if (arg == u"--verdict" && into != u"within" && into != u"outside" &&
                into != u"incomplete" && into != u"demo")
                return failure(
                    QStringLiteral("--verdict needs within, outside, incomplete or demo."));
        } else if (arg == u"--from" || arg == u"--to") {
            QString text;
            const bool given = optionValue(i, text);
            QDate& into = arg == u"--from" ? c.archive.from : c.archive.to;
            into = QDate::fromString(text.trimmed(), Qt::ISODate);
            if (!given || !into.isValid())
                return failure(arg + QStringLiteral(" needs a date as YYYY-MM-DD."));
        } else if (arg == u"--procedure") {
            const auto value = next("procedure");
            if (!value || value->trimmed().isEmpty() || value->startsWith(u"--"))
                return failure(QStringLiteral("--procedure needs a procedure ID."));
            c.procedure = value->trimmed();
        } else if (arg == u"--dpi") {
            const auto value = next("dpi");
            if (!value || !readInt(*value, kMinDpi, kMaxDpi, c.dpi))
                return failure(QStringLiteral("--dpi needs a whole number from %1 to %2.")
                                   .arg(kMinDpi)
                                   .arg(kMaxDpi));
            dpiGiven = true;
        } else if (arg == u"--search-range") {
            const auto value = next("percent");
            if (!value || !readInt(*value, 5, 100, c.searchRange))
                return failure(
                    QStringLiteral("--search-range needs a whole percentage from 5 to 100."));
        } else if (arg == u"--download") {
            if (!setMode(CommandLine::Mode::Download)) return failure(twoModes);
        } else if (arg == u"--watch") {
            watch = true;
        } else if (arg == u"--port") {
            const auto value = next("port");
            const QString name = value ? value->trimmed() : QString();
            int number = 0;
            if (!name.startsWith(u"COM", Qt::CaseInsensitive) ||
                !readInt(name.mid(3), 1, 200, number))
                return failure(QStringLiteral("--port needs a port name from COM1 to COM200."));
            c.comPort = static_cast<unsigned>(number);
        } else if (isSwitch(arg, "p")) {
            if (!setMode(CommandLine::Mode::Print)) return failure(twoModes);
        } else if (isSwitch(arg, "pt")) {
            if (!setMode(CommandLine::Mode::PrintTo)) return failure(twoModes);
        } else if (isSwitch(arg, "dde")) {
            // The shell's DDE conversation is not used here; the switch is accepted and ignored.
        } else if (arg.startsWith(u"--")) {
            return failure(QStringLiteral("Unknown option %1.").arg(arg));
        } else {
            files << arg;
        }
    }

    if (watch) {
        // --watch goes on to the download with --download, and with no other command.
        if (modeSet && c.mode != CommandLine::Mode::Download) return failure(twoModes);
        c.download = c.mode == CommandLine::Mode::Download;
        c.mode = CommandLine::Mode::Watch;
    }
    switch (c.mode) {
        case CommandLine::Mode::Watch:
            if (!files.isEmpty()) return failure(QStringLiteral("--watch takes no file."));
            break;
        case CommandLine::Mode::PrintTo:
            // The desktop's "Print to..." gives the file alone: the printer is chosen in the
            // print dialog.
            if (files.size() == 1) {
                c.mode = CommandLine::Mode::PrintChoose;
                c.file = files[0];
                break;
            }
            if (files.size() != 4)
                return failure(QStringLiteral("/pt needs a file, a printer, a driver and a port."));
            c.file = files[0], c.printer = files[1], c.driver = files[2], c.port = files[3];
            break;
        case CommandLine::Mode::Download:
            if (!files.isEmpty()) return failure(QStringLiteral("--download takes no file."));
            break;
        case CommandLine::Mode::ExportPdf:
            if (files.isEmpty())
                return failure(QStringLiteral("--export-pdf needs a file to export."));
            c.file = files[0];
            c.files = files;
            break;
        case CommandLine::Mode::Evaluate:
        case CommandLine::Mode::EvaluateCsv:
            if (files.isEmpty()) return failure(QStringLiteral("Name at least one report."));
            c.file = files[0];
            c.files = files;
            break;
        case CommandLine::Mode::ArchiveImport:
        case CommandLine::Mode::ArchiveVerify:
            if (files.isEmpty()) return failure(QStringLiteral("Name at least one file."));
            c.file = files[0];
            c.files = files;
            break;
        case CommandLine::Mode::ArchiveList:
            if (!files.isEmpty()) return failure(QStringLiteral("--archive-list takes no file."));
            break;
        case CommandLine::Mode::ArchiveExport:
            if (files.size() != 2)
                return failure(
                    QStringLiteral("--archive-export needs a SHA-256 and a file to write."));
            c.file = files[0];
            c.output = files[1];
            break;
        case CommandLine::Mode::Window:
            if (files.size() > 1) return failure(QStringLiteral("Only one file can be opened."));
            c.file = files.value(0);
            break;
        default:
            if (files.size() != 1)
                return failure(QStringLiteral("Exactly one report file is needed."));
            c.file = files[0];
            break;
    }
    if (c.comPort != 0 && c.mode != CommandLine::Mode::Download &&
        c.mode != CommandLine::Mode::Watch)
        return failure(QStringLiteral("--port goes with --download and --watch only."));
    if (!c.procedure.isEmpty() && c.mode != CommandLine::Mode::Evaluate &&
        c.mode != CommandLine::Mode::EvaluateCsv && c.mode != CommandLine::Mode::Watch &&
        c.mode != CommandLine::Mode::ArchiveList)
        return failure(QStringLiteral(
            "--procedure goes with --evaluate, --evaluate-csv, --watch and --archive-list only."));
    if (archiveOptions && c.mode != CommandLine::Mode::ArchiveList)
        return failure(QStringLiteral(
            "--job, --employee, --machine, --from, --to, --verdict and --csv go with "
            "--archive-list only."));
    if (dpiGiven && c.mode != CommandLine::Mode::ExportPng)
        return failure(QStringLiteral("--dpi goes with --export-png only."));
    return c;
}

}  // namespace vr5
