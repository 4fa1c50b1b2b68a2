// The set-up pages whose boxes feed the gauge pressures refuse a box without a number: they stay
// open with the box in hand, its text selected for typing over, and keep nothing.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"
#include "setup/machine_catalogue.h"
#include "ui/setup/drag_pressure_dlg.h"
#include "ui/setup/machine_dlg.h"
#include "ui/setup/pipe_area_dlg.h"
#include "ui/setup/pipe_dlg.h"

namespace vr5 {
namespace {

struct Page {
    const char* name;
    std::function<std::unique_ptr<QDialog>(SetupContext)> open;
    std::function<QLineEdit*(QDialog*)> box;
    const char* message;
    StringKey key;
    const char* stored;  // after the refused text is typed over with 45
};

template <typename Dlg>
std::function<std::unique_ptr<QDialog>(SetupContext)> opener() {
    return [](SetupContext c) { return std::make_unique<Dlg>(c); };
}

TEST(GaugeRefusalDialogs, ABoxWithoutANumberKeepsThePageOpenOnThatBox) {
    const Page pages[] = {
        {"drag", opener<CDragPressureDlg>(),
         [](QDialog* d) { return static_cast<CDragPressureDlg*>(d)->dragBox(); },
         "Drag pressure \"abc\" is not a number.", keys::DragPressure, "45 psi"},
        {"soak", opener<CPipeDlg>(),
         [](QDialog* d) { return static_cast<CPipeDlg*>(d)->soakBox(); },
         "Soak pressure \"abc\" is not a number.", keys::SoakIfp, "45"},
        {"piston", opener<CMachineDlg>(),
         [](QDialog* d) { return static_cast<CMachineDlg*>(d)->pistonAreaBox(); },
         "Piston area \"abc\" is not a number.", keys::PistonArea, "45"},
        {"pipe area", opener<CPipeAreaDlg>(),
         [](QDialog* d) { return static_cast<CPipeAreaDlg*>(d)->areaBox(); },
         "Pipe area \"abc\" is not a number.", keys::PipeAreaZx, "45"},
    };
    for (const Page& p : pages) {
        SCOPED_TRACE(p.name);
        MemorySettingsStore settings;
        // A machine of one's own and a pipe whose area can be worked out.
        settings.write(keys::MachineModelInx, unlistedMachineIndex());
        settings.write(keys::MachineModelText, QStringLiteral("Shop press"));
        settings.write(keys::PistonArea, QStringLiteral("4.71"));
        settings.write(keys::PipeSize, QStringLiteral("6"));
        settings.write(keys::WallThickness, QStringLiteral("11"));
        for (auto key : {keys::HeatIfp, keys::SoakIfp, keys::FuseIfp, keys::CoolIfp})
            settings.write(key, QStringLiteral("75"));
        ProgramState state;
        RefreshUnitLabels(settings, state);
        test::ScriptedPrompter prompter;
        const auto before = settings.values();

        std::unique_ptr<QDialog> dialog = p.open({settings, state, prompter});
        dialog->show();
        QLineEdit* box = p.box(dialog.get());
        box->setText(QStringLiteral("abc"));
        QTest::keyClick(box, Qt::Key_Return);  // Enter is "Next >>" (OK)

        EXPECT_EQ(prompter.messages, QStringList{p.message});
        EXPECT_EQ(prompter.captions, QStringList{"Error"});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(settings.values(), before);
        EXPECT_EQ(dialog->focusWidget(), box);
        EXPECT_EQ(box->selectedText(), "abc");

        // Typing replaces it; the page takes the number.
        QTest::keyClicks(box, "45");
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(settings.read(p.key), p.stored);
    }
}

}  // namespace
}  // namespace vr5
