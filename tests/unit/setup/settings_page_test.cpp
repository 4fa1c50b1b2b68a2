#include "settings/settings_page.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

class SettingsPageTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

TEST_F(SettingsPageTest, FirstOpeningShowsTheDefaults) {
    SettingsPage page(context);
    page.load();
    EXPECT_EQ(page.portIndex, 5);
    EXPECT_EQ(SettingsPage::portNames().value(page.portIndex), "COM6");
    EXPECT_FALSE(page.demo);
    EXPECT_EQ(page.pressureUnit, 0);
    EXPECT_EQ(page.temperatureUnit, 0);
    EXPECT_EQ(page.offset, "0");
    EXPECT_TRUE(settings.values().isEmpty());

    const QStringList ports = SettingsPage::portNames();
    ASSERT_EQ(ports.size(), 200);
    EXPECT_EQ(ports.first(), "COM1");
    EXPECT_EQ(ports[11], "COM12");
    EXPECT_EQ(ports.last(), "COM200");
    EXPECT_EQ(SettingsPage::pressureUnitNames(), (QStringList{"psi", "bar", "kg/cm\u00B2", "MPa"}));
    EXPECT_EQ(SettingsPage::temperatureUnitNames(), (QStringList{"\u00B0F", "\u00B0C"}));
}

// The port list shows the devices present first; each entry still stands for the stored index
// of its COM name, every COM name exactly once.
TEST(SettingsPagePorts, DevicesPresentComeFirstMarkedAndKeepTheirIndex) {
    struct Case {
        const char* what;
        QMap<unsigned, QString> mapped;
        QStringList newDevices;
        QMap<unsigned, QString> present;
        // The first entries, as "text|stored index"; every other COM name follows in order.
        QStringList first;
    } cases[] = {
        {"nothing present", {{8, "/dev/rfcomm0"}}, {}, {}, {"COM1|0", "COM2|1"}},
        {"a built-in port and a link",
         {{1, "/dev/ttyACM0"}, {8, "/dev/rfcomm0"}},
         {"/dev/ttyUSB0"},
         {{8, "/dev/rfcomm0"}, {3, "/dev/ttyS2"}},
         {"COM3  (/dev/ttyS2)  \u2014 present|2", "COM8  (/dev/rfcomm0)  \u2014 present|7",
          "/dev/ttyUSB0 \u2014 present, new COM port|-1", "COM1  (/dev/ttyACM0)|0", "COM2|1",
          "COM4|3"}},
        {"the last name",
         {},
         {},
         {{200, "/dev/ttyS199"}},
         {"COM200  (/dev/ttyS199)  \u2014 present|199", "COM1|0"}},
        // A number beyond the list is no entry of it.
        {"beyond the list", {{201, "/dev/x"}}, {}, {{0, "/dev/y"}, {201, "/dev/x"}}, {"COM1|0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QList<SettingsPage::PortChoice> choices =
            SettingsPage::portChoices(c.mapped, c.newDevices, c.present);
        ASSERT_EQ(choices.size(), 200 + c.newDevices.size());
        QStringList first;
        for (qsizetype i = 0; i < c.first.size(); ++i)
            first << choices[i].text + u'|' + QString::number(choices[i].portIndex);
        EXPECT_EQ(first, c.first);
        // Present ones first, then the rest; each COM index once.
        QList<int> indexes;
        bool rest = false;
        for (const auto& choice : choices) {
            EXPECT_FALSE(rest && choice.present) << choice.text.toStdString();
            rest = rest || !choice.present;
            EXPECT_EQ(choice.present, choice.text.contains(QStringLiteral("present")));
            if (choice.portIndex < 0) {
                EXPECT_TRUE(c.newDevices.contains(choice.newDevice));
            } else {
                EXPECT_TRUE(
                    choice.text.startsWith(QStringLiteral("COM%1").arg(choice.portIndex + 1)));
                indexes << choice.portIndex;
            }
        }
        std::sort(indexes.begin(), indexes.end());
        for (int k = 0; k < 200; ++k) ASSERT_EQ(indexes.value(k, -1), k);
    }
}

TEST_F(SettingsPageTest, StoredValuesAreShownAndOnesNoControlHoldsFallBack) {
    struct Case {
        int port, demo, pressure, temperature, offset;
        int shownPort;
        bool shownDemo;
        int shownPressure, shownTemperature;
        const char* shownOffset;
    } cases[] = {
        {11, 1, 3, 1, -15, 11, true, 3, 1, "-15"}, {0, 0, 2, 0, 200, 0, false, 2, 0, "200"},
        {199, 7, 1, 1, 0, 199, true, 1, 1, "0"},   {500, 0, 9, 2, 0, 5, false, 0, 0, "0"},
        {-1, 0, -1, -4, 0, 5, false, 0, 0, "0"},   {200, 0, 4, 0, 900, 5, false, 0, 0, "900"},
    };
    for (const Case& c : cases) {
        settings.write(keys::ComPort, c.port);
        settings.write(keys::DemoMode, c.demo);
        settings.write(keys::PressUnitInx, c.pressure);
        settings.write(keys::TempUnitInx, c.temperature);
        settings.write(keys::TempOffset, c.offset);
        SettingsPage page(context);
        page.load();
        SCOPED_TRACE(c.port);
        EXPECT_EQ(page.portIndex, c.shownPort);
        EXPECT_EQ(page.demo, c.shownDemo);
        EXPECT_EQ(page.pressureUnit, c.shownPressure);
        EXPECT_EQ(page.temperatureUnit, c.shownTemperature);
        EXPECT_EQ(page.offset, c.shownOffset);
    }
}

TEST_F(SettingsPageTest, OkChecksTheOffsetAndStoresEverything) {
    struct Case {
        const char* typed;
        const char* message;  // nullptr: accepted
        int stored;
    } cases[] = {
        {"250", "Enter an integer between -200 and 200.", 0},
        {"-201", "Enter an integer between -200 and 200.", 0},
        {"99999999999999999999", "Enter an integer.", 0},
        {"abc", "Enter an integer.", 0},
        {"", "Enter an integer.", 0},
        {"1e3", "Enter an integer.", 0},
        {"12.5", "Enter an integer.", 0},
        {" 12 ", nullptr, 12},
        {"200", nullptr, 200},
        {"-200", nullptr, -200},
        {"0", nullptr, 0},
        {"+7", nullptr, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        MemorySettingsStore store;
        store.write(keys::TempOffset, 33);
        test::ScriptedPrompter asked;
        SettingsPage page({store, state, asked});
        page.load();
        page.portIndex = 11;
        page.demo = true;
        page.pressureUnit = 1;
        page.temperatureUnit = 1;
        page.offset = QString::fromUtf8(c.typed);
        const QMap<QString, QString> before = store.values();

        const bool closes = page.accept();
        if (c.message) {
            EXPECT_FALSE(closes);
            ASSERT_EQ(asked.shown.size(), 1);
            EXPECT_EQ(asked.shown[0].text, c.message);
            EXPECT_EQ(asked.shown[0].caption, "Tarnell VR5-XP");
            EXPECT_EQ(asked.shown[0].icon, Prompter::Icon::Warning);
            // Not even the port or the units change.
            EXPECT_EQ(store.values(), before);
            continue;
        }
        EXPECT_TRUE(closes);
        EXPECT_TRUE(asked.shown.isEmpty());
        EXPECT_EQ(store.read(keys::TempOffset, -999), c.stored);
        EXPECT_EQ(store.read(keys::ComPort, -1), 11);  // COM12
        EXPECT_EQ(store.read(keys::DemoMode, -1), 1);
        EXPECT_EQ(store.read(keys::PressUnitInx, -1), 1);
        EXPECT_EQ(store.read(keys::TempUnitInx, -1), 1);
        EXPECT_EQ(store.read(keys::GuideSound, -1), 1);
        EXPECT_EQ(store.read(keys::ArchiveDownloads, -1), 1);
        EXPECT_EQ(store.read(keys::ArchiveLocation, QStringLiteral("unset")), QString());
        EXPECT_EQ(store.values().size(), 8);
    }
}

TEST_F(SettingsPageTest, FirstOkStoresThePortSoLogStatusCanOpen) {
    SettingsPage page(context);
    page.load();
    ASSERT_TRUE(page.accept());
    EXPECT_EQ(settings.read(keys::ComPort, -1), 5);
    EXPECT_EQ(settings.read(keys::DemoMode, -1), 0);
    EXPECT_EQ(settings.read(keys::PressUnitInx, -1), 0);
    EXPECT_EQ(settings.read(keys::TempUnitInx, -1), 0);
    EXPECT_EQ(settings.read(keys::TempOffset, -1), 0);
}

TEST_F(SettingsPageTest, FourQuickClicksOnPortAskToConnect) {
    // Each step: ticks of 100 ms that pass, then a click on "Port:" (or none).
    struct Step {
        int ticksBefore;
        bool click;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        Prompter::Answer answer;
        int questions;
        bool opensDiagnostics;
    } cases[] = {
        {"four at once",
         {{0, true}, {0, true}, {0, true}, {0, true}},
         Prompter::Answer::Ok,
         1,
         true},
        {"four within three seconds",
         {{5, true}, {10, true}, {10, true}, {10, true}},
         Prompter::Answer::Ok,
         1,
         true},
        {"cancel opens nothing",
         {{0, true}, {1, true}, {1, true}, {1, true}},
         Prompter::Answer::Cancel,
         1,
         false},
        {"three, a pause, then one",
         {{0, true}, {2, true}, {2, true}, {32, true}},
         Prompter::Answer::Ok,
         0,
         false},
        {"a slow fourth starts a new count",
         {{0, true}, {2, true}, {2, true}, {32, true}, {1, true}, {1, true}, {1, true}},
         Prompter::Answer::Ok,
         1,
         true},
        {"three only",
         {{0, true}, {0, true}, {0, true}, {50, false}},
         Prompter::Answer::Ok,
         0,
         false},
        {"eight quick clicks ask twice",
         {{0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true}},
         Prompter::Answer::Cancel,
         2,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompter asked;
        asked.answer = c.answer;
        SettingsPage page({settings, state, asked});
        page.load();
        bool opened = false;
        for (const Step& s : c.steps) {
            for (int i = 0; i < s.ticksBefore; ++i) page.tick();
            if (s.click) opened = page.portLabelClicked() || opened;
        }
        EXPECT_EQ(asked.shown.size(), c.questions);
        EXPECT_EQ(opened, c.opensDiagnostics);
        for (const auto& shown : asked.shown) {
            EXPECT_EQ(shown.text, "Connect to Fusilog\u00AE?  (Please make sure it is turned on)");
            EXPECT_EQ(shown.caption, "Fusilog\u00AE Not Connected");
            EXPECT_EQ(shown.icon, Prompter::Icon::Information);
        }
    }
    EXPECT_TRUE(settings.values().isEmpty());
}

}  // namespace
}  // namespace vr5
