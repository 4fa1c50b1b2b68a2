// A logger that keeps offering a finished run after it was read: the run is saved once, the
// operator is offered to clear it only once its saved copy is found byte for byte, and "Start"
// says why it cannot send a set-up.

#include <QDir>
#include <QFile>

#include "logger/diagnostics_session.h"
#include "logger/logging_cycle_fixture.h"

namespace vr5 {
namespace {

using test::echo;
using test::statusLine;

class SavedRunTest : public test::LoggingCycleFixture {
protected:
    // A fresh window on the same logger: connected and polled once.
    void reconnect(const QString& reports) {
        makeCycle(reports);
        connect();
        step();
    }
    static QString nameIn(const QString& folder, const char* name) {
        return QDir(folder).filePath(QString::fromUtf8(name));
    }
    static QStringList filesIn(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }
    QString clearQuestion(const char* name) const {
        return QString::fromUtf8(LoggingCycle::kClearQuestion).arg(QString::fromUtf8(name));
    }
};

TEST_F(SavedRunTest, ARunAlreadySavedIsNotSavedAgain) {
    // The run as the first download stores it.
    const QByteArray joint = loggedJoint();
    download(joint, 25, 10);
    ASSERT_TRUE(last.endDialog);
    QFile first(cycle->downloadedPath());
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray run = first.readAll();
    QByteArray changed = run;
    changed[changed.size() - 1] = static_cast<char>(changed.back() ^ 1);

    const struct {
        const char* name;  // the report already in the folder
        QByteArray bytes;
        const char* expected;  // where the download ends up
        bool alreadySaved;
    } cases[] = {
        {"VR Job 12 Joint 7 by A5.tjr", run, "VR Job 12 Joint 7 by A5.tjr", true},
        // Renamed by the operator: still the same run.
        {"North weld 7.TJR", run, "North weld 7.TJR", true},
        // Same size, one byte different: another run, kept beside it.
        {"VR Job 12 Joint 7 by A5.tjr", changed, "VR Job 12 Joint 7 by A5 (2).tjr", false},
        // The same bytes in a file that is no report are not looked at.
        {"VR Job 12 Joint 7 by A5.bak", run, "VR Job 12 Joint 7 by A5.tjr", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString reports = folder.filePath(QStringLiteral("case%1").arg(++n));
        ASSERT_TRUE(QDir().mkpath(reports));
        QFile existing(nameIn(reports, c.name));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write(c.bytes);
        existing.close();
        settings.write(keys::JointNumber, 8);
        state = ProgramState();
        prompter.messages.clear();
        prompter.answers = {Prompter::Answer::No};

        reconnect(reports);
        download(joint, 25, 10);
        EXPECT_EQ(last.alreadySaved, c.alreadySaved);
        EXPECT_EQ(last.endDialog, !c.alreadySaved);
        EXPECT_EQ(cycle->downloadedPath(), nameIn(reports, c.expected));
        EXPECT_EQ(state.currentReportPath, nameIn(reports, c.expected));
        EXPECT_TRUE(state.reloadFlag);
        EXPECT_EQ(settings.read(keys::JointNumber, 0), c.alreadySaved ? 8 : 9);
        EXPECT_EQ(filesIn(reports).size(), c.alreadySaved ? 1 : 2)
            << filesIn(reports).join(u',').toStdString();
        ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
        EXPECT_EQ(existing.readAll(), c.bytes);
        existing.close();
        // The clear is offered only for a run found saved.
        EXPECT_EQ(prompter.messages.contains(clearQuestion(c.expected)), c.alreadySaved);
    }
}

TEST_F(SavedRunTest, ASavedRunIsOfferedForClearingAndTheNextJointFollows) {
    const QByteArray joint = loggedJoint();
    download(joint, 12, 5);
    const QString saved = cycle->downloadedPath();

    for (const bool yesAtOnce : {true, false}) {
        SCOPED_TRACE(yesAtOnce ? "cleared after the download" : "cleared at Start");
        prompter.answers = {yesAtOnce ? Prompter::Answer::Yes : Prompter::Answer::No};
        reconnect(reportFolder());
        download(joint, 12, 5);
        ASSERT_TRUE(last.alreadySaved);
        const LogStatusDisplay& d = cycle->display();
        EXPECT_EQ(cycle->savedRun(), saved);
        EXPECT_TRUE(d.setupButtonEnabled);
        EXPECT_TRUE(cycle->polling());
        if (yesAtOnce) {
            EXPECT_EQ(last.commands, QList<QByteArray>({"Wp13CLR\r\n"}));
            EXPECT_EQ(d.statusText, QString::fromUtf8(LoggingCycle::kClearing));
        } else {
            EXPECT_TRUE(last.commands.isEmpty());
            // The logger keeps offering the run: it is not downloaded again.
            EXPECT_EQ(step(), "Wp01L0s0D0p0\r\n");
            EXPECT_EQ(step(statusLine({.logging = '2'})), "Wp01L0s0D0p0\r\n");
            EXPECT_EQ(d.statusText, QString::fromUtf8(LoggingCycle::kSavedRunText)
                                        .arg(QStringLiteral("VR Job 12 Joint 7 by A5.tjr")));
            // "Start" asks again; No sends nothing, and says why.
            prompter.answers = {Prompter::Answer::No};
            EXPECT_FALSE(cycle->startLogging());
            EXPECT_TRUE(prompter.messages.last().startsWith(
                QStringLiteral("The joint is not set up: the logger still holds the joint saved "
                               "as VR Job 12 Joint 7 by A5.tjr.")));
            EXPECT_EQ(step(statusLine({.logging = '2'})), "Wp01L0s0D0p0\r\n");
            // Yes: the clear goes out with the next reply, before the set-up.
            prompter.answers = {Prompter::Answer::Yes};
            EXPECT_TRUE(cycle->startLogging());
            EXPECT_EQ(step(statusLine({.logging = '2'})), "Wp13CLR\r\n");
        }
        // The logger's answer to the clear is not examined; polling goes on.
        EXPECT_EQ(step("Pw05LRp   0c08192t425C08000b085"), "Wp01L0s0D0p0\r\n");
        EXPECT_EQ(d.statusText, QString::fromUtf8(LoggingCycle::kCleared));
        const QByteArray next = step(statusLine());
        EXPECT_TRUE(cycle->savedRun().isEmpty());
        EXPECT_EQ(next.startsWith("Wp02:"), !yesAtOnce) << next.left(20).toStdString();
        EXPECT_EQ(filesIn(reportFolder()),
                  QStringList({QStringLiteral("VR Job 12 Joint 7 by A5.tjr")}));
        EXPECT_EQ(settings.read(keys::JointNumber, 0), 8);
    }
}

TEST_F(SavedRunTest, StartThatCannotSendTheSetUpSaysWhy) {
    // The logger holds a run not saved yet: it is downloaded first, never offered for clearing.
    connect();
    step();
    EXPECT_EQ(step(statusLine({.logging = '2'})), "Wp2R\r\n");
    prompter.messages.clear();
    EXPECT_FALSE(cycle->startLogging());
    EXPECT_EQ(prompter.messages, QStringList({QString::fromUtf8(LoggingCycle::kNotSentUnsaved)}));

    // The logger stopped answering: nothing would ever be sent.
    SetUp();
    connect();
    for (int i = 0; i < 5; ++i) step();
    ASSERT_FALSE(cycle->polling());
    EXPECT_FALSE(cycle->startLogging());
    EXPECT_EQ(prompter.messages.last(), QString::fromUtf8(LoggingCycle::kNotSentSilent));

    // Not connected: the set-up waits for the connect, and the window says so.
    SetUp();
    EXPECT_TRUE(cycle->startLogging());
    EXPECT_EQ(cycle->display().statusText, QString::fromUtf8(LoggingCycle::kWaitsForConnect));
    connect();
    step();
    EXPECT_TRUE(step(statusLine()).startsWith("Wp02:"));
}

TEST_F(SavedRunTest, AFailedConnectNamesThePortAndWhereToChooseAnother) {
    const QString first = QString::fromUtf8(LoggingCycle::kConnectFailed);
    const struct {
        PortTried port;
        QString expected;
    } cases[] = {
        {{"COM8", "/dev/rfcomm0"},
         first + "\n\nTried COM8 (/dev/rfcomm0).\nChoose another port in File > Settings."},
        {{"COM3", "COM3"}, first + "\n\nTried COM3.\nChoose another port in File > Settings."},
        {{}, first},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port.name.toStdString());
        cycle->beginConnect();
        cycle->connectFinished(false, c.port);
        EXPECT_EQ(prompter.messages.last(), c.expected);
        EXPECT_TRUE(prompter.messages.last().startsWith(first + u'\n') || c.port.name.isEmpty());

        DiagnosticsSession diagnostics{SetupContext{settings, state, prompter}};
        diagnostics.opened(false, c.port);
        EXPECT_EQ(prompter.messages.last(), c.expected);
        EXPECT_EQ(prompter.captions.last(), QStringLiteral("Error"));
    }
}

}  // namespace
}  // namespace vr5
