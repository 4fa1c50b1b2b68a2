#include "ui/main_frame.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "page/page_drawing.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/about_dlg.h"
#include "ui/logger/log_status_dlg.h"
#include "ui/settings/settings_dlg.h"
#include "ui/vr5xp_view.h"
#include "ui_support.h"

namespace vr5 {
namespace {

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        frame = std::make_unique<CMainFrame>(settings, prompter);
    }

    QMenu* menu(const QString& title) const {
        for (QAction* a : frame->menuBar()->actions()) {
            if (a->text() == title) return a->menu();
        }
        return nullptr;
    }

    // Texts of a menu's visible entries, "-" for a separator.
    static QStringList entries(const QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                list << QStringLiteral("-");
            else if (a->isVisible())
                list << a->text();
        }
        return list;
    }

    // Shows the frame and lets it paint, so that what follows a paint has happened.
    void paint() {
        frame->show();
        frame->view().viewport()->repaint();
        QApplication::processEvents();
    }

    bool drawingHasText(const QString& text) const {
        for (const PageItem& item : frame->view().drawing().items) {
            if (const auto* t = std::get_if<TextItem>(&item); t && t->text == text) return true;
        }
        return false;
    }

    QTemporaryDir dir;
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, MenusHoldEveryCommandInOrder) {
    ASSERT_NE(menu(QStringLiteral("&File")), nullptr);
    const QStringList fileMenu{"&Log/Status...",
                               "-",
                               "&Open...",
                               "&Print...",
                               "Print Pre&view",
                               "P&rint Setup...",
                               "Print &Many...",
                               "&Evaluate Many...",
                               "&Archive...",
                               "-",
                               "Sen&d...",
                               "-",
                               "Analyze...",
                               "-",
                               "Recent File",
                               "-",
                               "Append Notes...",
                               "-",
                               "&Settings...",
                               "-",
                               "E&xit"};
    EXPECT_EQ(entries(menu(QStringLiteral("&File"))), fileMenu);
    EXPECT_EQ(entries(menu(QStringLiteral("&View"))),
              (QStringList{"&Toolbar", "&Evaluation", "-", "Zoom &In", "Zoom &Out", "&Actual Size",
                           "Fit &Width"}));
    EXPECT_EQ(entries(menu(QStringLiteral("&Help"))),
              (QStringList{"&User Guide", "-", "&About VR5-XP..."}));

    const struct {
        Command id;
        QKeySequence key;
    } keys[] = {
        {Command::Open, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {Command::Print, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {Command::New, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {Command::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {Command::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus)},
        {Command::ActualSize, QKeySequence(Qt::CTRL | Qt::Key_0)},
        {Command::UserGuide, QKeySequence(Qt::Key_F1)},
    };
    for (const auto& k : keys) EXPECT_EQ(frame->action(k.id)->shortcut(), k.key);
    EXPECT_EQ(frame->action(Command::LogStatus)->statusTip(),
              "Setup to log a joint or check probe status");
    EXPECT_EQ(frame->action(Command::AppendNotes)->statusTip(),
              "Append notes to joint report.  Notes appended cannot be changed or deleted.");
}

TEST_F(MainFrameTest, ToolbarHasButtonsTipsAndTheSearchRangeBox) {
    auto* bar = frame->findChild<QToolBar*>(QStringLiteral("toolbar"));
    ASSERT_NE(bar, nullptr);
    QStringList layout;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            layout << QStringLiteral("-");
        else if (bar->widgetForAction(a) == frame->searchRangeBox())
            layout << QStringLiteral("[range]");
        else if (auto* label = qobject_cast<QLabel*>(bar->widgetForAction(a)))
            layout << label->text();
        else
            layout << a->toolTip();
    }
    // The box is named, so that nobody takes it for the page's zoom.
    EXPECT_EQ(layout, (QStringList{"Log/Status", "-", "Open", "-", "Search range:", "[range]", "-",
                                   "Print", "-", "Append Notes", "-", "About"}));

    QComboBox* box = frame->searchRangeBox();
    ASSERT_EQ(box->count(), 20);
    EXPECT_EQ(box->itemText(0), "5%");
    EXPECT_EQ(box->itemText(9), "50%");
    EXPECT_EQ(box->itemText(19), "100%");
    EXPECT_EQ(box->currentText(), "100%");
}

TEST_F(MainFrameTest, OpeningAReportShowsItAndRemembersIt) {
    const QString first = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const QString second = test::writeFixture(dir, QStringLiteral("demo"));
    EXPECT_FALSE(frame->action(Command::Analyze)->isEnabled());
    EXPECT_FALSE(frame->action(Command::AppendNotes)->isEnabled());

    ASSERT_TRUE(frame->openFile(first));
    EXPECT_TRUE(prompter.messages.isEmpty()) << qPrintable(prompter.messages.join('\n'));
    EXPECT_EQ(frame->windowTitle(), "plain_hydraulic.tjr - Tarnell VR5-XP");
    EXPECT_TRUE(frame->action(Command::Analyze)->isEnabled());
    EXPECT_TRUE(frame->action(Command::AppendNotes)->isEnabled());
    EXPECT_TRUE(drawingHasText(QStringLiteral("Tarnell Joint Report (VR5)")));

    ASSERT_TRUE(frame->openFile(second));
    EXPECT_EQ(settings.read(keys::RecentFile1), second);
    EXPECT_EQ(settings.read(keys::RecentFile2), first);
    const QList<QAction*> recent = frame->recentFileActions();
    EXPECT_TRUE(recent[0]->isVisible());
    EXPECT_TRUE(recent[0]->text().startsWith("&1 "));
    EXPECT_TRUE(recent[0]->text().endsWith("demo.tjr"));
    EXPECT_FALSE(recent[2]->isVisible());

    // The recent entry opens its report again.
    recent[1]->trigger();
    EXPECT_EQ(frame->document().path(), first);
    EXPECT_EQ(settings.read(keys::RecentFile1), first);
}

TEST_F(MainFrameTest, AFileThatCannotBeReadKeepsTheReportShown) {
    const QString report = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    ASSERT_TRUE(frame->openFile(report));
    const QString missing = dir.filePath(QStringLiteral("gone.tjr"));
    settings.write(keys::RecentFile2, missing);

    EXPECT_FALSE(frame->openFile(missing));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].contains("does not exist"))
        << qPrintable(prompter.messages[0]);
    EXPECT_EQ(frame->document().path(), report);
    EXPECT_TRUE(frame->document().hasReport());
    EXPECT_EQ(frame->windowTitle(), "plain_hydraulic.tjr - Tarnell VR5-XP");
    // A file that is gone leaves the recent list.
    EXPECT_EQ(settings.read(keys::RecentFile1), report);
    EXPECT_EQ(settings.read(keys::RecentFile2), QString());
}

TEST_F(MainFrameTest, ADamagedReportIsShownWithOneMessage) {
    const QString damaged = test::writeFixture(dir, QStringLiteral("damaged_truncated"));
    EXPECT_TRUE(frame->openFile(damaged));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].contains("is damaged")) << qPrintable(prompter.messages[0]);
    EXPECT_TRUE(frame->document().hasReport());
    EXPECT_TRUE(drawingHasText(QStringLiteral("Tarnell Joint Report (VR5)")));
}

TEST_F(MainFrameTest, SearchRangeRedecodesAndLoadingPutsItBackToFull) {
    const QString report = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    ASSERT_TRUE(frame->openFile(report));
    paint();
    const int fullRangeRemoval = frame->document().record().heaterRemoval;

    QComboBox* box = frame->searchRangeBox();
    box->setCurrentIndex(5);
    Q_EMIT box->activated(5);  // as when the operator picks "30%"
    EXPECT_EQ(frame->document().record().searchRangePercent, 30);
    EXPECT_TRUE(drawingHasText(QStringLiteral("Front-end Plot (30% search range)")));
    EXPECT_NE(frame->document().record().heaterRemoval, fullRangeRemoval);

    ASSERT_TRUE(frame->openFile(report));
    paint();
    EXPECT_EQ(box->currentText(), "100%");
    EXPECT_EQ(frame->document().record().searchRangePercent, 100);
}

// "--search-range P" on the command line: the window opens with the report decoded that way and
// the box saying so, not reset to 100% by the first paint.
TEST_F(MainFrameTest, SearchRangeGivenAtStartIsAppliedAndShown) {
    const QString report = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    QComboBox* box = frame->searchRangeBox();
    const struct {
        int percent;
        int entry;
        const char* shown;
    } cases[] = {{30, 5, "30%"}, {33, -1, "33%"}, {100, 19, "100%"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        ASSERT_TRUE(frame->openFile(report));
        frame->applySearchRange(c.percent);
        paint();
        EXPECT_EQ(frame->document().record().searchRangePercent, c.percent);
        EXPECT_EQ(box->currentIndex(), c.entry);
        EXPECT_EQ(c.entry < 0 ? box->placeholderText() : box->currentText(), c.shown);
        EXPECT_TRUE(
            drawingHasText(QStringLiteral("Front-end Plot (%1% search range)").arg(c.percent)));
    }
}

TEST_F(MainFrameTest, DroppingAFileOpensIt) {
    const QString report = test::writeFixture(dir, QStringLiteral("demo"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(report)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    QApplication::processEvents();
    EXPECT_EQ(frame->document().path(), report);
}

TEST_F(MainFrameTest, NewReturnsToTheStartPicture) {
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("demo"))));
    frame->action(Command::New)->trigger();
    EXPECT_FALSE(frame->document().hasReport());
    EXPECT_TRUE(frame->view().drawing().items.empty());
    EXPECT_EQ(frame->windowTitle(), "Tarnell VR5-XP");
    EXPECT_FALSE(frame->action(Command::Analyze)->isEnabled());
}

TEST_F(MainFrameTest, LogStatusOpensSettingsUntilAPortIsChosen) {
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("demo"))));
    settings.write(keys::MachineModelText, QStringLiteral("ZA2 HF"));

    // Closes the next modal dialog once it runs, pressing OK or Cancel, and tells which it was.
    auto closeNextDialog = [](bool ok, QString* caption) {
        QTimer::singleShot(0, [ok, caption] {
            auto* dialog = qobject_cast<CSettingsDlg*>(QApplication::activeModalWidget());
            *caption = dialog ? dialog->windowTitle() : QStringLiteral("(no Settings dialog)");
            if (!dialog) return;
            if (ok)
                dialog->okButton()->click();
            else
                dialog->cancelButton()->click();
        });
    };

    // No port chosen yet: Settings opens instead and the report stays selected. Cancel stores
    // nothing, so the next Log/Status opens Settings again.
    for (const bool ok : {false, true}) {
        QString opened;
        closeNextDialog(ok, &opened);
        frame->action(Command::LogStatus)->trigger();
        QApplication::processEvents();
        EXPECT_EQ(opened, "Settings") << ok;
        EXPECT_FALSE(frame->state().currentReportPath.isEmpty());
        EXPECT_TRUE(frame->action(Command::AppendNotes)->isEnabled());
        EXPECT_EQ(settings.read(keys::ComPort, -1), ok ? 5 : -1);
    }

    // OK stored a port: Log/Status now lets the report go and opens.
    QString logStatus;
    QTimer::singleShot(50, [&logStatus] {
        auto* dialog = qobject_cast<CLogStatusDlg*>(QApplication::activeModalWidget());
        logStatus = dialog ? dialog->windowTitle() : QStringLiteral("(no Log/Status dialog)");
        if (dialog) dialog->reject();
    });
    frame->action(Command::LogStatus)->trigger();
    QApplication::processEvents();
    QTest::qWait(100);
    EXPECT_EQ(logStatus, "Log/Status");
    EXPECT_TRUE(frame->state().currentReportPath.isEmpty());
    EXPECT_EQ(frame->state().currentMachineModelText, "ZA2 HF");
    // The earlier report is still on the screen, but notes and analysis wait for a new open.
    EXPECT_TRUE(frame->document().hasReport());
    EXPECT_FALSE(frame->action(Command::Analyze)->isEnabled());
    EXPECT_FALSE(frame->action(Command::AppendNotes)->isEnabled());
}

// Every enabled command does its work: Analyze and Append Notes open their dialogs over the
// report, and the page is the report's again afterwards.
TEST_F(MainFrameTest, AnalyzeAndAppendNotesOpenTheirDialogs) {
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("plain_hydraulic"))));
    const struct {
        Command command;
        const char* dialogClass;
    } cases[] = {{Command::Analyze, "vr5::CDlgAnalyzer"}, {Command::AppendNotes, "vr5::CRemarks"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(frame->action(c.command)->isEnabled());
        QString opened;
        bool analyzing = false;
        QTimer::singleShot(50, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            opened = dialog ? QString::fromLatin1(dialog->metaObject()->className()) : QString();
            analyzing = frame->document().analyzer().active;
            if (auto* d = qobject_cast<QDialog*>(dialog)) d->reject();
        });
        frame->action(c.command)->trigger();
        EXPECT_EQ(opened, QString::fromLatin1(c.dialogClass));
        EXPECT_EQ(analyzing, c.command == Command::Analyze);
        EXPECT_FALSE(frame->document().analyzer().active);
    }
}

TEST_F(MainFrameTest, SettingsCommandOpensTheSettingsDialog) {
    settings.write(keys::ComPort, 2);
    QString opened;
    int port = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CSettingsDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        opened = dialog->windowTitle();
        // The devices present on this machine come first in the list: choose by stored index.
        port = dialog->portIndexAt(dialog->portBox()->currentIndex());
        dialog->portBox()->setCurrentIndex(dialog->rowOfPortIndex(11));
        dialog->pressureUnits()->button(1)->click();
        dialog->temperatureUnits()->button(1)->click();
        dialog->okButton()->click();
    });
    frame->action(Command::Settings)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(opened, "Settings");
    EXPECT_EQ(port, 2);
    EXPECT_EQ(settings.read(keys::ComPort, -1), 11);
    // The set-up pages work in the new units at once, connected or not.
    EXPECT_EQ(frame->state().currentPressureUnitIndex, 1);
    EXPECT_EQ(frame->state().pressureUnitLabel, "bar");
    EXPECT_EQ(frame->state().temperatureUnitLabel, "\u00B0C");
}

TEST(AboutDialog, ShowsTitleVersionAndMaker) {
    const QStringList lines = CAboutDlg::identificationText().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "Tarnell VR5-XP");
    EXPECT_EQ(lines[1], "v0.3.0");
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About VR5-XP");
}

}  // namespace
}  // namespace vr5
