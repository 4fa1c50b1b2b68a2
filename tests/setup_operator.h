#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "settings/settings_page.h"
#include "setup/drag_pressure_page.h"
#include "setup/gauge_pressure.h"
#include "setup/rec_pressure_page.h"

namespace vr5::test {

// Does what an operator does on the Settings dialog and the set-up pages, against a store of
// its own (a store in memory, or the real one in the test's home folder).
template <typename Store>
class SetUpOperator {
public:
    // Settings: another pressure unit, OK; the program takes it as the current one.
    void chooseUnit(int unit) {
        SettingsPage page(context);
        page.load();
        page.pressureUnit = unit;
        ASSERT_TRUE(page.accept());
        loadCurrentUnits(settings, state);
    }
    // The Drag Pressure page: a value typed, "Next >>". Returns what was stored.
    QString typeDragPressure(const char* typed) {
        DragPressurePage page(context);
        page.load();
        page.dragPressure = QString::fromLatin1(typed);
        EXPECT_TRUE(page.accept());
        return settings.read(keys::DragPressure);
    }
    // The Recommended Gauge Pressures page as it opens.
    QStringList recommended() {
        RecPressurePage page(context);
        page.load();
        return page.pressures();
    }
    // The four remembered interfacial pressures.
    QStringList interfacial() const {
        return {settings.read(keys::HeatIfp), settings.read(keys::SoakIfp),
                settings.read(keys::FuseIfp), settings.read(keys::CoolIfp)};
    }

    Store settings;
    ProgramState state;
    ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

}  // namespace vr5::test
