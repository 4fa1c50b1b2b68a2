// A calibration file in the main window: the certificate on show, the commands a certificate
// allows, and the recent-file list.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>

#include "calibration_description.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/main_frame.h"
#include "ui/vr5xp_view.h"
#include "ui_support.h"

namespace vr5 {
namespace {

QString writeCalibration(const QTemporaryDir& dir, const char* name, const QString& fileName) {
    fixtures::CalibrationDescription d;
    QString error;
    EXPECT_TRUE(fixtures::readCalibrationFile(
        QStringLiteral(VR5_FIXTURE_DIR "/calibration/%1.txt").arg(QLatin1String(name)), d, error))
        << error.toStdString();
    return test::writeFile(dir, fileName, fixtures::buildCalibration(d));
}

bool drawingHasText(CMainFrame& frame, const QString& text) {
    for (const PageItem& item : frame.view().drawing().items) {
        if (const auto* t = std::get_if<TextItem>(&item); t && t->text == text) return true;
    }
    return false;
}

TEST(CertificateView, ACalibrationFileShowsItsCertificate) {
    QTemporaryDir dir;
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    CMainFrame frame(settings, prompter);
    const QString report = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const QString certificate = writeCalibration(dir, "passing", QStringLiteral("cert.TDC"));

    ASSERT_TRUE(frame.openFile(report));
    ASSERT_TRUE(frame.openFile(certificate));
    EXPECT_TRUE(prompter.messages.isEmpty()) << qPrintable(prompter.messages.join('\n'));
    EXPECT_EQ(frame.windowTitle(), "cert.TDC - Tarnell VR5-XP");
    EXPECT_TRUE(drawingHasText(frame, "TARNELL FUSILOG CERTIFICATE of CALIBRATION"));
    EXPECT_FALSE(drawingHasText(frame, "Tarnell Joint Report (VR5)"));
    // It prints like a report; the report commands have no report to work on.
    EXPECT_TRUE(frame.action(Command::Print)->isEnabled());
    EXPECT_TRUE(frame.action(Command::PrintPreview)->isEnabled());
    EXPECT_FALSE(frame.action(Command::Analyze)->isEnabled());
    EXPECT_FALSE(frame.action(Command::AppendNotes)->isEnabled());
    EXPECT_EQ(settings.read(keys::RecentFile1), certificate);
    EXPECT_EQ(settings.read(keys::RecentFile2), report);

    // The view paints the page, not the start picture: the blue values reach the screen.
    frame.resize(900, 700);
    frame.show();
    QApplication::processEvents();
    QImage shot(frame.view().viewport()->size(), QImage::Format_RGB32);
    frame.view().viewport()->render(&shot);
    int blue = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb c = shot.pixel(x, y);
            blue += qBlue(c) > 200 && qRed(c) < 80 && qGreen(c) < 80;
        }
    }
    EXPECT_GT(blue, 50);

    // The recent entry of the report opens it again, with its commands.
    frame.recentFileActions()[1]->trigger();
    EXPECT_EQ(frame.document().path(), report);
    EXPECT_FALSE(frame.document().hasCalibration());
    EXPECT_TRUE(frame.action(Command::Analyze)->isEnabled());

    // A file that is not a calibration leaves the report on show and leaves the recent list.
    const QString bad = test::writeFile(dir, QStringLiteral("bad.tdc"), "not a calibration");
    EXPECT_FALSE(frame.openFile(bad));
    EXPECT_EQ(prompter.messages.value(0), "Invalid calibration file!");
    EXPECT_EQ(frame.document().path(), report);
    EXPECT_TRUE(frame.action(Command::Analyze)->isEnabled());
    EXPECT_NE(settings.read(keys::RecentFile1), bad);
}

}  // namespace
}  // namespace vr5
