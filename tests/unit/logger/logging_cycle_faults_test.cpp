// The logging cycle on a link that fails: set-ups cut short, pages damaged on the way, loggers
// that never stop answering, a port that goes away, a window or program that ends mid-download.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "logger/logging_cycle_fixture.h"
#include "report/report_decoder.h"

namespace vr5 {
namespace {

using test::echo;
using test::pageLine;
using test::statusLine;
using test::summaryLine;

class LoggingCycleFaultsTest : public test::LoggingCycleFixture {
protected:
    // From a download begun to the request of page 0, the summary announcing `samples`.
    void toThePages(int samples) {
        ASSERT_EQ(step(QByteArray(protocol::kEmptyNotesReply)), "Wp4R\r\n");
        ASSERT_EQ(step(QByteArray("Pw04:00000000000000000000eom")), "Wp11\r\n");
        ASSERT_EQ(step(summaryLine(samples)), "Wp12-0000\r\n");
    }
    QStringList reports() const {
        return QDir(reportFolder()).entryList(QDir::Files | QDir::Hidden);
    }
    QByteArray reportBytes() const {
        QFile file(cycle->downloadedPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    JointRecord decoded() const {
        JointRecord rec;
        decodeReport(reportBytes(), rec);
        return rec;
    }
    // The report of a clean download of 25 samples on pages of 10, for comparison.
    QByteArray cleanReport() {
        SetUp();
        downloadBegun();
        toThePages(25);
        step(pageLine(0, 10, 190));
        step(pageLine(10, 10, 191));
        step(pageLine(20, 5, 192));
        EXPECT_TRUE(last.endDialog);
        const QByteArray bytes = reportBytes();
        QFile::remove(cycle->downloadedPath());
        return bytes;
    }
};

// Silence after any of the three set-up records, or Disconn. and Connect at any step, ends the
// set-up: nothing more of it goes out, no record twice or in another's place, and the operator
// is told to run the set-up again.
TEST_F(LoggingCycleFaultsTest, ASetUpInterruptedAtAnyRecordSendsNothingMoreOfIt) {
    const QByteArray heads[] = {"Wp02:", "Wp03:", "Wp04:"};
    for (int recordsSent = 0; recordsSent <= 3; ++recordsSent) {
        for (const bool reconnect : {false, true}) {
            // Silence before the first record only delays it: the status poll goes again.
            if (recordsSent == 0 && !reconnect) continue;
            SCOPED_TRACE(testing::Message() << recordsSent << " records sent, then "
                                            << (reconnect ? "Disconn./Connect" : "silence"));
            SetUp();
            connect();
            ASSERT_TRUE(cycle->startLogging());
            QList<QByteArray> sent{step()};
            const QByteArray answers[] = {statusLine(), "Pw02", "Pw03"};
            for (int i = 0; i < recordsSent; ++i) sent << step(answers[i]);
            if (reconnect) {
                cycle->disconnect();
                connect();
            } else {
                sent << step() << step();
            }
            EXPECT_EQ(cycle->display().statusText,
                      QString::fromUtf8(LoggingCycle::kSetUpInterrupted));
            // The logger answers every status poll from now on.
            sent << step() << step(statusLine()) << step(statusLine()) << step(statusLine());
            EXPECT_TRUE(cycle->polling());
            EXPECT_TRUE(cycle->display().setupButtonEnabled);

            QList<QByteArray> records;
            for (const QByteArray& command : sent) {
                if (command.startsWith("Wp0") && !command.startsWith("Wp01")) records << command;
            }
            ASSERT_EQ(records.size(), recordsSent);
            for (int i = 0; i < recordsSent; ++i) EXPECT_TRUE(records[i].startsWith(heads[i]));
            EXPECT_EQ(sent.last(), "Wp01L0s0D0p0\r\n");
        }
    }
}

// A page that is not a whole page is asked for again, and what is stored is exactly what a clean
// download stores.
TEST_F(LoggingCycleFaultsTest, ADamagedPageIsAskedForAgainBeforeAnythingOfItIsWritten) {
    const QByteArray clean = cleanReport();
    ASSERT_FALSE(clean.isEmpty());
    const QByteArray page1 = pageLine(10, 10, 191);
    QByteArray nonHex = page1;
    nonHex[20] = 'g';
    QByteArray partSample = page1;
    partSample.insert(partSample.size() - 3, "00c8");
    const struct {
        const char* what;
        QByteArray line;
    } cases[] = {
        {"cut short", page1.left(40)},
        {"without its eom", page1.chopped(3)},
        {"a character that is no hex digit", nonHex},
        {"part of a sample", partSample},
        {"shorter than its prefix", "Pw1"},
        {"garbage", "#~\x9c?!GARBAGE!?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        downloadBegun();
        toThePages(25);
        EXPECT_EQ(step(pageLine(0, 10, 190)), "Wp12-0001\r\n");
        EXPECT_EQ(step(c.line), "Wp12-0001\r\n");
        EXPECT_EQ(step(page1), "Wp12-0002\r\n");
        EXPECT_EQ(step(pageLine(20, 5, 192)), "");
        ASSERT_TRUE(last.endDialog);
        EXPECT_TRUE(cycle->incompleteReason().isEmpty());
        EXPECT_EQ(reportBytes(), clean);
        // The next case's run, the same bytes, would be found saved already.
        QFile::remove(cycle->downloadedPath());
    }
}

// A page that stays damaged ends the download as a lost link does: what arrived is kept, the
// operator is told it is incomplete and why, and nothing more is sent.
TEST_F(LoggingCycleFaultsTest, APageThatStaysDamagedEndsTheDownloadIncomplete) {
    downloadBegun();
    toThePages(25);
    step(pageLine(0, 10, 190));
    const QByteArray cut = pageLine(10, 10, 191).left(30);
    for (int i = 0; i < LoggingCycle::kPageRetries; ++i) EXPECT_EQ(step(cut), "Wp12-0001\r\n");
    EXPECT_EQ(step(cut), "");
    EXPECT_FALSE(last.endDialog) << "the window stays to say what happened";
    EXPECT_FALSE(cycle->polling());
    EXPECT_EQ(cycle->incompleteReason(),
              QStringLiteral("page 1 of the run arrived damaged 4 times"));
    EXPECT_TRUE(cycle->display().statusText.startsWith(QStringLiteral("Joint report incomplete")));
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_EQ(prompter.shown.last().icon, Prompter::Icon::Warning);
    EXPECT_TRUE(prompter.shown.last().text.contains(QStringLiteral("incomplete")));
    EXPECT_TRUE(
        prompter.shown.last().text.contains(QDir::toNativeSeparators(cycle->downloadedPath())));

    EXPECT_EQ(reports(), QStringList({QStringLiteral("VR Job 12 Joint 7 by A5.tjr")}));
    EXPECT_TRUE(state.reloadFlag);
    const JointRecord rec = decoded();
    EXPECT_EQ(rec.time.size(), 10u);
    EXPECT_TRUE(rec.problem.isDamaged()) << "the report itself says samples are missing";
    EXPECT_EQ(step(pageLine(10, 10, 191)), "");
    EXPECT_EQ(step(statusLine({.logging = '2'})), "");
}

// However many pages the logger keeps giving, a report holds no more samples than the summary
// announced, and never more than sample times can count.
TEST_F(LoggingCycleFaultsTest, ADownloadIsBoundedByItsSummaryAndBySixteenBitTimes) {
    // Twelve announced, pages of ten: the same bytes as a logger that gave exactly twelve.
    SetUp();
    downloadBegun();
    toThePages(12);
    step(pageLine(0, 10, 190));
    step(pageLine(10, 2, 191));
    ASSERT_TRUE(last.endDialog);
    const QByteArray exact = reportBytes();
    QFile::remove(cycle->downloadedPath());
    SetUp();
    downloadBegun();
    toThePages(12);
    step(pageLine(0, 10, 190));
    step(pageLine(10, 10, 191));
    ASSERT_TRUE(last.endDialog);
    EXPECT_EQ(reportBytes(), exact);

    // A summary that announces more than 65,536 samples.
    SetUp();
    downloadBegun();
    toThePages(99999);
    int pages = 0;
    for (; !last.endDialog && pages < 1000; ++pages) step(pageLine(pages * 370, 370, 150));
    EXPECT_EQ(pages, (LoggingCycle::kMaxDownloadSamples + 369) / 370);
    const QByteArray bytes = reportBytes();
    const qsizetype samplesStart = bytes.indexOf(QByteArray("99999") + '\0') + 6;
    EXPECT_EQ(bytes.size() - samplesStart, qsizetype(LoggingCycle::kMaxDownloadSamples) * 4);
}

// Once polling has ended (an unexpected line, five silent steps), a late "finished run" or joint
// information starts nothing.
TEST_F(LoggingCycleFaultsTest, AfterPollingHasEndedRepliesStartNothing) {
    for (const bool silence : {false, true}) {
        SCOPED_TRACE(silence ? "five silent steps" : "an unexpected line");
        SetUp();
        const QByteArray joint = loggedJoint();
        step(statusLine());
        if (silence) {
            for (int i = 0; i < 5; ++i) step();
        } else {
            step("#~\x9c?!GARBAGE!?");
        }
        ASSERT_FALSE(cycle->polling());
        EXPECT_FALSE(cycle->takesLineAtOnce(echo(joint)));
        EXPECT_EQ(step(echo(joint)), "");
        EXPECT_EQ(step(statusLine({.logging = '2'})), "");
        EXPECT_EQ(step(), "");
        EXPECT_TRUE(reports().isEmpty());
    }
}

// Only a file that cannot be made in an existing folder counts towards clearing the logger: a
// folder that cannot be made means the run can be stored nowhere, and the logger's copy is the
// only one.
TEST_F(LoggingCycleFaultsTest, OnlyFilesThatCannotBeMadeCountTowardsClearingTheLogger) {
    const struct {
        const char* what;
        bool folderBlocked;  // else: a folder that is there but takes no files
        bool offered;
    } cases[] = {
        {"a folder that cannot be made", true, false},
#ifdef Q_OS_LINUX
        {"a folder that takes no file", false, true},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        QString reports = QStringLiteral("/proc/self");
        if (c.folderBlocked) {
            reports = folder.filePath(QStringLiteral("blocked"));
            QFile blocker(reports);  // a file where the folder should be
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }
        makeCycle(reports);
        const QByteArray joint = loggedJoint();
        prompter.answers = {Prompter::Answer::Yes};
        step(statusLine({.logging = '2'}));
        EXPECT_EQ(step(echo(joint)), "Wp3R\r\n");
        // The logger falls silent; the download starts again and fails a second time.
        step();
        step();
        step();
        step(statusLine({.logging = '2'}));
        EXPECT_EQ(step(echo(joint)), c.offered ? "Wp13CLR\r\nWp3R\r\n" : "Wp3R\r\n");
        EXPECT_EQ(prompter.messages.contains(QString::fromUtf8(LoggingCycle::kDeleteQuestion)),
                  c.offered);
        step(QByteArray(protocol::kEmptyNotesReply));
        step(QByteArray("Pw04:00000000000000000000eom"));
        step(summaryLine(5));
        EXPECT_EQ(step(pageLine(0, 5, 100)), "") << "with nothing written the first page ends it";
        EXPECT_TRUE(last.endDialog);
        EXPECT_FALSE(state.reloadFlag);
    }
}

// The program quits while the window is open: what arrived is a report, not a lost temporary.
TEST_F(LoggingCycleFaultsTest, AProgramThatQuitsDuringADownloadKeepsWhatArrived) {
    downloadBegun();
    toThePages(25);
    step(pageLine(0, 10, 190));
    cycle.reset();
    ASSERT_EQ(reports(), QStringList({QStringLiteral("VR Job 12 Joint 7 by A5.tjr")}));
    QFile file(QDir(reportFolder()).filePath(reports()[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    JointRecord rec;
    decodeReport(file.readAll(), rec);
    EXPECT_EQ(rec.time.size(), 10u);
}

// A logger gone quiet ends the download at once, with what arrived kept and said.
TEST_F(LoggingCycleFaultsTest, ALoggerGoneQuietEndsTheDownloadIncomplete) {
    downloadBegun();
    toThePages(25);
    step(pageLine(0, 10, 190));
    for (int i = 0; i < 5; ++i) step();
    EXPECT_FALSE(cycle->polling());
    EXPECT_EQ(cycle->incompleteReason(), QStringLiteral("the logger stopped answering"));
    EXPECT_EQ(reports(), QStringList({QStringLiteral("VR Job 12 Joint 7 by A5.tjr")}));
    EXPECT_EQ(decoded().time.size(), 10u);
}

// The port failing for good: a download under way is kept, a set-up under way ends, and Connect
// starts polling again, even after polling had ended.
TEST_F(LoggingCycleFaultsTest, ALostLinkIsToldAndConnectPollsAgain) {
    downloadBegun();
    toThePages(25);
    step(pageLine(0, 10, 190));
    cycle->linkLost();
    EXPECT_EQ(cycle->link(), LoggingCycle::Link::NotConnected);
    EXPECT_EQ(cycle->incompleteReason(), QStringLiteral("the link to the logger was lost"));
    EXPECT_EQ(decoded().time.size(), 10u);
    EXPECT_TRUE(cycle->display().statusText.startsWith(QStringLiteral("Joint report incomplete")));
    EXPECT_TRUE(cycle->display().statusText.endsWith(
        QStringLiteral("Press \"Connect\" to connect again.")));
    EXPECT_EQ(cycle->display().connectButtonText, QStringLiteral("Connect"));
    EXPECT_EQ(step(statusLine()), "");
    connect();
    EXPECT_EQ(step(), "Wp01L0s0D0p0\r\n");

    // A set-up under way.
    SetUp();
    connect();
    ASSERT_TRUE(cycle->startLogging());
    step();
    step(statusLine());  // the joint information goes out
    cycle->linkLost();
    EXPECT_EQ(cycle->display().statusText, QString::fromUtf8(LoggingCycle::kSetUpLinkLost));
    connect();
    EXPECT_EQ(step(), "Wp01L0s0D0p0\r\n");
    EXPECT_EQ(step(statusLine()), "Wp01L0s0D0p0\r\n") << "nothing of the set-up goes out";

    // Polling had already ended: the link lost and found again polls again.
    SetUp();
    connect();
    for (int i = 0; i < 5; ++i) step();
    ASSERT_FALSE(cycle->polling());
    cycle->linkLost();
    EXPECT_EQ(cycle->display().statusText, QString::fromUtf8(LoggingCycle::kLinkLost));
    connect();
    EXPECT_TRUE(cycle->polling());
    EXPECT_EQ(step(), "Wp01L0s0D0p0\r\n");
}

}  // namespace
}  // namespace vr5
