#include <QApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

#include "app/command_line.h"
#include "app/headless.h"
#include "app/headless_archive.h"
#include "app/headless_download.h"
#include "app/headless_evaluate.h"
#include "app/headless_watch.h"
#include "app/print_chooser.h"
#include "app_info.h"
#include "platform/console_output.h"
#include "platform/font_stand_ins.h"
#include "platform/report_folder.h"
#include "platform/termination.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_store.h"
#include "ui/commands.h"
#include "ui/main_frame.h"
#include "ui/message_prompter.h"
#include "ui/vr5xp_view.h"

namespace {

// Without a window, the toolkit's own chatter (a missing runtime folder and the like) would be
// mixed into the messages scripts read; only our messages go to stderr.
void quietToolkitMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

// Commands without a window must run where there is no display.
void useOffscreenWhenHeadless(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (vr5::parseCommandLine(args).headless()) vr5::attachToCallersConsole();
    if (vr5::parseCommandLine(args).headless() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (vr5::parseCommandLine(args).headless() && !qEnvironmentVariableIsSet("VR5XP_DEBUG")) {
        qInstallMessageHandler(quietToolkitMessages);
    }
}

int runWindow(QApplication& app, const vr5::CommandLine& command) {
    vr5::QSettingsStore settings;
    vr5::MessagePrompter prompter;
    vr5::CMainFrame frame(settings, prompter);
    prompter.setParent(&frame);

    // Used by the start-up benchmark: end as soon as the first report page has been painted.
    if (qEnvironmentVariableIsSet("VR5XP_EXIT_AFTER_PAINT")) {
        QObject::connect(&frame.view(), &vr5::CVR5XPView::painted, &app, [&frame] {
            if (frame.document().hasReport()) QTimer::singleShot(0, qApp, &QApplication::quit);
        });
    }

    if (!command.file.isEmpty() && frame.openFile(command.file) && command.searchRange != 100) {
        frame.applySearchRange(command.searchRange);
    }
    frame.show();
    frame.repaint();

    if (!vr5::ensureReportFolder()) {
        prompter.show(QString::fromUtf8(vr5::kFolderNotCreated).arg(vr5::reportFolderPath()),
                      QString::fromUtf8(vr5::kAppTitle), vr5::Prompter::Icon::Error);
    }
    return app.exec();
}

// The archive commands need neither widgets nor a display: they start as quickly as a small
// tool does.
int runArchiveCommand(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromUtf8(vr5::kCompanyKey));
    QCoreApplication::setApplicationName(QString::fromUtf8(vr5::kAppTitle));
    if (!qEnvironmentVariableIsSet("VR5XP_DEBUG")) qInstallMessageHandler(quietToolkitMessages);
    const vr5::CommandLine command = vr5::parseCommandLine(app.arguments().mid(1));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const vr5::QSettingsStore settings;
    return vr5::runArchive(command, settings, out, err);
}

bool isArchiveCommand(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    switch (vr5::parseCommandLine(args).mode) {
        case vr5::CommandLine::Mode::ArchiveImport:
        case vr5::CommandLine::Mode::ArchiveList:
        case vr5::CommandLine::Mode::ArchiveVerify:
        case vr5::CommandLine::Mode::ArchiveExport:
            return true;
        default:
            return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (isArchiveCommand(argc, argv)) return runArchiveCommand(argc, argv);
    useOffscreenWhenHeadless(argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromUtf8(vr5::kCompanyKey));
    QApplication::setApplicationName(QString::fromUtf8(vr5::kAppTitle));
    QApplication::setApplicationVersion(QString::fromUtf8(vr5::kVersionText));
    vr5::addFontStandIns();

    const vr5::CommandLine command = vr5::parseCommandLine(app.arguments().mid(1));
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (command.mode) {
        case vr5::CommandLine::Mode::Help:
            out << vr5::usageText();
            return vr5::kExitOk;
        case vr5::CommandLine::Mode::Version:
            out << vr5::kAppTitle << ' ' << vr5::kVersionText << Qt::endl;
            return vr5::kExitOk;
        case vr5::CommandLine::Mode::Error:
            err << command.error << "\n\n" << vr5::usageText();
            return vr5::kExitUsage;
        case vr5::CommandLine::Mode::Window:
            vr5::quitOnTermination();
            return runWindow(app, command);
        case vr5::CommandLine::Mode::PrintChoose:
            return vr5::runPrintChooser(command);
        case vr5::CommandLine::Mode::Download: {
            vr5::QSettingsStore settings;
            vr5::quitOnTermination();
            return vr5::runDownload(command, settings, vr5::reportFolderPath(), out, err);
        }
        case vr5::CommandLine::Mode::Watch: {
            vr5::QSettingsStore settings;
            vr5::quitOnTermination();
            return vr5::runWatch(command, settings, vr5::reportFolderPath(), out, err);
        }
        case vr5::CommandLine::Mode::Evaluate:
        case vr5::CommandLine::Mode::EvaluateCsv:
        case vr5::CommandLine::Mode::ExportCsv: {
            const vr5::QSettingsStore settings;
            return vr5::runEvaluate(command, settings, out, err);
        }
        default:
            return vr5::runHeadless(command, out, err);
    }
}
