#include "setup/setup_runner.h"

#include <gtest/gtest.h>

#include <QList>
#include <QStringList>
#include <functional>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

using Result = SetupPages::Result;
using Link = SetupHost::Link;
using Answer = Prompter::Answer;
using Icon = Prompter::Icon;
constexpr Result N = Result::Next;
constexpr Result B = Result::Back;
constexpr Result L = Result::Leave;
constexpr Answer Yes = Answer::Yes;
constexpr Answer No = Answer::No;
constexpr Link Off = Link::NotConnected;
constexpr Link On = Link::Connected;
constexpr int kNever = -1;  // "Parameter Entered" never stored

const char* const kHyd = "ZA1 HF";     // a hydraulic machine
const char* const kMech = "ZG Mech.";  // the mechanical one
const char* const kSummary = " 1. 2024/05/06  07:08:09\n 2. Joint Number: 4\n";
const QString kReuse = QStringLiteral("Use these data for next joint?: ") + kSummary;
const QString kConnect = QString::fromUtf8(
    "Fusilog\u00AE Not Connected: Connect to Fusilog\u00AE?  (Please make sure it is turned on)");
const QString kNotConnected = QStringLiteral("Cannot Proceed!: Probe not connected!");
const QString kLogging = QStringLiteral("Logging...: Logging in progress.  Cannot start new log!");

// The Log/Status dialog as the pages see it. Like the dialog, it hands out the logged heater
// temperature only while the Heater Temperature page is up.
class FakeHost final : public SetupHost {
public:
    Link linkState() const override { return link; }
    void connectLogger() override {
        events << QStringLiteral("connect");
        link = linkAfterConnect;
    }
    QString setupSummary() const override { return QString::fromLatin1(kSummary); }
    QString loggedHeaterText() const override { return page == 6 ? heater : QString(); }
    void clearLoggedHeaterText() override {
        events << QStringLiteral("clear heater");
        heater.clear();
    }
    void setPageIndex(int index) override {
        page = index;
        pageIndexes << index;
    }
    void resetProbeIdentity() override { events << QStringLiteral("reset probe"); }
    void startLogging() override { events << QStringLiteral("start"); }

    Link link = Link::Connected;
    Link linkAfterConnect = Link::Connected;
    QString heater;
    int page = 0;
    QList<int> pageIndexes;
    QStringList events;
};

// Closes each page with the next scripted button and remembers which pages were shown.
class ScriptedPages final : public SetupPages {
public:
    Result showPage(int index) override {
        shown << index;
        if (whileShown) whileShown(index);
        if (results.isEmpty()) {
            ADD_FAILURE() << "page " << index << " shown after the script ended";
            return Result::Leave;
        }
        return results.takeFirst();
    }

    QList<Result> results;
    QList<int> shown;
    std::function<void(int)> whileShown;
};

// One press of "Setup...": the remembered values, the dialog, the pages and the operator.
struct Session {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    FakeHost host;
    ScriptedPages pages;

    // The machine, "Parameter Entered" (none: never stored), the answers and the buttons.
    Session(const char* model, int entered, QList<Answer> answers, QList<Result> results) {
        state.currentReportPath = QStringLiteral("/reports/last.tjr");
        state.currentMachineModelText = QString::fromLatin1(model);
        if (entered != kNever) settings.write(keys::ParameterEntered, entered);
        prompter.answers = answers;
        pages.results = results;
    }
    bool run() { return SetupRunner({settings, state, prompter}, host, pages).run(); }
    // Every message and question, as "caption: text".
    QStringList prompts() const {
        QStringList all;
        for (const auto& p : prompter.shown) all << p.caption + QStringLiteral(": ") + p.text;
        return all;
    }
};

TEST(SetupRunner, PagesFollowTheButtonsAndTheMachine) {
    struct Case {
        const char* name;
        const char* model;
        int entered;
        QList<Answer> answers;
        QList<Result> results;
        QList<int> shown;
        bool started;
    } cases[] = {
        {"first use", kHyd, kNever, {}, {N, N, N, N, N, N, N, N}, {0, 1, 2, 3, 4, 5, 6, 7}, true},
        {"declined before", kHyd, 0, {}, {B}, {0}, false},
        {"back on Machine", kHyd, kNever, {}, {N, B, B}, {0, 1, 0}, false},
        {"reuse", kHyd, 1, {Yes}, {N, N, N, N, N}, {3, 4, 5, 6, 7}, true},
        {"reuse, back to Machine", kHyd, 1, {Yes}, {B, B, B, B}, {3, 2, 1, 0}, false},
        {"reuse declined", kHyd, 1, {No}, {B}, {0}, false},
        {"reuse cancelled", kHyd, 1, {Answer::Cancel}, {}, {}, false},
        {"mechanical", kMech, kNever, {}, {N, N, N, N, N, N, N}, {0, 1, 2, 3, 5, 6, 7}, true},
        {"mechanical, back to Fitting", kMech, 1, {Yes}, {B, B, B, B}, {3, 2, 1, 0}, false},
        {"back from Drag Pressure", kHyd, 1, {Yes}, {N, B, B, B, B, B}, {3, 4, 3, 2, 1, 0}, false},
        {"back from Rec Pressure", kHyd, 1, {Yes}, {N, N, B, B, L}, {3, 4, 5, 4, 3}, false},
        {"mechanical, back from Rec Pressure", kMech, 1, {Yes}, {N, B, L}, {3, 5, 3}, false},
        {"back from Heater", kHyd, 1, {Yes}, {N, N, N, B, B, L}, {3, 4, 5, 6, 5, 4}, false},
        {"mechanical, back from Heater",
         kMech,
         kNever,
         {},
         {N, N, N, N, N, B, N, N, N, N},
         {0, 1, 2, 3, 5, 6, 3, 5, 6, 7},
         true},
        {"back from Ready", kHyd, 1, {Yes}, {N, N, N, N, B, N, N}, {3, 4, 5, 6, 7, 6, 7}, true},
        {"Ready's Cancel", kHyd, 1, {Yes}, {N, N, N, N, L}, {3, 4, 5, 6, 7}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s(c.model, c.entered, c.answers, c.results);
        EXPECT_EQ(s.run(), c.started);
        EXPECT_EQ(s.pages.shown, c.shown);
        EXPECT_TRUE(s.pages.results.isEmpty());
        // Connected throughout: the only question is the reuse question, asked when a set-up
        // was sent before.
        EXPECT_EQ(s.prompts(), c.entered > 0 ? QStringList{kReuse} : QStringList{});
        if (c.entered > 0) {
            EXPECT_EQ(s.prompter.shown[0].icon, Icon::None);
        }
        // Only a declined reuse forgets the set-up; nothing else here touches the flag.
        const int expectedEntered = c.answers == QList<Answer>{No} ? 0 : c.entered;
        EXPECT_EQ(s.settings.read(keys::ParameterEntered, -1), expectedEntered);
        EXPECT_EQ(s.host.events.contains(QStringLiteral("start")), c.started);
        EXPECT_EQ(s.state.currentReportPath.isEmpty(), c.started);
        EXPECT_EQ(s.host.events.last(), QStringLiteral("clear heater"));
        EXPECT_EQ(s.host.page, 0);
    }
}

TEST(SetupRunner, MachineChosenOnTheWayDecidesTheNextPages) {
    // The Machine page replaces the current machine; the pages after it follow the new one.
    Session s(kHyd, kNever, {}, {N, N, N, N, N, N, N, N});
    s.pages.whileShown = [&s](int index) {
        if (index == 0) s.state.currentMachineModelText = QString::fromLatin1(kMech);
    };
    EXPECT_TRUE(s.run());
    EXPECT_EQ(s.pages.shown, (QList<int>{0, 1, 2, 3, 5, 6, 7}));
}

TEST(SetupRunner, OffersToConnectBeforeDragPressureAndHeaterTemperature) {
    struct Case {
        const char* name;
        const char* model;
        Link link;
        Link afterConnect;
        QList<Answer> answers;
        QList<Result> results;
        QList<int> shown;
        QStringList prompts;
        QStringList events;
        bool started;
    } cases[] = {
        {"connects on Drag Pressure",
         kHyd,
         Off,
         On,
         {Yes},
         {N, N, N, N},
         {4, 5, 6, 7},
         {kConnect},
         {"reset probe", "connect", "clear heater", "start", "clear heater"},
         true},
        {"declined twice: Ready refuses",
         kHyd,
         Off,
         On,
         {No, No},
         {N, N, N},
         {4, 5, 6},
         {kConnect, kConnect, kNotConnected},
         {"reset probe", "clear heater", "clear heater"},
         false},
        {"connecting failed: asked again",
         kHyd,
         Off,
         Off,
         {Yes, Yes},
         {N, N, N},
         {4, 5, 6},
         {kConnect, kConnect, kNotConnected},
         {"reset probe", "connect", "connect", "clear heater", "clear heater"},
         false},
        {"connects on Heater Temperature",
         kHyd,
         Off,
         On,
         {No, Yes},
         {N, N, N, N},
         {4, 5, 6, 7},
         {kConnect, kConnect},
         {"reset probe", "connect", "clear heater", "start", "clear heater"},
         true},
        {"mechanical: asked on Heater Temperature only",
         kMech,
         Off,
         On,
         {Yes},
         {N, N, N},
         {5, 6, 7},
         {kConnect},
         {"connect", "clear heater", "start", "clear heater"},
         true},
        {"asked again on every visit",
         kHyd,
         Off,
         On,
         {No, No},
         {B, N, L},
         {4, 3, 4},
         {kConnect, kConnect},
         {"reset probe", "reset probe", "clear heater"},
         false},
        {"connected: no question",
         kHyd,
         On,
         On,
         {},
         {N, N, N, N},
         {4, 5, 6, 7},
         {},
         {"reset probe", "clear heater", "start", "clear heater"},
         true},
        {"logging: Ready refuses",
         kHyd,
         Link::Logging,
         Link::Logging,
         {},
         {N, N, N},
         {4, 5, 6},
         {kLogging},
         {"reset probe", "clear heater", "clear heater"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Start at Notes: the pages before have no work around them.
        Session s(c.model, 1, QList<Answer>{Yes} + c.answers, QList<Result>{N} + c.results);
        s.host.link = c.link;
        s.host.linkAfterConnect = c.afterConnect;
        EXPECT_EQ(s.run(), c.started);
        EXPECT_EQ(s.pages.shown, (QList<int>{3} + c.shown));
        EXPECT_EQ(s.prompts(), QStringList{kReuse} + c.prompts);
        EXPECT_EQ(s.host.events, c.events);
        for (const auto& p : s.prompter.shown.mid(1)) {
            const Icon expected = p.text.startsWith(u"Connect")   ? Icon::Question
                                  : p.text.startsWith(u"Probe")   ? Icon::Error
                                  : p.text.startsWith(u"Logging") ? Icon::Warning
                                                                  : Icon::None;
            EXPECT_EQ(p.icon, expected) << p.text.toStdString();
        }
        // A refusal ends the set-up, but what was entered stays for the next try.
        EXPECT_EQ(s.settings.read(keys::ParameterEntered, -1), 1);
        EXPECT_EQ(s.settings.read(keys::HtrTemp), c.shown.contains(6) ? "---" : "");
        EXPECT_EQ(s.state.currentReportPath.isEmpty(), c.started);
    }
}

TEST(SetupRunner, KeepsTheLoggedHeaterTemperatureHoweverTheHeaterPageCloses) {
    struct Case {
        const char* name;
        const char* logged;  // logged by the probe while the Heater Temperature page is up
        QList<Result> results;
        QList<int> shown;
        const char* stored;
    } cases[] = {
        {"next", "452 \u00B0F", {N, L}, {6, 7}, "452 \u00B0F"},
        {"back", "233 \u00B0C", {B, L}, {6, 5}, "233 \u00B0C"},
        {"nothing logged", "", {N, L}, {6, 7}, "---"},
        {"nothing logged, back", "", {B, L}, {6, 5}, "---"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s(kHyd, 1, {Yes}, QList<Result>{N, N, N} + c.results);
        s.settings.write(keys::HtrTemp, QStringLiteral("old"));
        s.pages.whileShown = [&s, &c](int index) {
            if (index == 6) s.host.heater = QString::fromUtf8(c.logged);
            // The Ready page shows what was stored after the heater page.
            if (index == 7) {
                EXPECT_EQ(s.settings.read(keys::HtrTemp), QString::fromUtf8(c.stored));
                EXPECT_TRUE(s.host.heater.isEmpty());
            }
        };
        EXPECT_FALSE(s.run());
        EXPECT_EQ(s.pages.shown, (QList<int>{3, 4, 5} + c.shown));
        EXPECT_EQ(s.settings.read(keys::HtrTemp), QString::fromUtf8(c.stored));
        EXPECT_TRUE(s.host.heater.isEmpty());
    }
}

TEST(SetupRunner, TellsTheDialogWhichPageIsUp) {
    Session s(kHyd, 1, {Yes}, {N, N, N, B, N, N, N});
    EXPECT_TRUE(s.run());
    // Before the question, before every page, and back to 0 at the end.
    EXPECT_EQ(s.host.pageIndexes, (QList<int>{0, 3, 4, 5, 6, 5, 6, 7, 0}));
    // Logging starts before the current report is forgotten and the heater text emptied.
    EXPECT_EQ(s.host.events, (QStringList{"reset probe", "clear heater", "clear heater", "start",
                                          "clear heater"}));
    EXPECT_TRUE(s.state.currentReportPath.isEmpty());
}

}  // namespace
}  // namespace vr5
