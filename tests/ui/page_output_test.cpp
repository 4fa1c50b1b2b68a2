#include "ui/page_output.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include "fixture_description.h"
#include "page/report_page.h"
#include "program_state.h"
#include "report/report_decoder.h"
#include "report/vr5xp_doc.h"
#include "ui/page_painter.h"
#include "ui_support.h"

namespace vr5 {
namespace {

class PageOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(doc.Open(test::writeFixture(dir, QStringLiteral("plain_hydraulic"))),
                  CVR5XPDoc::OpenResult::Opened);
    }

    static QPoint toPixel(PagePoint p, double dpi) {
        return {static_cast<int>(p.x * dpi / 1000), static_cast<int>(-p.y * dpi / 1000)};
    }

    QTemporaryDir dir;
    ProgramState state;
    test::ScriptedPrompter prompter;
    CVR5XPDoc doc{state, prompter};
};

TEST_F(PageOutputTest, ScreenAndPaperDifferInGridColourAndLogo) {
    const double dpi = 96;
    struct Case {
        Medium medium;
        QRgb grid;
        bool logo;
    } cases[] = {{Medium::Screen, qRgb(192, 192, 192), false},
                 {Medium::Paper, qRgb(0, 0, 0), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.medium == Medium::Screen ? "screen" : "paper");
        const PageDrawing drawing = buildDocumentPage(doc, c.medium);
        const QImage image = renderPageImage(drawing, dpi);
        EXPECT_EQ(image.size(), QSize(816, 1056));

        // A vertical grid line of the summary plot, between its top and the curve's plateau.
        ASSERT_EQ(drawing.plots.size(), 3u);
        const PlotGeometry& summary = drawing.plots[2];
        bool found = false;
        for (const PageItem& item : drawing.items) {
            const auto* line = std::get_if<LineItem>(&item);
            if (!line || line->from.x != line->to.x || line->from.y != summary.rect.top) continue;
            const QPoint p = toPixel({line->from.x, summary.rect.top - 40}, dpi);
            EXPECT_EQ(image.pixel(p), c.grid) << p.x() << "," << p.y();
            found = true;
            break;
        }
        EXPECT_TRUE(found);

        // The logo sits under the third plot box, on paper only.
        int dark = 0;
        const QPoint from = toPixel({3300, -9950}, dpi);
        const QPoint to = toPixel({5200, -10550}, dpi);
        for (int y = from.y(); y < to.y(); ++y) {
            for (int x = from.x(); x < to.x(); ++x) dark += qGray(image.pixel(x, y)) < 128;
        }
        EXPECT_EQ(dark > 100, c.logo) << dark;
    }
}

TEST_F(PageOutputTest, PdfIsOneLetterPage) {
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    QString error;
    ASSERT_TRUE(writePdfFile(buildDocumentPage(doc, Medium::Paper), pdf, "page", &error))
        << qPrintable(error);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    const QString text = QString::fromLatin1(bytes);
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))), 1);
    EXPECT_TRUE(text.contains(
        QRegularExpression(QStringLiteral("/MediaBox\\s*\\[0 0 612(\\.0+)? 792(\\.0+)?\\]"))))
        << "letter size";
}

TEST_F(PageOutputTest, NeverWritesOverAReportAndLeavesNothingOnFailure) {
    const QString report = doc.path();
    QFile original(report);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    const PageDrawing drawing = buildDocumentPage(doc, Medium::Paper);
    QString error;
    for (const QString& target : {report, dir.filePath(QStringLiteral("other.TDC"))}) {
        EXPECT_FALSE(writePdfFile(drawing, target, "x", &error)) << qPrintable(target);
        EXPECT_FALSE(writePngFile(renderPageImage(drawing, 24), target, &error));
        EXPECT_TRUE(error.contains("never written over")) << qPrintable(error);
    }
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), before);

    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/page.pdf"));
    EXPECT_FALSE(writePdfFile(drawing, nowhere, "x", &error));
    EXPECT_FALSE(error.isEmpty());
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(left, QStringList{QStringLiteral("plain_hydraulic.tjr")});
}

// A value as long as a report's text can be stops where the next column starts, and the last
// column's stops inside the header box, on the screen as on paper.
TEST(PageOutput, LongHeaderValuesAreCutAtTheirColumn) {
    const QString wide(100, u'W');
    const fixtures::ParseResult parsed = fixtures::parseFixtureDescription(
        QStringLiteral("job: ") + wide + QStringLiteral("\ndrag: ") + wide);
    ASSERT_TRUE(parsed.ok()) << qPrintable(parsed.error);
    JointRecord rec;
    decodeReport(fixtures::buildFixture(parsed.fixture), rec);
    ASSERT_FALSE(rec.problem.isDamaged());
    const PageMetrics m = measurePageMetrics();
    const double dpi = 300;
    for (Medium medium : {Medium::Screen, Medium::Paper}) {
        const PageDrawing drawing = buildReportPage(rec, QStringLiteral("/r/x.tjr"), m, medium);
        const QImage image = renderPageImage(drawing, dpi);
        int checked = 0;
        for (const PageItem& item : drawing.items) {
            const auto* t = std::get_if<TextItem>(&item);
            if (!t || !t->text.contains(wide)) continue;
            ++checked;
            const bool firstColumn = t->at.x < 4000;
            // Between the cut and where the next thing may be drawn: the next column's labels,
            // or the header box's border.
            const int from = t->rightEdge + 4;
            const int to = firstColumn ? t->at.x - 1000 + 3500 - 4 : 8000 + 300;
            EXPECT_LT(t->rightEdge, firstColumn ? 4059 : 8000);
            int dark = 0;
            for (int x = from; x < to; x += 2) {
                if (!firstColumn && x > 7990 && x < 8010) continue;  // the box's border
                for (int dy = 20; dy < m.ch - 20; dy += 10) {
                    const QPoint p(static_cast<int>(x * dpi / 1000),
                                   static_cast<int>(-(t->at.y - dy) * dpi / 1000));
                    dark += qGray(image.pixel(p)) < 160;
                }
            }
            EXPECT_EQ(dark, 0) << t->text.left(20).toStdString() << " at x " << t->at.x;
        }
        EXPECT_EQ(checked, 2);
    }
}

// On a screen scaled to 200%, the thinnest lines are one screen pixel (two device pixels), in
// proportion to the text; on an ordinary screen and on paper they stay one device pixel.
TEST(PagePainterTest, HairlinesKeepTheirProportionOnScaledScreens) {
    PageDrawing drawing;
    drawing.items.push_back(LineItem{{500, -100}, {500, -900}, Pen{}});
    for (const double ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        QImage image(QSize(100, 100) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPage(painter, drawing, PageTransform::forDpi(96));
        painter.end();
        int dark = 0;
        const int row = static_cast<int>(50 * ratio);
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, row)) < 128;
        EXPECT_EQ(dark, static_cast<int>(ratio));
    }
}

}  // namespace
}  // namespace vr5
