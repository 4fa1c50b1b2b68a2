#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "emulator_process.h"
#include "evaluation/job_summary.h"
#include "settings/settings_keys.h"
#include "ui/logger/guide_panel.h"
#include "ui/logger/guide_summary_dlg.h"
#include "ui/logger/log_status_dlg.h"

// The live guide while the emulator logs a joint at a raised time scale: the phase line goes
// through the joint's phases in order, and once the run is downloaded the guide's phase times
// agree with the evaluation of the report within one poll period.
namespace vr5 {
namespace {

class YesToAll final : public Prompter {
public:
    void show(const QString&, const QString&, Icon) override {}
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons buttons, Icon) override {
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
};

class NextEveryPage final : public SetupPages {
public:
    Result showPage(int) override { return Result::Next; }
};

TEST(GuideE2eTest, ThePhaseLineFollowsTheJointAndAgreesWithTheReport) {
    test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({"--time-scale", "4", "--joint-seconds", "100"}));
    QTemporaryDir folder;
    MemorySettingsStore settings;
    ProgramState state;
    YesToAll prompter;
    settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
    settings.write(keys::MachineModelText, QStringLiteral("ZA2 HF"));
    settings.write(keys::PistonArea, QStringLiteral("4.71"));
    settings.write(keys::PipeAreaInch, QStringLiteral("20.5"));
    for (auto key : {keys::HeatIfp, keys::FuseIfp, keys::CoolIfp})
        settings.write(key, QStringLiteral("75"));
    settings.write(keys::SoakIfp, QStringLiteral("0"));
    settings.write(keys::DragPressure, QStringLiteral("30 psi"));
    settings.write(keys::GuideShown, 1);
    settings.write(keys::GuideSound, 0);
    state.currentMachineModelText = settings.read(keys::MachineModelText);

    QWidget mainWindow;
    auto* dialog = new CLogStatusDlg({settings, state, prompter}, folder.path(), &mainWindow);
    NextEveryPage pages;
    dialog->setSetupPages(&pages);
    dialog->show();
    ASSERT_TRUE(dialog->guideBox()->isChecked());

    // What the operator reads on the phase line, each phase once as it comes.
    QStringList seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString line = dialog->guidePanel()->phaseLine()->text();
        for (const char* name :
             {"Bead-up", "Heat soak", "Changeover", "Pressure build-up", "Cooling"}) {
            if (line.startsWith(QString::fromLatin1(name) + u' ') &&
                (seen.isEmpty() || seen.back() != QString::fromLatin1(name)))
                seen << QString::fromLatin1(name);
        }
    });
    watch.start(20);

    dialog->connectButton()->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return dialog->cycle().link() == LoggingCycle::Link::Connected; }, 5000));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !dialog->pressureReading()->text().isEmpty(); }, 5000));
    dialog->setupButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 60000))
        << dialog->statusText()->text().toStdString() << emulator.log().toStdString();
    watch.stop();

    EXPECT_EQ(seen,
              (QStringList{"Bead-up", "Heat soak", "Changeover", "Pressure build-up", "Cooling"}));

    // The closing summary, and the same comparison made here from the report itself.
    const QString report = dialog->cycle().downloadedPath();
    ASSERT_FALSE(report.isEmpty());
    auto* summary = mainWindow.findChild<GuideSummaryDlg*>(QStringLiteral("GuideSummary"));
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->isVisible());
    EXPECT_TRUE(summary->verdictText().startsWith(QStringLiteral("The guide and the report agree")))
        << summary->verdictText().toStdString();

    const LiveGuide& guide = *dialog->guidePanel()->guide();
    JointReader reader;
    ASSERT_EQ(reader.open(report), JointReader::Opened::Report) << reader.message().toStdString();
    const ProcedureLoad load = chooseProcedure(QString(), settings);
    ASSERT_TRUE(load.procedure);
    const Evaluation evaluation = evaluateJoint(reader.record(), *load.procedure);
    const double poll = guide.pollPeriodS();
    EXPECT_GT(poll, 0.8);  // 300 ms at four times real time
    EXPECT_LT(poll, 1.6);
    for (const PhaseEvent& e : guide.tracker().events()) {
        const auto& span = evaluation.phases[static_cast<size_t>(e.phase)];
        ASSERT_TRUE(span) << phaseKey(e.phase).toStdString();
        EXPECT_NEAR(e.startS, span->startS, poll) << phaseKey(e.phase).toStdString();
    }
    for (const GuideSummaryRow& row : guideSummary(guide, evaluation, poll)) {
        EXPECT_TRUE(row.agrees) << phaseKey(row.phase).toStdString() << ": "
                                << row.guideS.value_or(-1) << " against "
                                << row.reportS.value_or(-1);
    }
}

}  // namespace
}  // namespace vr5
