// Runs the Log/Status window, offscreen, against a logger on COM6 (the ports folder of
// VR5XP_PORT_DIR), as an operator would, so that the fault campaign (scripts/faults) can send
// garbled pages and lost set-up records through the window. Not a test: the campaign checks what
// it reports and the report folder.
//
//   link_driver download FOLDER   Connect, and wait until the finished run the logger holds is
//                                 downloaded into FOLDER (the window closes) or the download
//                                 ends incomplete
//   link_driver setup FOLDER      Connect, "Setup..." through every page; when the set-up is
//                                 interrupted, "Setup..." once more; wait for the download
//
// It prints "interrupted" when a set-up was interrupted, "incomplete <why>" when a download ended
// early, and "report <path>" for the report kept; exit status 0, or 1 when the window hung (no
// outcome within two minutes) or the port did not open.
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/logger/log_status_dlg.h"

namespace {

using namespace vr5;

// OK to connect, Yes to every question; messages go to stderr.
class OperatorPrompter final : public Prompter {
public:
    void show(const QString& text, const QString& caption, Icon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons buttons, Icon) override {
        return buttons == Buttons::OkCancel || buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
};

class NextEveryPage final : public SetupPages {
public:
    Result showPage(int) override { return Result::Next; }
};

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    return QTest::qWaitFor(done, milliseconds);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2 || (args[0] != u"download" && args[0] != u"setup")) {
        std::fprintf(stderr, "usage: link_driver download|setup FOLDER\n");
        return 2;
    }
    const bool setUp = args[0] == u"setup";

    MemorySettingsStore settings;
    settings.write(keys::ComPort, 5);
    settings.write(keys::JobNumber, QStringLiteral("F-1"));
    settings.write(keys::JointNumber, 1);
    settings.write(keys::EmployeeId, QStringLiteral("E1"));
    settings.write(keys::MachineModelText, QStringLiteral("ZA2 HF"));
    settings.write(keys::PistonArea, QStringLiteral("4.71"));
    settings.write(keys::PipeAreaInch, QStringLiteral("20.5"));
    for (auto key : {keys::HeatIfp, keys::FuseIfp, keys::CoolIfp})
        settings.write(key, QStringLiteral("75"));
    settings.write(keys::SoakIfp, QStringLiteral("0"));
    settings.write(keys::DragPressure, QStringLiteral("30 psi"));
    ProgramState state;
    state.currentMachineModelText = settings.read(keys::MachineModelText);
    OperatorPrompter prompter;
    NextEveryPage pages;

    CLogStatusDlg dialog({settings, state, prompter}, args[1]);
    dialog.setSetupPages(&pages);
    dialog.show();
    dialog.connectButton()->click();
    if (!waitFor([&] { return dialog.cycle().link() != LoggingCycle::Link::NotConnected; }, 5000)) {
        std::fprintf(stderr, "link_driver: the port did not open\n");
        return 1;
    }
    const auto ended = [&] {
        return !dialog.isVisible() || !dialog.cycle().incompleteReason().isEmpty() ||
               !dialog.cycle().polling();
    };
    if (setUp) {
        if (!waitFor([&] { return dialog.setupButton()->isEnabled(); }, 5000)) return 1;
        dialog.setupButton()->click();
        const QString interrupted = QString::fromUtf8(LoggingCycle::kSetUpInterrupted);
        waitFor(
            [&] {
                return dialog.statusText()->text() == interrupted ||
                       dialog.cycle().link() == LoggingCycle::Link::Logging || ended();
            },
            20000);
        if (dialog.statusText()->text() == interrupted) {
            std::printf("interrupted\n");
            // "Setup..." is enabled again with the next status poll.
            waitFor([&] { return dialog.setupButton()->isEnabled(); }, 5000);
            dialog.setupButton()->click();
        }
    }
    if (!waitFor(ended, 120000)) {
        std::fprintf(stderr, "link_driver: no outcome: %s\n",
                     qPrintable(dialog.statusText()->text()));
        return 1;
    }
    if (!dialog.cycle().incompleteReason().isEmpty()) {
        std::printf("incomplete %s\n", qPrintable(dialog.cycle().incompleteReason()));
    }
    if (dialog.isVisible()) dialog.reject();
    if (!state.currentReportPath.isEmpty()) {
        std::printf("report %s\n", qPrintable(state.currentReportPath));
    }
    return 0;
}
