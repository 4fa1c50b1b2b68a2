#include "ui/setup/setup_pages.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "ui/setup/ready_to_log_dlg.h"

namespace vr5 {
namespace {

using Result = SetupPages::Result;

TEST(DialogSetupPages, ShowsEachPageAsItsDialog) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    QWidget window;
    DialogSetupPages pages({settings, state, prompter}, &window);
    enum class Close { Next, Back, Cancel };
    struct Case {
        int index;
        const char* model;
        Close close;
        const char* dialog;
        Result result;
    } cases[] = {
        {0, "ZA1 HF", Close::Back, "vr5::CMachineDlg", Result::Back},
        {1, "ZA1 HF", Close::Back, "vr5::COperatorIDdlg", Result::Back},
        {2, "ZA1 HF", Close::Back, "vr5::CPipeDlg", Result::Back},
        {2, "ZG Mech.", Close::Back, "vr5::CFittingSizeDlg", Result::Back},
        {3, "ZA1 HF", Close::Next, "vr5::CNotesDlg", Result::Next},
        {4, "ZA1 HF", Close::Back, "vr5::CDragPressureDlg", Result::Back},
        {5, "ZA1 HF", Close::Next, "vr5::CRecPressureDlg", Result::Next},
        {6, "ZA1 HF", Close::Back, "vr5::CHeaterTempDlg", Result::Back},
        {7, "ZA1 HF", Close::Next, "vr5::CReadyToLogDlg", Result::Next},
        {7, "ZA1 HF", Close::Back, "vr5::CReadyToLogDlg", Result::Back},
        {7, "ZA1 HF", Close::Cancel, "vr5::CReadyToLogDlg", Result::Leave},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        state.currentMachineModelText = QString::fromLatin1(c.model);
        QString shown;
        QWidget* parent = nullptr;
        QTimer::singleShot(0, &window, [&] {
            QDialog* page = pages.openPage();
            ASSERT_NE(page, nullptr);
            shown = QString::fromLatin1(page->metaObject()->className());
            parent = page->parentWidget();
            switch (c.close) {
                case Close::Next:
                    page->accept();
                    break;
                case Close::Back:
                    page->reject();
                    break;
                case Close::Cancel:
                    qobject_cast<CReadyToLogDlg*>(page)->cancelButton()->click();
                    break;
            }
        });
        EXPECT_EQ(pages.showPage(c.index), c.result);
        EXPECT_EQ(shown, c.dialog);
        EXPECT_EQ(parent, &window);
        EXPECT_EQ(pages.openPage(), nullptr);
    }
    // No page beyond the last one.
    EXPECT_EQ(pages.showPage(8), Result::Leave);
}

}  // namespace
}  // namespace vr5
