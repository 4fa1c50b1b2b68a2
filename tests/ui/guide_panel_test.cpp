#include "ui/logger/guide_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTest>

#include "report/report_strings.h"
#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "ui/logger/log_status_dlg.h"
#include "unit/logger/logger_lines.h"

// The live guide beside Log/Status: its box, what it shows as the replies come, and that the
// window without it is the window it always was.
namespace vr5 {
namespace {

QImage shot(QWidget& w) {
    QApplication::processEvents();
    return w.grab().toImage();
}

// Pixels that differ between two pictures of the same size, outside `skip`.
int differingPixels(const QImage& a, const QImage& b, const QRect& skip = {}) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (skip.contains(x, y)) continue;
            if (a.pixel(x, y) != b.pixel(x, y)) ++count;
        }
    }
    return count;
}

TEST(LogStatusGuide, TheBoxIsRememberedAndUntickedLeavesTheWindowAsItWas) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    const QString folder = QDir::tempPath() + QStringLiteral("/never-written");
    {
        CLogStatusDlg dialog({settings, state, prompter}, folder);
        dialog.show();
        EXPECT_EQ(dialog.guideBox()->text(), "Guide");
        EXPECT_FALSE(dialog.guideBox()->isChecked()) << "off until the operator ticks it";
        EXPECT_FALSE(dialog.guidePanel()->isVisible());
        const QImage before = shot(dialog);

        // Without the box the window is pixel for pixel what it is with the box unticked,
        // apart from where the box sits.
        const QRect box = dialog.guideBox()->geometry();
        dialog.guideBox()->hide();
        EXPECT_EQ(differingPixels(before, shot(dialog), box), 0);
        dialog.guideBox()->show();

        dialog.guideBox()->click();
        QApplication::processEvents();
        EXPECT_TRUE(dialog.guidePanel()->isVisible());
        EXPECT_GT(dialog.width(), before.width() / dialog.devicePixelRatio() + 400);
        EXPECT_EQ(settings.read(keys::GuideShown, 0), 1);

        dialog.guideBox()->click();
        EXPECT_EQ(differingPixels(before, shot(dialog)), 0) << "unticked again, as it was";
        EXPECT_EQ(settings.read(keys::GuideShown, 1), 0);
    }
    settings.write(keys::GuideShown, 1);
    CLogStatusDlg again({settings, state, prompter}, folder);
    again.show();
    QApplication::processEvents();
    EXPECT_TRUE(again.guideBox()->isChecked());
    EXPECT_TRUE(again.guidePanel()->isVisible());
}

class GuidePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A 110 mm pipe with a 10 mm wall under ISO 21307: soak at least 2:00, cooling 13:00.
        settings.write(keys::EvaluationProcedure, QStringLiteral("iso-21307-slp"));
        settings.write(keys::MachineModelText, QStringLiteral("ZA2 HF"));
        settings.write(keys::PipeSize, QStringLiteral("110"));
        settings.write(keys::PipeSizeUnit, 3);
        settings.write(keys::WallThickness, QStringLiteral("10"));
        settings.write(keys::WallThicknessUnit, 2);
        settings.write(keys::RecHeat, QStringLiteral("337"));
        settings.write(keys::RecSoak, QStringLiteral("30"));
        settings.write(keys::RecFuse, QStringLiteral("337"));
        settings.write(keys::DragPressure, QStringLiteral("30 psi"));
        settings.write(keys::GuideSound, 0);
    }

    // The pressure of the joint `seconds` into it: bead-up, soak, open, build-up, cooling and
    // the release.
    static int pressureAt(double s) {
        if (s < 2) return 30;
        if (s < 32) return 337;
        if (s < 162) return 30;
        if (s < 167) return 0;
        if (s < 170) return static_cast<int>((s - 167) / 3 * 337);
        if (s < 1000) return 337;
        return 0;
    }

    void reply(GuidePanel& panel, double seconds, char logging = '1') {
        test::StatusFields f;
        f.logging = logging;
        f.samples = static_cast<int>(seconds * 5);
        f.pressure = pressureAt(seconds);
        const auto parsed = protocol::parseStatusReply(test::statusLine(f));
        ASSERT_TRUE(parsed);
        panel.reply(*parsed);
    }

    void run(GuidePanel& panel, double from, double to) {
        for (double t = from; t < to; t += 0.4) reply(panel, t);
    }

    MemorySettingsStore settings;
};

TEST_F(GuidePanelTest, FollowsTheJointAndCuesTheOperator) {
    GuidePanel panel(settings);
    panel.show();
    EXPECT_EQ(panel.phaseLine()->text(), "The guide follows the joint once logging starts.");

    run(panel, 0, 100);
    EXPECT_TRUE(panel.phaseLine()->text().startsWith(QString::fromUtf8("Heat soak 1:0")))
        << panel.phaseLine()->text().toStdString();
    EXPECT_TRUE(panel.phaseLine()->styleSheet().contains(QStringLiteral("#eeeeee")));
    EXPECT_TRUE(panel.endedLine()->text().startsWith(QStringLiteral("Bead-up lasted")));
    EXPECT_TRUE(panel.cues().isEmpty());

    run(panel, 100, 155);
    ASSERT_EQ(panel.cues(), QList<GuideCue>{GuideCue::OpenNow});
    EXPECT_EQ(panel.cueLine()->text(), guideCueText(GuideCue::OpenNow));
    EXPECT_TRUE(panel.phaseLine()->styleSheet().contains(QStringLiteral("#fff176")))
        << "the phase line flashes with the cue";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return panel.phaseLine()->styleSheet().contains(QStringLiteral("#c8e6c9")); }, 3000))
        << "then shows the soak met";

    run(panel, 155, 1010);
    EXPECT_EQ(panel.cues(), (QList<GuideCue>{GuideCue::OpenNow, GuideCue::ReleaseNow}));
    EXPECT_TRUE(panel.guide()->now().released);
    QStringList texts;
    for (const PageItem& item : panel.plot()->drawing().items) {
        if (const auto* text = std::get_if<TextItem>(&item)) texts << text->text;
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Bead/Fuse 337"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Soak 30")));

    // The logger finishes; the next joint starts the guide afresh.
    const size_t replies = panel.guide()->times().size();
    reply(panel, 1010, '2');
    EXPECT_EQ(panel.guide()->times().size(), replies) << "kept on show while the run waits";
    reply(panel, 1, '1');
    EXPECT_EQ(panel.guide()->times().size(), 1u);
    EXPECT_FALSE(panel.guide()->now().phase);
    // A run whose time goes back while logging (the logger restarted) starts afresh too.
    run(panel, 1.4, 60);
    reply(panel, 0.4);
    EXPECT_EQ(panel.guide()->times().size(), 1u);
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

// In demo mode the logger plays the demo pressures back as its readings: the guide follows them
// like any others, and its plot carries the demo mark as a demo report's plots do.
TEST_F(GuidePanelTest, DemoPressuresDriveTheGuide) {
    settings.write(keys::DemoMode, 1);
    GuidePanel panel(settings);
    run(panel, 0, 40);
    ASSERT_TRUE(panel.guide()->now().phase);
    EXPECT_EQ(*panel.guide()->now().phase, Phase::HeatSoak);
    QStringList texts;
    for (const PageItem& item : panel.plot()->drawing().items) {
        if (const auto* text = std::get_if<TextItem>(&item)) texts << text->text;
    }
    EXPECT_TRUE(texts.contains(QString::fromUtf8(str::kDemo))) << texts.join(u'|').toStdString();
}

}  // namespace
}  // namespace vr5
