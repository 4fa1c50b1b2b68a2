#include "ui/setup/rec_pressure_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(RecPressureDialog, ShowsWhatItStoredAndBackKeepsIt) {
    MemorySettingsStore settings;
    ProgramState state;
    state.currentMachineModelText = QStringLiteral("ZG Mech.");
    settings.write(keys::FittingHeatPressure, QStringLiteral("150"));
    settings.write(keys::FittingFusePressure, QStringLiteral("90"));
    test::ScriptedPrompter prompter;
    CRecPressureDlg dialog({settings, state, prompter});
    EXPECT_EQ(dialog.windowTitle(), "Recommended Gauge Pressures");
    EXPECT_EQ(dialog.shift(), QPoint(50, 90));
    EXPECT_EQ(dialog.phaseLabel()->text(), "Bead:\nSoak:\nFuse:\nCool:");
    EXPECT_EQ(dialog.pressureLabel()->text(), "150\n-----\n90\n-----");
    for (const QLabel* label : {dialog.phaseLabel(), dialog.pressureLabel()}) {
        EXPECT_EQ(label->font().family(), "Tahoma");
        EXPECT_EQ(label->font().pixelSize(), 24);
        EXPECT_TRUE(label->font().bold());
    }

    dialog.show();
    dialog.backButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings.read(keys::RecHeat), "150");
    EXPECT_EQ(settings.read(keys::RecSoak), "-----");
    EXPECT_EQ(settings.read(keys::DemoPsi3, -1), 90);
    EXPECT_EQ(settings.read(keys::DemoPsiInx, -1), 1);

    CRecPressureDlg again({settings, state, prompter});
    again.show();
    QTest::keyClick(&again, Qt::Key_Return);
    EXPECT_EQ(again.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace vr5
