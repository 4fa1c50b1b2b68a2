// View > Evaluation in the main window: when it may be chosen, what the view, printing and
// exports then show, and the procedure chooser that is remembered without touching the report.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include "calibration_description.h"
#include "evaluation/procedure.h"
#include "page/evaluation_page.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/main_frame.h"
#include "ui/page_output.h"
#include "ui/vr5xp_view.h"
#include "ui_support.h"

namespace vr5 {
namespace {

bool hasText(const PageDrawing& drawing, const QString& text) {
    for (const PageItem& item : drawing.items) {
        if (const auto* t = std::get_if<TextItem>(&item); t && t->text == text) return true;
    }
    return false;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the next print dialog with OK; true when one was shown.
void acceptPrintDialog(bool* shown) {
    QTimer::singleShot(50, [shown] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        *shown = dialog != nullptr;
        if (dialog) dialog->accept();
    });
}

class EvaluationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        report = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
        other = test::writeFixture(dir, QStringLiteral("bar"));
        frame = std::make_unique<CMainFrame>(settings, prompter);
    }

    QMenu* viewMenu() const {
        for (QAction* a : frame->menuBar()->actions()) {
            if (a->text() == u"&View") return a->menu();
        }
        return nullptr;
    }

    bool showsEvaluation() const {
        return hasText(frame->view().drawing(), QString::fromUtf8(kEvaluationHeading));
    }

    QTemporaryDir dir;
    QString report, other;
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(EvaluationViewTest, TheViewMenuOffersItForJointReportsOnly) {
    QAction* evaluation = frame->action(Command::Evaluation);
    ASSERT_NE(evaluation, nullptr);
    ASSERT_NE(viewMenu(), nullptr);
    EXPECT_TRUE(viewMenu()->actions().contains(evaluation));
    EXPECT_EQ(evaluation->text(), "&Evaluation");
    EXPECT_TRUE(evaluation->isCheckable());
    EXPECT_FALSE(evaluation->isChecked());
    EXPECT_FALSE(evaluation->isEnabled());  // nothing open

    ASSERT_TRUE(frame->openFile(report));
    EXPECT_TRUE(evaluation->isEnabled());
    EXPECT_FALSE(showsEvaluation());
    EXPECT_FALSE(frame->evaluationBar()->isVisibleTo(frame.get()));

    evaluation->setChecked(true);
    EXPECT_TRUE(showsEvaluation());
    EXPECT_TRUE(frame->evaluationBar()->isVisibleTo(frame.get()));
    EXPECT_TRUE(hasText(frame->view().drawing(), QStringLiteral("Estimated from the pressure "
                                                                "record; does not replace "
                                                                "inspecting the bead.")));

    // Another report keeps the chosen view.
    ASSERT_TRUE(frame->openFile(other));
    EXPECT_TRUE(showsEvaluation());
    EXPECT_TRUE(hasText(frame->view().drawing(), other));

    // A calibration certificate cannot be evaluated: it shows as ever, and the chooser goes.
    fixtures::CalibrationDescription d;
    QString error;
    ASSERT_TRUE(fixtures::readCalibrationFile(
        QStringLiteral(VR5_FIXTURE_DIR "/calibration/passing.txt"), d, error));
    const QString certificate =
        test::writeFile(dir, QStringLiteral("cert.tdc"), fixtures::buildCalibration(d));
    ASSERT_TRUE(frame->openFile(certificate));
    EXPECT_FALSE(evaluation->isEnabled());
    EXPECT_FALSE(showsEvaluation());
    EXPECT_TRUE(hasText(frame->view().drawing(),
                        QStringLiteral("TARNELL FUSILOG CERTIFICATE of CALIBRATION")));
    EXPECT_FALSE(frame->evaluationBar()->isVisibleTo(frame.get()));

    // Back to a report: the evaluation again; switched off, the report page exactly as before.
    ASSERT_TRUE(frame->openFile(report));
    EXPECT_TRUE(showsEvaluation());
    evaluation->setChecked(false);
    EXPECT_FALSE(showsEvaluation());
    EXPECT_FALSE(frame->evaluationBar()->isVisibleTo(frame.get()));
    const PageDrawing reportPage =
        buildReportPage(frame->document().record(), report, pageMetrics(), Medium::Screen);
    EXPECT_EQ(frame->view().drawing().items.size(), reportPage.items.size());
    EXPECT_TRUE(prompter.messages.isEmpty()) << qPrintable(prompter.messages.join('\n'));
}

TEST_F(EvaluationViewTest, TheChosenProcedureIsRememberedAndTheReportUntouched) {
    ASSERT_TRUE(frame->openFile(report));
    const QByteArray before = contents(report);
    frame->action(Command::Evaluation)->setChecked(true);

    QComboBox* box = frame->procedureBox();
    const QList<ProcedureInfo> procedures = availableProcedures();
    ASSERT_EQ(box->count(), procedures.size());
    for (int i = 0; i < box->count(); ++i) {
        EXPECT_EQ(box->itemData(i).toString(), procedures[i].id);
        EXPECT_TRUE(box->itemText(i).startsWith(procedures[i].name))
            << qPrintable(box->itemText(i));
    }
    // Nothing chosen yet: the default.
    EXPECT_EQ(box->currentData().toString(), defaultProcedureId());
    EXPECT_EQ(frame->document().evaluation().procedure.info.id, defaultProcedureId());

    const int dvs = box->findData(QStringLiteral("dvs-2207-1"));
    ASSERT_GE(dvs, 0);
    box->setCurrentIndex(dvs);
    Q_EMIT box->activated(dvs);
    EXPECT_EQ(settings.read(keys::EvaluationProcedure), "dvs-2207-1");
    EXPECT_EQ(frame->document().evaluation().procedure.info.id, "dvs-2207-1");
    EXPECT_TRUE(showsEvaluation());
    EXPECT_EQ(contents(report), before);

    // A new window starts with the remembered procedure.
    frame.reset();
    frame = std::make_unique<CMainFrame>(settings, prompter);
    ASSERT_TRUE(frame->openFile(report));
    frame->action(Command::Evaluation)->setChecked(true);
    EXPECT_EQ(frame->procedureBox()->currentData().toString(), "dvs-2207-1");
    EXPECT_EQ(frame->document().evaluation().procedure.info.id, "dvs-2207-1");
    EXPECT_TRUE(prompter.messages.isEmpty()) << qPrintable(prompter.messages.join('\n'));
}

TEST_F(EvaluationViewTest, AProcedureThatFailsToLoadIsReportedAndTheDefaultUsed) {
    const QString id = QStringLiteral("no-such-procedure");
    settings.write(keys::EvaluationProcedure, id);
    ASSERT_TRUE(frame->openFile(report));
    frame->action(Command::Evaluation)->setChecked(true);
    const ProcedureLoad load = loadProcedure(id);
    if (load.procedure) {
        // Procedures that load whatever their ID leave nothing to refuse.
        EXPECT_TRUE(prompter.messages.isEmpty());
        return;
    }
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0], load.error);
    EXPECT_EQ(frame->document().evaluation().procedure.info.id, defaultProcedureId());
    EXPECT_EQ(frame->procedureBox()->currentData().toString(), defaultProcedureId());
    EXPECT_TRUE(showsEvaluation());
}

TEST_F(EvaluationViewTest, PrintingAndPicturesFollowWhatIsShown) {
    ASSERT_TRUE(frame->openFile(report));
    frame->action(Command::Evaluation)->setChecked(true);

    const PageDrawing paper = buildDocumentPage(frame->document(), Medium::Paper);
    EXPECT_TRUE(hasText(paper, QString::fromUtf8(kEvaluationHeading)));
    // The legend's swatches reach the picture in their colours.
    const QImage image = renderPageImage(paper, 96);
    const QRgb soak = phaseShade(Phase::HeatSoak);
    int shaded = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) shaded += (image.pixel(x, y) & 0xffffff) == soak;
    }
    EXPECT_GT(shaded, 50);

    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    frame->printer().setOutputFormat(QPrinter::PdfFormat);
    frame->printer().setOutputFileName(out);
    bool shown = false;
    acceptPrintDialog(&shown);
    frame->onPrint();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(contents(out).startsWith("%PDF"));

    // While the Analyzer is open it works on the report's own layout.
    frame->document().setAnalyzer({true, 1, 20, QStringLiteral("readout")});
    EXPECT_FALSE(hasText(buildDocumentPage(frame->document(), Medium::Paper),
                         QString::fromUtf8(kEvaluationHeading)));
    frame->document().setAnalyzer({});
    EXPECT_TRUE(showsEvaluation());

    // Switched off, printing gives the report page again.
    frame->action(Command::Evaluation)->setChecked(false);
    EXPECT_FALSE(hasText(buildDocumentPage(frame->document(), Medium::Paper),
                         QString::fromUtf8(kEvaluationHeading)));
}

}  // namespace
}  // namespace vr5
