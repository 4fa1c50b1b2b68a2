// Every typed value the gauge pressures are computed from is refused on its own page when it
// does not start with a number, instead of counting as 0 in the gauge pressures.

#include <gtest/gtest.h>

#include <functional>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/drag_pressure_page.h"
#include "setup/gauge_pressure.h"
#include "setup/machine_catalogue.h"
#include "setup/machine_page.h"
#include "setup/pipe_area_page.h"
#include "setup/pipe_page.h"

namespace vr5 {
namespace {

enum class Field { Drag, Size, Wall, Bead, Soak, Fuse, Cool, PistonArea, PipeArea };

// Types `typed` into the field's box, everything else on its page valid, and presses "Next >>"
// (OK on the Pipe Area dialog). True when the page closed.
bool enter(Field field, const QString& typed, SetupContext context) {
    switch (field) {
        case Field::Drag: {
            RefreshUnitLabels(context.settings, context.state);
            DragPressurePage page(context);
            page.load();
            page.dragPressure = typed;
            return page.accept();
        }
        case Field::PistonArea: {
            MachinePage page(context);
            page.load();
            page.selectModel(unlistedMachineIndex());
            page.modelText = QStringLiteral("ZZ9");
            page.pistonArea = typed;
            return page.accept();
        }
        case Field::PipeArea: {
            PipeAreaPage page(context);
            page.load();
            page.area = typed;
            return page.accept();
        }
        default:
            break;
    }
    PipePage page(context);
    page.load();
    page.size = QStringLiteral("4");
    page.wall = QStringLiteral("11");
    page.heatIfp = page.soakIfp = page.fuseIfp = page.coolIfp = QStringLiteral("75");
    QString* box = field == Field::Size   ? &page.size
                   : field == Field::Wall ? &page.wall
                   : field == Field::Bead ? &page.heatIfp
                   : field == Field::Soak ? &page.soakIfp
                   : field == Field::Fuse ? &page.fuseIfp
                                          : &page.coolIfp;
    *box = typed;
    const bool closed = page.accept();
    // The page points the dialog at the pressure it refused.
    const int pressure = int(field) - int(Field::Bead);
    const bool pressureRefused = !closed && pressure >= 0;
    EXPECT_EQ(page.refusedPressure, pressureRefused ? pressure : -1);
    return closed;
}

TEST(GaugePressureRefusal, AValueWithoutALeadingNumberIsRefusedOnItsPage) {
    const char* const area = "Invalid Pipe Area!!  Could not proceed.";
    struct Case {
        Field field;
        const char* typed;
        // What the operator is told, in order; empty when the page takes the value.
        QStringList told;
    } cases[] = {
        // Today's silent fault: a drag of "abc" added nothing to every gauge pressure.
        {Field::Drag, "abc", {"Drag pressure \"abc\" is not a number."}},
        {Field::Drag, " x30 ", {"Drag pressure \"x30\" is not a number."}},
        {Field::Drag, "--", {"Drag pressure \"--\" is not a number."}},
        {Field::Drag, ".", {"Drag pressure \".\" is not a number."}},
        {Field::Drag, "inf", {"Drag pressure \"inf\" is not a number."}},
        {Field::Drag,
         "abcdefghijklmnopqrstuvwxyz",
         {"Drag pressure \"abcdefghijklmnopqrst...\" is not a number."}},
        // The number at the start is read, as in every stored text.
        {Field::Drag, "30 psi", {}},
        {Field::Drag, " 2.5x", {}},
        {Field::Drag, "-20", {}},
        {Field::Size, "abc", {"Invalid Pipe size!", area}},
        {Field::Size, "x4", {"Invalid Pipe size!", area}},
        {Field::Wall, "abc", {"Invalid wall thickness!", area}},
        {Field::Wall, "DR11", {"Invalid wall thickness!", area}},
        {Field::Bead, "abc", {"Bead pressure \"abc\" is not a number."}},
        {Field::Soak, "x75", {"Soak pressure \"x75\" is not a number."}},
        {Field::Fuse, "e5", {"Fuse pressure \"e5\" is not a number."}},
        {Field::Cool, "-", {"Cool pressure \"-\" is not a number."}},
        // An empty pressure box is remembered as "--" and gives no gauge pressure ("-----"),
        // which the operator sees: it stays allowed.
        {Field::Bead, "", {}},
        {Field::Cool, " -- ", {}},
        {Field::Fuse, "75psi", {}},
        {Field::PistonArea, "abc", {"Piston area \"abc\" is not a number."}},
        {Field::PistonArea, "in2", {"Piston area \"in2\" is not a number."}},
        {Field::PistonArea, "", {}},
        {Field::PistonArea, "4.710", {}},
        {Field::PipeArea, "abc", {"Pipe area \"abc\" is not a number."}},
        {Field::PipeArea, "", {}},
        {Field::PipeArea, "12.5", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        SCOPED_TRACE(int(c.field));
        MemorySettingsStore settings;
        ProgramState state;
        test::ScriptedPrompter prompter;
        const bool closed =
            enter(c.field, QString::fromLatin1(c.typed), {settings, state, prompter});
        EXPECT_EQ(prompter.messages, c.told);
        if (c.told.isEmpty()) {
            EXPECT_TRUE(closed);
            EXPECT_FALSE(settings.values().isEmpty());
            continue;
        }
        EXPECT_FALSE(closed);
        // Refused: nothing is stored, not even half of the page.
        EXPECT_TRUE(settings.values().isEmpty());
        EXPECT_TRUE(state.currentMachineModelText.isEmpty());
        for (const auto& shown : prompter.shown) {
            EXPECT_EQ(shown.caption, "Error");
            EXPECT_EQ(shown.icon, Prompter::Icon::Error);
        }
    }
}

}  // namespace
}  // namespace vr5
