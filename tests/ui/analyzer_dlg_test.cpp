#include "ui/analyzer_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "fixture_description.h"
#include "page/analyzer.h"
#include "program_state.h"
#include "report/vr5xp_doc.h"
#include "ui/page_output.h"
#include "ui/vr5xp_view.h"
#include "ui_support.h"

namespace vr5 {
namespace {

// 500 samples a second apart, rising evenly.
const char* const k500Points = "ramp: 400 2500";

class AnalyzerDlgTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void open(const char* description) {
        const fixtures::ParseResult parsed =
            fixtures::parseFixtureDescription(QString::fromUtf8(description));
        ASSERT_TRUE(parsed.ok()) << parsed.error.toStdString();
        const QString path =
            test::writeFile(dir, QStringLiteral("r.tjr"), fixtures::buildFixture(parsed.fixture));
        ASSERT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Opened);
    }

    // Runs the Analyzer; `whileOpen` gets the dialog once it shows and closes it.
    void runWith(const std::function<void(CDlgAnalyzer&)>& whileOpen,
                 std::function<void()> print = {}) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            CDlgAnalyzer* dlg = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* a = qobject_cast<CDlgAnalyzer*>(w); a && a->isVisible()) dlg = a;
            }
            if (!dlg) {
                ADD_FAILURE() << "the Analyzer did not show";
                return;
            }
            ran = true;
            whileOpen(*dlg);
            if (dlg->isVisible()) dlg->reject();
        });
        runAnalyzer(doc, nullptr, std::move(print));
        EXPECT_TRUE(ran);
    }

    QTemporaryDir dir;
    ProgramState state;
    test::ScriptedPrompter prompter;
    CVR5XPDoc doc{state, prompter};
};

TEST_F(AnalyzerDlgTest, OpensOnTheFirstAndLastPointAndClosesBackToTheReport) {
    open(k500Points);
    ASSERT_EQ(doc.record().sampleCount, 500);
    runWith([this](CDlgAnalyzer& dlg) {
        EXPECT_EQ(dlg.windowTitle(),
                  "Analyzer (click then hold and drag this bar to reposition on screen)");
        EXPECT_TRUE(dlg.isModal());
        EXPECT_EQ(dlg.label1()->text(), "#1");
        EXPECT_EQ(dlg.label2()->text(), "#500");
        for (QSlider* s : {dlg.slider1(), dlg.slider2()}) {
            EXPECT_EQ(s->orientation(), Qt::Horizontal);
            EXPECT_EQ(s->minimum(), 1);
            EXPECT_EQ(s->maximum(), 500);
            EXPECT_TRUE(s->isEnabled());
        }
        EXPECT_EQ(dlg.slider1()->value(), 1);
        EXPECT_EQ(dlg.slider2()->value(), 500);
        EXPECT_EQ(dlg.printButton()->text(), "Print");
        bool instruction = false;
        for (const QLabel* l : dlg.findChildren<QLabel*>()) {
            instruction |= l->text() ==
                           "To move one data point at a time, click to select "
                           "slider bar then use keyboard arrow keys.";
        }
        EXPECT_TRUE(instruction);

        const AnalyzerView& view = doc.analyzer();
        EXPECT_TRUE(view.active);
        EXPECT_EQ(view.point1, 1);
        EXPECT_EQ(view.point2, 500);
        EXPECT_EQ(view.readout, analyzerReadout(doc.record(), 1, 500));
        const PageDrawing page = buildDocumentPage(doc, Medium::Screen);
        ASSERT_EQ(page.plots.size(), 2u);
        EXPECT_EQ(page.plots[1].timeStart, 0);
        EXPECT_EQ(page.plots[1].timeEnd, doc.record().Time(499));
    });
    EXPECT_FALSE(doc.analyzer().active);
    EXPECT_EQ(buildDocumentPage(doc, Medium::Screen).plots.size(), 3u);
}

TEST_F(AnalyzerDlgTest, SlidersAndArrowKeysMoveThePoints) {
    open(k500Points);
    CDlgAnalyzer dlg(doc, {});
    QSignalSpy repaints(&doc, &CVR5XPDoc::changed);

    enum Slider { One, Two };
    struct Step {
        const char* name;
        Slider slider;
        int key;       // a key pressed on the slider, or 0 ...
        int position;  // ... to drag it to this position
        int point1, point2;
        int repaints;
    } steps[] = {
        {"slider 2 dragged to 300", Two, 0, 300, 1, 300, 1},
        {"slider 1 dragged onto slider 2 stops at 299", One, 0, 300, 299, 300, 1},
        {"held against slider 2: nothing to repaint", One, Qt::Key_Right, 0, 299, 300, 0},
        {"left arrow: one point down", One, Qt::Key_Left, 0, 298, 300, 1},
        {"slider 2, left arrow", Two, Qt::Key_Left, 0, 298, 299, 1},
        {"slider 2 cannot pass slider 1", Two, Qt::Key_Left, 0, 298, 299, 0},
        {"right arrow: one point up", Two, Qt::Key_Right, 0, 298, 300, 1},
        {"slider 1 to the first point", One, Qt::Key_Home, 0, 1, 300, 1},
        {"slider 1 below the first point", One, Qt::Key_Left, 0, 1, 300, 0},
        {"slider 2 to the last point", Two, Qt::Key_End, 0, 1, 500, 1},
        {"slider 1 dragged past the last point", One, 0, 600, 499, 500, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        QSlider* slider = s.slider == One ? dlg.slider1() : dlg.slider2();
        const qsizetype before = repaints.size();
        if (s.key != 0) {
            QTest::keyClick(slider, static_cast<Qt::Key>(s.key));
        } else {
            slider->setValue(s.position);
        }
        EXPECT_EQ(dlg.slider1()->value(), s.point1);
        EXPECT_EQ(dlg.slider2()->value(), s.point2);
        EXPECT_EQ(dlg.label1()->text(), QStringLiteral("#%1").arg(s.point1));
        EXPECT_EQ(dlg.label2()->text(), QStringLiteral("#%1").arg(s.point2));
        EXPECT_EQ(repaints.size() - before, s.repaints);
        const AnalyzerView& view = doc.analyzer();
        EXPECT_TRUE(view.active);
        EXPECT_EQ(view.point1, s.point1);
        EXPECT_EQ(view.point2, s.point2);
        EXPECT_EQ(view.readout, analyzerReadout(doc.record(), s.point1, s.point2));
    }
}

TEST_F(AnalyzerDlgTest, EnterEscapeAndPrint) {
    open(k500Points);
    int printed = 0;
    PageDrawing printedPage;
    auto print = [&] {
        ++printed;
        printedPage = buildDocumentPage(doc, Medium::Paper);
    };

    struct Case {
        const char* name;
        int key;
        bool focusOnPrint;
        QDialog::DialogCode result;
    } cases[] = {
        {"Enter", Qt::Key_Return, false, QDialog::Accepted},
        {"keypad Enter", Qt::Key_Enter, false, QDialog::Accepted},
        {"Enter on the Print button closes, never prints", Qt::Key_Return, true, QDialog::Accepted},
        {"Escape", Qt::Key_Escape, false, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDlgAnalyzer dlg(doc, print);
        dlg.show();
        QWidget* target = c.focusOnPrint ? static_cast<QWidget*>(dlg.printButton()) : dlg.slider1();
        target->setFocus();
        QTest::keyClick(target, static_cast<Qt::Key>(c.key),
                        c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), c.result);
    }
    EXPECT_EQ(printed, 0);

    // Print prints the analyzer layout with the readout.
    runWith(
        [](CDlgAnalyzer& dlg) {
            dlg.slider1()->setValue(100);
            QTest::mouseClick(dlg.printButton(), Qt::LeftButton);
            EXPECT_TRUE(dlg.isVisible());
        },
        print);
    EXPECT_EQ(printed, 1);
    ASSERT_EQ(printedPage.plots.size(), 2u);
    const QString readout = analyzerReadout(doc.record(), 100, 500);
    bool titled = false;
    for (const PageItem& item : printedPage.items) {
        if (const auto* t = std::get_if<TextItem>(&item)) titled |= t->text == readout;
    }
    EXPECT_TRUE(titled) << readout.toStdString();
}

TEST_F(AnalyzerDlgTest, AReportOfOnePointHasNothingToChoose) {
    open("sample: 0 50");
    runWith([this](CDlgAnalyzer& dlg) {
        EXPECT_EQ(dlg.label1()->text(), "#1");
        EXPECT_EQ(dlg.label2()->text(), "#1");
        EXPECT_FALSE(dlg.slider1()->isEnabled());
        EXPECT_FALSE(dlg.slider2()->isEnabled());
        EXPECT_EQ(doc.analyzer().readout,
                  "Analyzer: 50psi at 0:00:00.0   (delta: 0:00:00.0)   50psi at 0:00:00.0");
        const PageDrawing page = buildDocumentPage(doc, Medium::Screen);
        EXPECT_EQ(page.plots.size(), 2u);
        EXPECT_FALSE(renderPageImage(page, 24).isNull());
    });
    EXPECT_FALSE(doc.analyzer().active);

    // Without a report there is nothing to analyze: no dialog.
    doc.New();
    runAnalyzer(doc, nullptr, {});
    EXPECT_FALSE(doc.analyzer().active);
}

int redPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
        }
    }
    return n;
}

// The view and a PDF in analyzer mode. With VR5_LOOK_DIR set, both are kept there for a person
// to look at.
TEST_F(AnalyzerDlgTest, ViewAndPdfShowTheAnalyzerLayout) {
    ASSERT_EQ(doc.Open(test::writeFixture(dir, QStringLiteral("bar"))),
              CVR5XPDoc::OpenResult::Opened);
    CVR5XPView view(doc, state);
    view.resize(860, 1100);
    const int normalRed = redPixels(view.grab().toImage());

    doc.setAnalyzer(analyzerView(doc.record(), 100, 600));
    const QImage screen = view.grab().toImage();
    // Two red lines down the summary plot, two page units wide, about 1.5 inch tall.
    EXPECT_EQ(normalRed, 0);
    EXPECT_GT(redPixels(screen), 2 * 100);

    const QString pdf = dir.filePath(QStringLiteral("analyzer.pdf"));
    const PageDrawing paper = buildDocumentPage(doc, Medium::Paper);
    QString error;
    ASSERT_TRUE(writePdfFile(paper, pdf, QStringLiteral("analyzer"), &error))
        << error.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))), 1);
    EXPECT_GT(redPixels(renderPageImage(paper, 96)), 2 * 100);

    const QString look = qEnvironmentVariable("VR5_LOOK_DIR");
    if (!look.isEmpty()) {
        screen.save(QDir(look).filePath(QStringLiteral("analyzer_view.png")));
        QFile::remove(QDir(look).filePath(QStringLiteral("analyzer.pdf")));
        QFile::copy(pdf, QDir(look).filePath(QStringLiteral("analyzer.pdf")));
    }
}

}  // namespace
}  // namespace vr5
