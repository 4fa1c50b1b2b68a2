// The report as a reader meets it: zoom, scrolling and keys, the file dialogs, a downloaded report
// among the recent files, print preview and the user guide.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include "page/zoom.h"
#include "platform/report_folder.h"
#include "report/vr5xp_doc.h"
#include "settings/recent_files.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/logger/log_status_dlg.h"
#include "ui/main_frame.h"
#include "ui/user_guide.h"
#include "ui/vr5xp_view.h"
#include "ui_support.h"

namespace vr5 {
namespace {

class ViewCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        frame = std::make_unique<CMainFrame>(settings, prompter);
        frame->resize(900, 700);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }

    CVR5XPView& view() { return frame->view(); }
    QScrollBar* vertical() { return view().verticalScrollBar(); }

    void trigger(Command id) { frame->action(id)->trigger(); }

    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(&view(), &press);
    }

    void wheel(int angle, Qt::KeyboardModifiers mods) {
        const QPointF at(50, 50);
        QWheelEvent event(at, view().viewport()->mapToGlobal(at), QPoint(), QPoint(0, angle),
                          Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view().viewport(), &event);
    }

    QTemporaryDir dir;
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(ViewCommandsTest, ZoomCommandsStepWithinTheLimitsAndAreRemembered) {
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("plain_hydraulic"))));
    const double trueScale = view().trueScale();
    EXPECT_EQ(view().zoom(), 100);

    const struct {
        Command command;
        int zoom;
    } steps[] = {
        {Command::ZoomIn, 110}, {Command::ZoomIn, 125},     {Command::ActualSize, 100},
        {Command::ZoomOut, 90}, {Command::ZoomOut, 75},     {Command::ZoomOut, 67},
        {Command::ZoomOut, 50}, {Command::ActualSize, 100},
    };
    for (const auto& s : steps) {
        trigger(s.command);
        EXPECT_EQ(view().zoom(), s.zoom);
        EXPECT_DOUBLE_EQ(view().scale(), trueScale * s.zoom / 100.0);
        EXPECT_EQ(settings.read(keys::ZoomPercent, 0), s.zoom);
    }

    // At each end the command that would pass it is greyed, and pressing on does nothing.
    for (int i = 0; i < 20; ++i) trigger(Command::ZoomIn);
    EXPECT_EQ(view().zoom(), kMaxZoom);
    EXPECT_FALSE(frame->action(Command::ZoomIn)->isEnabled());
    EXPECT_TRUE(frame->action(Command::ZoomOut)->isEnabled());
    for (int i = 0; i < 20; ++i) trigger(Command::ZoomOut);
    EXPECT_EQ(view().zoom(), kMinZoom);
    EXPECT_FALSE(frame->action(Command::ZoomOut)->isEnabled());

    // A larger page scrolls further.
    trigger(Command::ActualSize);
    const int trueRange = vertical()->maximum();
    trigger(Command::ZoomIn);
    trigger(Command::ZoomIn);
    EXPECT_GT(vertical()->maximum(), trueRange);

    // The next start shows the page as it was left; a value edited out of range is true size.
    const int left = view().zoom();
    for (const auto& [stored, shown] : {std::pair{left, left}, {1000, 100}, {10, 100}}) {
        settings.write(keys::ZoomPercent, stored);
        CMainFrame next(settings, prompter);
        EXPECT_EQ(next.view().zoom(), shown) << stored;
    }
}

TEST_F(ViewCommandsTest, CtrlWheelZoomsAndAPlainWheelScrolls) {
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("plain_hydraulic"))));
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(view().zoom(), 110);
    wheel(-240, Qt::ControlModifier);
    EXPECT_EQ(view().zoom(), 90);
    // A touchpad's small turns add up to a step.
    for (int i = 0; i < 3; ++i) wheel(40, Qt::ControlModifier);
    EXPECT_EQ(view().zoom(), 100);
    EXPECT_EQ(settings.read(keys::ZoomPercent, 0), 100);

    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(view().zoom(), 100);
    EXPECT_GT(vertical()->value(), 0);
}

TEST_F(ViewCommandsTest, FitWidthFillsTheWindowWithThePage) {
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("plain_hydraulic"))));
    for (const int width : {700, 1400}) {
        frame->resize(width, 700);
        QApplication::processEvents();
        trigger(Command::FitWidth);
        QApplication::processEvents();
        const double pageWidth = kPageWidth * view().scale();
        const int room = view().viewport()->width();
        EXPECT_LE(pageWidth, room) << width;
        EXPECT_GT(pageWidth, room - 0.05 * room) << width;
        // Nothing of the page's width is hidden.
        EXPECT_EQ(view().horizontalScrollBar()->maximum(), 0) << width;
    }
}

TEST_F(ViewCommandsTest, AnotherReportShowsItsTopAndThePageTakesTheKeys) {
    const QString first = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const QString second = test::writeFixture(dir, QStringLiteral("demo"));
    // The page has the keys from the start, before any report is opened.
    QApplication::setActiveWindow(frame.get());
    QApplication::processEvents();
    EXPECT_TRUE(view().hasFocus());
    ASSERT_TRUE(frame->openFile(first));
    EXPECT_TRUE(view().hasFocus());
    ASSERT_GT(vertical()->maximum(), 0);

    // The keys scroll at once, with no click on the page first.
    key(Qt::Key_PageDown);
    EXPECT_EQ(vertical()->value(), std::min(vertical()->pageStep(), vertical()->maximum()));
    key(Qt::Key_End);
    EXPECT_EQ(vertical()->value(), vertical()->maximum());
    key(Qt::Key_Home);
    EXPECT_EQ(vertical()->value(), 0);
    key(Qt::Key_End);

    // The same report redrawn (another search range) stays where the reader is.
    frame->applySearchRange(50);
    EXPECT_EQ(vertical()->value(), vertical()->maximum());

    // Another report starts at its top; so does the first one opened again.
    for (const QString& path : {second, first}) {
        key(Qt::Key_End);
        ASSERT_GT(vertical()->value(), 0);
        ASSERT_TRUE(frame->openFile(path));
        EXPECT_EQ(vertical()->value(), 0) << qPrintable(path);
        EXPECT_TRUE(view().hasFocus());
    }
}

// Runs `command` and reads the file dialog it opens; the dialog is cancelled.
struct SeenDialog {
    QString directory;
    QStringList filters;
    bool shown = false;
};
SeenDialog seeFileDialog(const std::function<void()>& command) {
    SeenDialog seen;
    QTimer::singleShot(50, [&seen] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen.shown = true;
        seen.directory = dialog->directory().absolutePath();
        seen.filters = dialog->nameFilters();
        dialog->reject();
    });
    command();
    return seen;
}

TEST_F(ViewCommandsTest, OpenOffersCertificatesAndStartsInTheReportFolder) {
    ASSERT_TRUE(ensureReportFolder());
    const SeenDialog first = seeFileDialog([this] { trigger(Command::Open); });
    ASSERT_TRUE(first.shown);
    EXPECT_EQ(first.filters,
              (QStringList{"Joint Reports (*.tjr)", "Calibration Certificates (*.tdc)",
                           "Reports and Certificates (*.tjr *.tdc)", "All Files (*)"}));
    EXPECT_EQ(first.directory, QDir(reportFolderPath()).absolutePath());

    // With a report on show, the next file is looked for beside it.
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("demo"))));
    const SeenDialog next = seeFileDialog([this] { trigger(Command::Open); });
    EXPECT_EQ(next.directory, QDir(dir.path()).absolutePath());
}

TEST_F(ViewCommandsTest, ADownloadedReportJoinsTheRecentFiles) {
    const QString earlier = test::writeFixture(dir, QStringLiteral("demo"));
    ASSERT_TRUE(frame->openFile(earlier));
    settings.write(keys::ComPort, 9);
    const QString downloaded =
        test::writeFixture(dir, QStringLiteral("plain_hydraulic"), QStringLiteral("Joint 7.tjr"));

    // The window ends as a finished download ends it: the new report's path set, to be loaded.
    bool opened = false;
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<CLogStatusDlg*>(QApplication::activeModalWidget());
        opened = dialog != nullptr;
        frame->state().currentReportPath = downloaded;
        frame->state().reloadFlag = true;
        if (dialog) dialog->reject();
    });
    trigger(Command::LogStatus);
    QTest::qWait(150);
    ASSERT_TRUE(opened);
    EXPECT_EQ(frame->document().path(), downloaded);
    EXPECT_EQ(RecentFileList(settings).entries(), (QStringList{downloaded, earlier}));
    EXPECT_TRUE(frame->recentFileActions()[0]->text().endsWith(QStringLiteral("Joint 7.tjr")));
    EXPECT_TRUE(frame->action(Command::AppendNotes)->isEnabled());

    // A window closed with nothing downloaded adds nothing.
    QTimer::singleShot(50, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    trigger(Command::LogStatus);
    QTest::qWait(150);
    EXPECT_EQ(RecentFileList(settings).entries(), (QStringList{downloaded, earlier}));
}

TEST_F(ViewCommandsTest, PrintPreviewOpensLargeWithThePageAsWideAsTheWindow) {
    ASSERT_TRUE(frame->openFile(test::writeFixture(dir, QStringLiteral("plain_hydraulic"))));
    QSize size;
    QPrintPreviewWidget::ZoomMode mode = QPrintPreviewWidget::CustomZoom;
    QTimer::singleShot(100, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview) return;
        size = preview->size();
        if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) mode = widget->zoomMode();
        preview->reject();
    });
    trigger(Command::PrintPreview);
    const QSize screen = frame->screen()->availableSize();
    EXPECT_GE(size.width(), screen.width() * 7 / 10);
    EXPECT_GE(size.height(), screen.height() * 8 / 10);
    EXPECT_EQ(mode, QPrintPreviewWidget::FitToWidth);
}

// Receives the URLs the program hands the desktop, instead of a browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(ViewCommandsTest, UserGuideOpensTheGuideOrSaysWhereItBelongs) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const QString guide = findUserGuide();
    trigger(Command::UserGuide);
    if (guide.isEmpty()) {
        // Not built here: the operator learns where it should be.
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_TRUE(prompter.messages[0].startsWith(
            QStringLiteral("The user guide is not installed. It belongs in\n")));
        EXPECT_TRUE(catcher.urls.isEmpty());
    } else {
        EXPECT_TRUE(prompter.messages.isEmpty()) << qPrintable(prompter.messages.join(u'\n'));
        EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(guide)});
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    // Beside an installed program first.
    EXPECT_TRUE(userGuideCandidates().first().endsWith(
        QStringLiteral("/share/vr5xp/guide/user-guide.html")));
}

}  // namespace
}  // namespace vr5

#include "view_commands_test.moc"
