// The document that holds the open report, and the recent-file list.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "report/vr5xp_doc.h"
#include "test_support.h"

namespace vr5 {
namespace {

// Records what the document shows the operator; answers questions from a script.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString text, caption;
        Icon icon;
    };
    std::vector<Shown> shown;
    std::vector<Answer> answers;

    void show(const QString& text, const QString& caption, Icon icon) override {
        shown.push_back({text, caption, icon});
    }
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons, Icon) override {
        if (answers.empty()) {
            ADD_FAILURE() << "an unexpected question";
            return Answer::Cancel;
        }
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

class DocumentTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    ProgramState state;
    ScriptedPrompter prompter;
    CVR5XPDoc doc{state, prompter};
};

TEST_F(DocumentTest, OpensAReport) {
    const QString path = write(QStringLiteral("J-2024-118 7 E-117.tjr"),
                               test::fixtureBytes(QStringLiteral("plain_hydraulic")));
    EXPECT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Opened);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(doc.hasReport());
    EXPECT_EQ(doc.record().fields.jobNumber, QStringLiteral("J-2024-118"));
    EXPECT_EQ(doc.record().searchRangePercent, 100);
    EXPECT_EQ(state.currentReportPath, path);
    EXPECT_TRUE(state.resetRangeFlag);
    EXPECT_EQ(doc.windowTitle(), QStringLiteral("J-2024-118 7 E-117.tjr - Tarnell VR5-XP"));

    // A narrower search range decodes again and finds an earlier rise.
    const int whole = doc.record().heaterRemoval;
    doc.SetSearchRangePercent(25);
    EXPECT_EQ(doc.record().searchRangePercent, 25);
    EXPECT_LT(doc.record().heaterRemoval, whole);
    doc.SetSearchRangePercent(1);
    EXPECT_EQ(doc.record().searchRangePercent, 5);
}

TEST_F(DocumentTest, FilesThatCannotBeShownWhole) {
    const QString good =
        write(QStringLiteral("good.tjr"), test::fixtureBytes(QStringLiteral("plain_hydraulic")));
    struct Case {
        const char* name;
        QString path;
        CVR5XPDoc::OpenResult result;
        const char* says;
        QString jobShown;  // the job number the document holds afterwards
    } cases[] = {
        {"missing", dir.filePath(QStringLiteral("gone.tjr")), CVR5XPDoc::OpenResult::Failed,
         "does not exist", "J-2024-118"},
        {"a folder", dir.path(), CVR5XPDoc::OpenResult::Failed, "folder", "J-2024-118"},
        {"a calibration file", write(QStringLiteral("station.tdc"), "x"),
         CVR5XPDoc::OpenResult::Failed, "calibration", "J-2024-118"},
        {"cut in the samples",
         write(QStringLiteral("cut.tjr"), test::fixtureBytes(QStringLiteral("damaged_truncated"))),
         CVR5XPDoc::OpenResult::Damaged, "samples", "J-2024-240"},
        {"notes count too large",
         write(QStringLiteral("count.tjr"),
               test::fixtureBytes(QStringLiteral("damaged_string_count"))),
         CVR5XPDoc::OpenResult::Damaged, "notes", "J-2024-241"},
        {"empty", write(QStringLiteral("empty.tjr"), QByteArray()), CVR5XPDoc::OpenResult::Damaged,
         "damaged", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(doc.Open(good), CVR5XPDoc::OpenResult::Opened);
        prompter.shown.clear();

        EXPECT_EQ(doc.Open(c.path), c.result);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_TRUE(prompter.shown[0].text.contains(QString::fromUtf8(c.says)))
            << prompter.shown[0].text.toStdString();
        EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("Tarnell VR5-XP"));
        EXPECT_EQ(doc.record().fields.jobNumber, c.jobShown);
        const bool kept = c.result == CVR5XPDoc::OpenResult::Failed;
        EXPECT_EQ(state.currentReportPath, kept ? good : c.path);
        EXPECT_EQ(doc.path(), kept ? good : c.path);
    }
    // What was read before the damage is shown.
    doc.Open(dir.filePath(QStringLiteral("cut.tjr")));
    EXPECT_EQ(doc.record().sampleCount, 100);
}

TEST_F(DocumentTest, ReloadsTheCurrentReportPath) {
    EXPECT_EQ(doc.LoadCurrentReportPath(), CVR5XPDoc::OpenResult::Failed);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("No file name given"));

    state.currentReportPath =
        write(QStringLiteral("new.tjr"), test::fixtureBytes(QStringLiteral("demo")));
    state.reloadFlag = true;
    EXPECT_EQ(doc.ReloadIfFlagged(), CVR5XPDoc::OpenResult::Opened);
    EXPECT_FALSE(state.reloadFlag);
    EXPECT_TRUE(doc.record().isDemo());
    EXPECT_EQ(doc.ReloadIfFlagged(), CVR5XPDoc::OpenResult::Failed);  // nothing asked for
    EXPECT_EQ(prompter.shown.size(), 1u);

    // A reload that fails leaves the report on show exactly as it was, search range included.
    doc.SetSearchRangePercent(30);
    state.currentReportPath = dir.filePath(QStringLiteral("gone.tjr"));
    state.reloadFlag = true;
    EXPECT_EQ(doc.ReloadIfFlagged(), CVR5XPDoc::OpenResult::Failed);
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_TRUE(doc.record().isDemo());
    EXPECT_EQ(doc.record().searchRangePercent, 30);
    state.currentReportPath.clear();
    EXPECT_EQ(doc.LoadCurrentReportPath(), CVR5XPDoc::OpenResult::Failed);  // no name given
    EXPECT_EQ(doc.record().searchRangePercent, 30);
}

// One message names every problem of a damaged file, and says truthfully how much is shown.
TEST_F(DocumentTest, DamageMessageNamesEveryProblem) {
    const QByteArray whole = test::fixtureBytes(QStringLiteral("plain_hydraulic"));
    const QByteArray binary("\x89PNG\r\n\x1a\n\0\0", 10);
    const QByteArray cut = test::fixtureBytes(QStringLiteral("damaged_truncated"));
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList says;
        QStringList neverSays;
    } cases[] = {
        {"binary start, read whole",
         binary + whole.mid(10),
         {"does not start with a report version identifier",
          "Everything after its first 10 "
          "bytes was read and is shown"},
         {"Only what was read", "damaged:"}},
        {"binary start, cut in the samples",
         binary + cut.mid(10),
         {"is damaged: it does not start with a report version identifier, and the samples run "
          "past the end of the file",
          "Only what was read before that point is shown"},
         {"Everything"}},
        {"cut in the samples",
         cut,
         {"is damaged: the samples run past the end of the file",
          "Only what was read before that point is shown"},
         {"version identifier", "Everything"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.shown.clear();
        EXPECT_EQ(doc.Open(write(QStringLiteral("report.tjr"), c.bytes)),
                  CVR5XPDoc::OpenResult::Damaged);
        ASSERT_EQ(prompter.shown.size(), 1u);
        const QString& text = prompter.shown[0].text;
        for (const QString& s : c.says) EXPECT_TRUE(text.contains(s)) << text.toStdString();
        for (const QString& s : c.neverSays) EXPECT_FALSE(text.contains(s)) << text.toStdString();
    }
    EXPECT_EQ(doc.record().sampleCount, 100);
}

TEST(CalibrationPath, IsToldByItsName) {
    struct Case {
        const char* path;
        bool calibration;
    } cases[] = {
        {"/reports/station 4.tdc", true}, {"/reports/joint.tjr", false}, {"/reports/x.TDC", true},
        {"/a.tdc/joint.tjr", false},      {"C:\\cal\\a.tdc", true},      {"/a/b.tdcx", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CVR5XPDoc::isCalibrationPath(QString::fromUtf8(c.path)), c.calibration) << c.path;
    }
}

}  // namespace
}  // namespace vr5
