#include "setup/operator_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

class OperatorPageTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

TEST_F(OperatorPageTest, JointNumberOutsideItsRangeIsRefusedOnce) {
    struct Case {
        const char* joint;
        const char* message;
    } cases[] = {
        {"0", "Enter an integer between 1 and 99999."},
        {"100000", "Enter an integer between 1 and 99999."},
        {"-5", "Enter an integer between 1 and 99999."},
        {"abc", "Enter an integer."},
        {"", "Enter an integer."},
        {"12a", "Enter an integer."},
        {"1e308", "Enter an integer."},
        {"99999999999999999999999", "Enter an integer."},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter shown;
        OperatorPage page({settings, state, shown});
        page.load();
        // A forbidden character as well: the joint number is checked first, and alone.
        page.employeeId = QStringLiteral("A/B");
        page.jointNumber = QString::fromLatin1(c.joint);
        EXPECT_FALSE(page.accept()) << c.joint;
        ASSERT_EQ(shown.shown.size(), 1) << c.joint;
        EXPECT_EQ(shown.shown[0].text, c.message);
        EXPECT_EQ(shown.shown[0].caption, "Tarnell VR5-XP");
        EXPECT_EQ(shown.shown[0].icon, Prompter::Icon::Warning);
        EXPECT_EQ(page.focusBox(), OperatorPage::Box::Joint);
    }
    EXPECT_TRUE(settings.values().isEmpty());
}

TEST_F(OperatorPageTest, ForbiddenCharactersInIdOrJobAreRefused) {
    const QString message = QStringLiteral(
        "ID # and Job # cannot contain any of the following characters:\n"
        "\\ / : * ? \" < > |");
    EXPECT_EQ(OperatorPage::forbiddenCharactersMessage(), message);
    struct Case {
        const char* id;
        const char* job;
        OperatorPage::Box focus;
    } cases[] = {
        {"Smith", "7/8", OperatorPage::Box::Job}, {"a\\b", "J1", OperatorPage::Box::Id},
        {"C:", "", OperatorPage::Box::Id},        {"x", "*", OperatorPage::Box::Job},
        {"why?", "x", OperatorPage::Box::Id},     {"\"q\"", "x", OperatorPage::Box::Id},
        {"x", "<1>", OperatorPage::Box::Job},     {"x", "a|b", OperatorPage::Box::Job},
        {"a>b", "c<d", OperatorPage::Box::Id},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter shown;
        OperatorPage page({settings, state, shown});
        page.load();
        page.employeeId = QString::fromLatin1(c.id);
        page.jobNumber = QString::fromLatin1(c.job);
        page.jointNumber = QStringLiteral("3");
        EXPECT_FALSE(page.accept()) << c.id << " " << c.job;
        ASSERT_EQ(shown.shown.size(), 1);
        EXPECT_EQ(shown.shown[0].text, message);
        EXPECT_EQ(shown.shown[0].caption, "Error");
        EXPECT_EQ(shown.shown[0].icon, Prompter::Icon::Error);
        EXPECT_EQ(page.focusBox(), c.focus) << c.id << " " << c.job;
    }
    EXPECT_TRUE(settings.values().isEmpty());
}

TEST_F(OperatorPageTest, StoresTrimmedTextsAndTheJointNumber) {
    OperatorPage first(context);
    first.load();
    EXPECT_EQ(first.jointNumber, "1");
    struct Case {
        QString id, job, joint;
        QString storedId, storedJob;
        int storedJoint;
    } cases[] = {
        {"   ", "", "1", "--", "--", 1},
        {" Smith ", " J-2024.7 ", " 99999 ", "Smith", "J-2024.7", 99999},
        // Longer texts than the boxes hold are cut to twenty characters first.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "12345678901234567890/", "42", "ABCDEFGHIJKLMNOPQRST",
         "12345678901234567890", 42},
        {"O'Brien & Sons", "#5 (north)", "007", "O'Brien & Sons", "#5 (north)", 7},
    };
    for (const Case& c : cases) {
        OperatorPage page(context);
        page.load();
        page.employeeId = c.id;
        page.jobNumber = c.job;
        page.jointNumber = c.joint;
        EXPECT_TRUE(page.accept()) << c.id.toStdString();
        EXPECT_EQ(settings.read(keys::EmployeeId), c.storedId);
        EXPECT_EQ(settings.read(keys::JobNumber), c.storedJob);
        EXPECT_EQ(settings.read(keys::JointNumber, -1), c.storedJoint);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());

    OperatorPage again(context);
    again.load();
    EXPECT_EQ(again.employeeId, "O'Brien & Sons");
    EXPECT_EQ(again.jointNumber, "7");
}

}  // namespace
}  // namespace vr5
