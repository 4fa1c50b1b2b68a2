#include "logger/diagnostics_session.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"

namespace vr5 {
namespace {

class DiagnosticsSessionTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    DiagnosticsSession session{SetupContext{settings, state, prompter}};
};

TEST_F(DiagnosticsSessionTest, RepliesFillTheDisplayAndTheOffsetsOnce) {
    session.opened(true);
    EXPECT_EQ(session.step(std::nullopt).commands, QList<QByteArray>{"Wp05\r\n"});
    auto out = session.step(QByteArray("Pw05LPp 123c01234t440C00000b099iProbe 7"));
    EXPECT_EQ(out.commands, QList<QByteArray>{"Wp05\r\n"});
    const DiagnosticsDisplay& d = session.display();
    EXPECT_EQ(d.button, QStringLiteral("Button Pressed"));
    EXPECT_EQ(d.battery, QStringLiteral("Bat: 99%"));
    EXPECT_EQ(d.pressure, QStringLiteral("123 psi"));
    EXPECT_EQ(d.pressureOffset, QStringLiteral("Offset: 01234"));
    EXPECT_EQ(d.temperature, QStringLiteral("440 \u00B0F"));
    EXPECT_EQ(d.temperatureOffset, QStringLiteral("Offset: 00000"));
    EXPECT_EQ(d.probeCaption, QString()) << "the caption blinks: first it goes blank";
    EXPECT_TRUE(session.takeOffsetsShown());
    EXPECT_EQ(session.pressureOffset(), 1234);
    EXPECT_EQ(session.temperatureOffset(), 8000) << "a reported 0 becomes 8000";

    session.step(QByteArray("Pw05LRp    c00777t   C00555b005iProbe 7"));
    EXPECT_EQ(d.button, QStringLiteral("Button Released"));
    EXPECT_EQ(d.pressure, QStringLiteral("-- psi"));
    EXPECT_EQ(d.probeCaption, QStringLiteral("Probe 7"));
    EXPECT_EQ(d.pressureOffset, QStringLiteral("Offset: 00777"));
    EXPECT_FALSE(session.takeOffsetsShown()) << "the boxes keep what they hold";
    EXPECT_EQ(session.pressureOffset(), 1234);
}

TEST_F(DiagnosticsSessionTest, OffsetsAreCheckedBeforeTheyAreSent) {
    session.opened(true);
    const struct {
        QString pressure, temperature;
        bool sent;
    } cases[] = {
        {"5", "8000", false},  {"8000", "32001", false}, {"x", "8000", false},
        {"10", "32000", true}, {" 9000 ", "8000", true},
    };
    for (const auto& c : cases) {
        prompter.messages.clear();
        EXPECT_EQ(session.changeOffset(c.pressure, c.temperature), c.sent)
            << c.pressure.toStdString();
        const auto commands = session.step(std::nullopt).commands;
        EXPECT_EQ(commands.first().startsWith("Wp06"), c.sent);
        EXPECT_EQ(prompter.messages.isEmpty(), c.sent);
    }
    session.changeOffset(QStringLiteral("9000"), QStringLiteral("8000"));
    EXPECT_EQ(session.step(std::nullopt).commands, QList<QByteArray>{"Wp06c9000C8000\r\n"});
    prompter.messages.clear();
    session.changeOffset(QStringLiteral("5"), QStringLiteral("8000"));
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("Enter an integer between 10 and 32000.")});
}

TEST_F(DiagnosticsSessionTest, ABadReplyEndsTheWindowAndShowsItsBytes) {
    session.opened(true);
    const auto out =
        session.step(QByteArray("Pw\x9C"
                                "1"));
    EXPECT_TRUE(out.endDialog);
    EXPECT_TRUE(out.commands.isEmpty());
    EXPECT_EQ(prompter.captions.last(), QStringLiteral("VR5 Probe Diagnostics"));
    EXPECT_EQ(prompter.messages.last(), QStringLiteral("Pw\u009C1--50779C31"));
    EXPECT_FALSE(session.connected());
    EXPECT_TRUE(session.step(std::nullopt).commands.isEmpty());

    DiagnosticsSession shortReply{SetupContext{settings, state, prompter}};
    shortReply.opened(true);
    EXPECT_TRUE(shortReply.step(QByteArray("Pw05LPp 123c01234t440C00000").left(26)).endDialog)
        << "26 characters";
}

TEST_F(DiagnosticsSessionTest, ClearAsksAndNeedsAConnection) {
    EXPECT_FALSE(session.clearRequested()) << "unconnected: nothing, not even the question";
    EXPECT_TRUE(prompter.messages.isEmpty());
    session.opened(true);
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    EXPECT_FALSE(session.clearRequested());
    EXPECT_EQ(session.step(std::nullopt).commands, QList<QByteArray>{"Wp05\r\n"});
    EXPECT_TRUE(session.clearRequested());
    EXPECT_EQ(prompter.captions.last(), QStringLiteral("Clear Report?"));
    // The next step sends the clear in place of its poll, even with new offsets waiting.
    session.changeOffset(QStringLiteral("9000"), QStringLiteral("8000"));
    EXPECT_EQ(session.step(std::nullopt).commands, QList<QByteArray>{"Wp13CLR\r\n"});
    EXPECT_EQ(session.step(std::nullopt).commands, QList<QByteArray>{"Wp06c9000C8000\r\n"});

    DiagnosticsSession failed{SetupContext{settings, state, prompter}};
    failed.opened(false);
    EXPECT_EQ(prompter.captions.last(), QStringLiteral("Error"));
    EXPECT_TRUE(failed.step(std::nullopt).commands.isEmpty());
}

}  // namespace
}  // namespace vr5
