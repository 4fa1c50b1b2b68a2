#include "ui/setup/drag_pressure_dlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"

namespace vr5 {
namespace {

TEST(DragPressureDialog, EmptyBoxGetsTheDefaultThenStores) {
    MemorySettingsStore settings;
    settings.write(keys::PressUnitInx, 3);
    ProgramState state;
    RefreshUnitLabels(settings, state);
    test::ScriptedPrompter prompter;
    CDragPressureDlg dialog({settings, state, prompter});
    EXPECT_EQ(dialog.windowTitle(), "Drag Pressure (Default 0.21 MPa)");
    EXPECT_EQ(dialog.shift(), QPoint(30, 90));
    EXPECT_TRUE(dialog.promptLabel()->text().startsWith("Follow proper procedure"));

    dialog.show();
    const QPoint opened = dialog.pos();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.pos(), opened + QPoint(30, 90));

    QTest::keyClick(dialog.dragBox(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.dragBox()->text(), "0.21");
    EXPECT_TRUE(settings.read(keys::DragPressure).isEmpty());
    QTest::keyClick(dialog.dragBox(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::DragPressure), "0.21 MPa");
}

}  // namespace
}  // namespace vr5
