// A calibration file in the main window: the certificate on show, the commands a certificate
// allows, and the recent-file list.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "calibration_description.h"
#include "page/certificate_page.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "station_log.h"
#include "ui/main_frame.h"
#include "ui/page_painter.h"
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

// What a text covers on the page, measured with the faces the page is drawn with: from its
// anchor, as wide as the face makes it but never past its right edge, one cell high.
PageRect textBox(const TextItem& t) {
    const FontSpec face = fontSpec(t.font);
    QFont font(QString::fromLatin1(face.family));
    font.setBold(face.bold);
    font.setItalic(face.italic);
    font.setPixelSize(face.heightInPageUnits());
    const int width = static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(t.text)));
    int left = t.at.x;
    if (t.halign == HAlign::Center) left -= width / 2;
    if (t.halign == HAlign::Right) left -= width;
    const int right = static_cast<int>(std::min<qint64>(qint64{left} + width, t.rightEdge));
    return {left, t.at.y, right, t.at.y - certificateTextHeight(t.font)};
}

bool overlap(const PageRect& a, const PageRect& b) {
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

std::string describe(const TextItem& t) {
    return t.text.left(40).toStdString() + " at " + std::to_string(t.at.x) + "," +
           std::to_string(t.at.y);
}

// Whatever a calibration file holds, the certificate's texts stay on the page and inside its
// frame, the statement is drawn clear of everything else and of the logo, and the summary shows
// the lines that fit above it.
TEST(CertificateView, NothingOverdrawsTheStatementOrLeavesThePage) {
    fixtures::CalibrationDescription d;
    QString error;
    ASSERT_TRUE(fixtures::readCalibrationFile(VR5_FIXTURE_DIR "/calibration/passing.txt", d, error))
        << error.toStdString();
    CalibrationRecord passing;
    ASSERT_EQ(loadCalibration(fixtures::buildCalibration(d), passing), CalibrationProblem::None);

    // Every field as long as a file can make it, of the widest letter.
    CalibrationRecord huge = passing;
    const QString wide(100'000, u'W');
    for (QString& field : huge.fields) field = wide;
    huge.fields[CalibrationRecord::CalibrationDate] = QStringLiteral("2024/03/15 ") + wide;
    huge.temperatureResults.fill(wide.left(40) + QStringLiteral("\u00B0F"));
    huge.pressureResults.fill(wide.left(40) + QStringLiteral("psi"));
    for (int i = 0; i < 5000; ++i) huge.summaryLines << QString(300, u'W');

    // A station log of a million characters with thousands of checks and summary lines.
    CalibrationRecord logged = passing;
    logged.fields[CalibrationRecord::CalibrationText] =
        fixtures::longStationLog(1'000'000, 3000, 3000);
    deriveCalibrationResults(logged);
    ASSERT_EQ(logged.summaryLines.size(), 3000);

    const struct {
        const char* name;
        const CalibrationRecord& rec;
        bool cut;  // summary lines left out
    } cases[] = {
        {"passing", passing, false}, {"huge fields", huge, true}, {"long log", logged, true}};
    const PageMetrics metrics = measurePageMetrics();
    const PageRect logo{3241, -9200, 5259, -9938};
    for (const auto& c : cases) {
        for (Medium medium : {Medium::Screen, Medium::Paper}) {
            SCOPED_TRACE(std::string(c.name) + (medium == Medium::Screen ? ", screen" : ", paper"));
            const PageDrawing page = buildCertificatePage(c.rec, metrics, medium);
            std::vector<TextItem> texts;
            for (const PageItem& item : page.items) {
                if (const auto* t = std::get_if<TextItem>(&item)) texts.push_back(*t);
            }
            // The statement: the four lines before the identification line under the frame.
            ASSERT_GE(texts.size(), 5u);
            ASSERT_EQ(texts.back().font, FontRole::Small);
            const std::vector<TextItem> statement(texts.end() - 5, texts.end() - 1);
            EXPECT_TRUE(statement.front().text.endsWith(u"meets or exceeds all published"));
            EXPECT_TRUE(statement.back().text.startsWith(u"in our facility"));
            PageRect box = textBox(statement.front());
            for (const TextItem& t : statement) {
                const PageRect r = textBox(t);
                box = {std::min(box.left, r.left), std::max(box.top, r.top),
                       std::max(box.right, r.right), std::min(box.bottom, r.bottom)};
            }
            EXPECT_FALSE(overlap(box, logo));

            const PageRect frame = kCertificateFrame;
            for (size_t i = 0; i + 1 < texts.size(); ++i) {
                const PageRect r = textBox(texts[i]);
                EXPECT_TRUE(r.left >= frame.left && r.right <= frame.right && r.top <= frame.top &&
                            r.bottom >= frame.bottom)
                    << describe(texts[i]) << " reaches " << r.right << "," << r.bottom;
                if (i + 5 < texts.size()) {
                    EXPECT_FALSE(overlap(r, box)) << describe(texts[i]);
                }
            }
            const PageRect last = textBox(texts.back());
            EXPECT_TRUE(last.left >= 0 && last.right <= kPageWidth && last.bottom >= -kPageHeight);

            // The summary: the station's lines in order while they fit, then how many did not.
            QStringList summary;
            for (const TextItem& t : texts) {
                if (t.at.x == 3600 && t.text != u"Calibration Summary:") summary << t.text;
            }
            if (c.cut) {
                ASSERT_FALSE(summary.isEmpty());
                const qsizetype shown = summary.size() - 1;
                EXPECT_GT(shown, 5);
                for (qsizetype i = 0; i < shown; ++i)
                    EXPECT_TRUE(c.rec.summaryLines[i].startsWith(summary[i])) << i;
                EXPECT_EQ(summary.last(), QStringLiteral("(%1 more lines not shown)")
                                              .arg(c.rec.summaryLines.size() - shown));
            } else {
                EXPECT_EQ(summary, c.rec.summaryLines);
            }
        }
    }
}

}  // namespace
}  // namespace vr5
