// Every set-up page can be gone through from the keyboard: it opens with the keyboard in its
// first box, that box's text selected so that typing replaces it, Enter goes on to the next page,
// and the page is wide enough to show its whole caption in a title bar.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <functional>
#include <memory>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "ui/setup/drag_pressure_dlg.h"
#include "ui/setup/fitting_size_dlg.h"
#include "ui/setup/heater_temp_dlg.h"
#include "ui/setup/machine_dlg.h"
#include "ui/setup/notes_dlg.h"
#include "ui/setup/operator_id_dlg.h"
#include "ui/setup/pipe_area_dlg.h"
#include "ui/setup/pipe_dlg.h"
#include "ui/setup/ready_to_log_dlg.h"
#include "ui/setup/rec_pressure_dlg.h"

namespace vr5 {
namespace {

// What is selected in a box, and all of its text.
std::pair<QString, QString> selectionOf(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) return {line->selectedText(), line->text()};
    if (auto* text = qobject_cast<QPlainTextEdit*>(box))
        return {text->textCursor().selection().toPlainText(), text->toPlainText()};
    return {};
}

// A caption in a bold title-bar font, at least as large as the program's own, and the room a
// window manager's icon and buttons take beside it.
int captionRoom(const QString& caption) {
    QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    QFont own = QApplication::font();
    title.setBold(true);
    own.setBold(true);
    return std::max(QFontMetrics(title).horizontalAdvance(caption),
                    QFontMetrics(own).horizontalAdvance(caption)) +
           150;
}

TEST(SetupPageKeyboard, EveryPageOpensInItsFirstBoxAndShowsItsWholeCaption) {
    MemorySettingsStore settings;
    settings.write(keys::MachineId, QStringLiteral("M-1"));
    settings.write(keys::EmployeeId, QStringLiteral("E7"));
    settings.write(keys::JobNumber, QStringLiteral("J-44"));
    settings.write(keys::PipeSize, QStringLiteral("6"));
    settings.write(keys::WallThickness, QStringLiteral("11"));
    for (auto key : {keys::HeatIfp, keys::SoakIfp, keys::FuseIfp, keys::CoolIfp})
        settings.write(key, QStringLiteral("75"));
    settings.write(keys::FittingMainSize, QStringLiteral("2"));
    settings.write(keys::FittingOutletSize, QStringLiteral("1"));
    settings.write(keys::FittingHeatPressure, QStringLiteral("150"));
    settings.write(keys::FittingFusePressure, QStringLiteral("90"));
    settings.write(keys::Notes, QStringLiteral("Joint OK\r\nSecond line"));
    settings.write(keys::PipeAreaZx, QStringLiteral("20.5"));
    ProgramState state;
    state.currentMachineModelText = QStringLiteral("ZA1 HF");
    test::ScriptedPrompter prompter;
    const SetupContext context{settings, state, prompter};

    using Make = std::function<std::unique_ptr<QDialog>()>;
    // The box the page opens in; "Next >>" where the page has none.
    using First = std::function<QWidget*(QDialog&)>;
    struct Case {
        const char* name;
        Make make;
        First first;
        bool enterGoesOn;  // Enter in the first box closes the page with "Next >>"
    };
    const auto next = [](QDialog& d) -> QWidget* {
        return static_cast<SetupPageDialog&>(d).nextButton();
    };
    const Case cases[] = {
        {"Machine", [&] { return std::make_unique<CMachineDlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<CMachineDlg&>(d).idBox(); }, true},
        {"Operator", [&] { return std::make_unique<COperatorIDdlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<COperatorIDdlg&>(d).idBox(); }, true},
        {"Pipe", [&] { return std::make_unique<CPipeDlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<CPipeDlg&>(d).materialBox(); }, true},
        {"Pipe Area", [&] { return std::make_unique<CPipeAreaDlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<CPipeAreaDlg&>(d).areaBox(); }, true},
        {"Fitting", [&] { return std::make_unique<CFittingSizeDlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<CFittingSizeDlg&>(d).materialBox(); },
         true},
        // Enter starts a new line in the notes.
        {"Notes", [&] { return std::make_unique<CNotesDlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<CNotesDlg&>(d).notesBox(); }, false},
        // Enter on the empty box puts the default drag pressure in it first.
        {"Drag Pressure", [&] { return std::make_unique<CDragPressureDlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<CDragPressureDlg&>(d).dragBox(); }, false},
        {"Recommended Gauge Pressures", [&] { return std::make_unique<CRecPressureDlg>(context); },
         next, true},
        {"Heater Temperature", [&] { return std::make_unique<CHeaterTempDlg>(context); },
         [](QDialog& d) -> QWidget* { return static_cast<CHeaterTempDlg&>(d).temperatureBox(); },
         true},
        {"Ready to Log", [&] { return std::make_unique<CReadyToLogDlg>(context); }, next, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<QDialog> page = c.make();
        page->show();
        QWidget* first = c.first(*page);
        EXPECT_EQ(page->focusWidget(), first);
        const auto [selected, text] = selectionOf(first);
        EXPECT_EQ(selected, text);
        if (auto* setupPage = qobject_cast<SetupPageDialog*>(page.get())) {
            EXPECT_TRUE(setupPage->nextButton()->isDefault());
            EXPECT_GE(page->width(), captionRoom(page->windowTitle()))
                << page->windowTitle().toStdString();
        }

        QTest::keyClick(first, Qt::Key_Return);
        EXPECT_EQ(page->isVisible(), !c.enterGoesOn);
        if (c.enterGoesOn) {
            EXPECT_EQ(page->result(), QDialog::Accepted);
        }
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

// Typing into a page as it opens replaces what it remembered.
TEST(SetupPageKeyboard, TypingReplacesTheRememberedText) {
    MemorySettingsStore settings;
    settings.write(keys::EmployeeId, QStringLiteral("E7"));
    settings.write(keys::Notes, QStringLiteral("Old note"));
    ProgramState state;
    test::ScriptedPrompter prompter;
    const SetupContext context{settings, state, prompter};

    COperatorIDdlg operatorPage(context);
    operatorPage.show();
    QTest::keyClicks(operatorPage.focusWidget(), "Smith");
    QTest::keyClick(operatorPage.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(operatorPage.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::EmployeeId), "Smith");

    CNotesDlg notesPage(context);
    notesPage.show();
    QTest::keyClicks(notesPage.focusWidget(), "New note");
    notesPage.nextButton()->click();
    EXPECT_EQ(settings.read(keys::Notes), "New note");
}

}  // namespace
}  // namespace vr5
