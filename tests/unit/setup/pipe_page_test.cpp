#include "setup/pipe_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/pipe_area_page.h"
#include "test_support.h"

namespace vr5 {
namespace {

constexpr int kIps = 0, kInchOd = 2, kMmOd = 3, kJis = 4;
constexpr int kDr = 0, kInchWt = 1, kMmWt = 2;

const char* const kSize = "Invalid Pipe size!|Error";
const char* const kWall = "Invalid wall thickness!|Error";
const char* const kCheck = "Please check Pipe Size and wall thickness|Pipe Area Error";
const char* const kArea = "Invalid Pipe Area!!  Could not proceed.|Error";

// A store that remembers the order of its writes.
class RecordingStore final : public SettingsStore {
public:
    int readInt(const QString& s, const QString& k, int fallback) const override {
        return inner.readInt(s, k, fallback);
    }
    bool writeInt(const QString& s, const QString& k, int value) override {
        written << k;
        return inner.writeInt(s, k, value);
    }
    QString readString(const QString& s, const QString& k, const QString& fallback) const override {
        return inner.readString(s, k, fallback);
    }
    bool writeString(const QString& s, const QString& k, const QString& value) override {
        written << k;
        return inner.writeString(s, k, value);
    }
    MemorySettingsStore inner;
    QStringList written;
};

class PipePageTest : public ::testing::Test {
protected:
    // What the operator was told, as "text|caption"; every message carries the stop icon.
    QStringList told() const {
        QStringList list;
        for (const auto& s : prompter.shown) {
            EXPECT_EQ(s.icon, Prompter::Icon::Error) << s.text.toStdString();
            list << s.text + u'|' + s.caption;
        }
        return list;
    }

    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

TEST_F(PipePageTest, OutsideDiameterFromTheSizeBox) {
    struct Case {
        const char* size;
        int system;
        double od;
    } cases[] = {
        {"2.5", kIps, 2.875},  {"2.50", kIps, 2.875},
        {"2.5 ", kIps, 2.875}, {" 2.5\"", kIps, 2.875},
        {"46", kIps, 46},      {"60", 1, 61.61},
        {"20", kJis, 1.06},    {"110", kMmOd, 110 / 25.4},
        {"6 5/8", kInchOd, 6},  // the number is read from the front only
        {"2.4", kIps, 0},      {"40", kIps, 0},
        {"0", kMmOd, 0},       {"-3", kInchOd, 0},
        {"", kIps, 0},         {"IPS", kIps, 0},
        {"1e308", kIps, 0},    {"1e999", kJis, 0},
    };
    for (const Case& c : cases) {
        prompter.shown.clear();
        PipePage page(context);
        page.size = QString::fromLatin1(c.size);
        page.sizeUnit = c.system;
        EXPECT_DOUBLE_EQ(page.ComputeOutsideDiameter(), c.od) << c.size;
        EXPECT_EQ(told(), c.od > 0 ? QStringList() : QStringList{kSize}) << c.size;
    }
}

TEST_F(PipePageTest, NextStoresTheAreaAndTheEntries) {
    struct Case {
        const char* size;
        int sizeUnit;
        const char* wall;
        int wallUnit;
        const char* area;
    } cases[] = {
        {"4", kIps, "11", kDr, "5.257636"},
        {"110", kMmOd, "10", kMmWt, "4.869490"},
        {"2", kInchOd, "0.25", kInchWt, "1.374450"},
        // A thick wall that still leaves a bore.
        {"4", kIps, "2.5", kDr, "15.268176"},
        {"4", kIps, "2.001", kDr, "15.904346"},
    };
    for (const Case& c : cases) {
        prompter.shown.clear();
        PipePage page(context);
        page.load();
        page.size = QString::fromLatin1(c.size);
        page.sizeUnit = c.sizeUnit;
        page.wall = QString::fromLatin1(c.wall);
        page.wallUnit = c.wallUnit;
        EXPECT_TRUE(page.accept()) << c.size << " " << c.wall;
        EXPECT_EQ(settings.read(keys::PipeAreaInch), c.area) << c.size << " " << c.wall;
        EXPECT_EQ(settings.read(keys::PipeSize), c.size);
        EXPECT_EQ(settings.read(keys::PipeSizeUnit, -9), c.sizeUnit);
        EXPECT_EQ(settings.read(keys::WallThickness), c.wall);
        EXPECT_EQ(settings.read(keys::WallThicknessUnit, -9), c.wallUnit);
        EXPECT_TRUE(told().isEmpty());
    }
}

TEST_F(PipePageTest, FirstUseStoresInOrder) {
    RecordingStore store;
    PipePage page({store, state, prompter});
    page.load();
    EXPECT_EQ(page.material.index, 0);
    EXPECT_EQ(page.sizeUnit, 0);
    EXPECT_EQ(page.wallUnit, 0);
    page.size = QStringLiteral("4");
    page.wall = QStringLiteral(" 11 ");
    page.heatIfp = QStringLiteral(" 75 ");
    page.fuseIfp = QStringLiteral("75");
    ASSERT_TRUE(page.accept());
    EXPECT_EQ(store.written,
              QStringList({"Pipe Area (inch)", "Pipe Material Inx", "Pipe Material Text",
                           "Pipe Size", "Pipe Size Unit", "Wall Thickness", "Wall Thickness Unit",
                           "Heat IFP", "Soak IFP", "Fuse IFP", "Cool IFP"}));
    const QMap<QString, QString> expected = {
        {"Log Data/Pipe Area (inch)", "5.257636"},
        {"Log Data/Pipe Material Inx", "0"},
        {"Log Data/Pipe Material Text", "EXEL"},
        {"Log Data/Pipe Size", "4"},
        {"Log Data/Pipe Size Unit", "0"},
        {"Log Data/Wall Thickness", "11"},
        {"Log Data/Wall Thickness Unit", "0"},
        {"Log Data/Heat IFP", "75"},
        {"Log Data/Soak IFP", "--"},
        {"Log Data/Fuse IFP", "75"},
        {"Log Data/Cool IFP", "--"},
    };
    EXPECT_EQ(store.inner.values(), expected);
}

TEST_F(PipePageTest, RefusedEntriesStoreNothing) {
    struct Case {
        const char* size;
        int sizeUnit;
        const char* wall;
        int wallUnit;
        QStringList messages;
    } cases[] = {
        {"", kIps, "11", kDr, {kSize, kArea}},
        {"2.4", kIps, "11", kDr, {kSize, kArea}},
        {"1e308", kIps, "11", kDr, {kSize, kArea}},
        {"4", kIps, "0", kDr, {kWall, kArea}},
        {"4", kIps, "-11", kDr, {kWall, kArea}},
        {"4", kIps, "abc", kDr, {kWall, kArea}},
        {"4", kIps, "", kInchWt, {kWall, kArea}},
        {"4", kIps, "1", kDr, {kCheck, kArea}},
        // No bore left: a wall of half the diameter or more.
        {"4", kIps, "1.5", kDr, {kCheck, kArea}},
        {"4", kIps, "2", kDr, {kCheck, kArea}},
        {"4", kIps, "2.25", kInchWt, {kCheck, kArea}},
        {"110", kMmOd, "55", kMmWt, {kCheck, kArea}},
        {"4", kIps, "1e308", kMmWt, {kCheck, kArea}},
        {"4", kIps, "1e-99", kDr, {kCheck, kArea}},
        // Sizes beyond any pipe: the area overflows, or is too small to be stored as more than 0.
        {"1e308", kInchOd, "11", kDr, {kCheck, kArea}},
        {"1e155", kInchOd, "2.001", kDr, {kCheck, kArea}},
        {"1e-4", kInchOd, "11", kDr, {kCheck, kArea}},
    };
    settings.write(keys::PipeAreaInch, QStringLiteral("9.999999"));
    settings.write(keys::PipeSize, QStringLiteral("8"));
    settings.write(keys::HeatIfp, QStringLiteral("60"));
    settings.write(keys::PipeMaterialInx, 3);
    const QMap<QString, QString> before = settings.values();
    for (const Case& c : cases) {
        prompter.shown.clear();
        PipePage page(context);
        page.load();
        page.size = QString::fromLatin1(c.size);
        page.sizeUnit = c.sizeUnit;
        page.wall = QString::fromLatin1(c.wall);
        page.wallUnit = c.wallUnit;
        page.heatIfp = QStringLiteral("75");
        page.selectMaterial(5);
        EXPECT_FALSE(page.accept()) << c.size << " " << c.wall;
        EXPECT_EQ(told(), c.messages) << c.size << " " << c.wall;
        EXPECT_EQ(settings.values(), before) << c.size << " " << c.wall;
    }
}

TEST_F(PipePageTest, RememberedValuesComeBack) {
    struct Case {
        int storedMaterial;
        int storedSizeUnit, storedWallUnit;
        int material;
        QString materialText;
        int sizeUnit, wallUnit;
    } cases[] = {
        {25, 1, 2, 0, "", 1, 2},
        {-1, 4, 0, 0, "", 4, 0},
        {7, 5, 3, 7, "", -1, -1},  // units the lists do not have: no selection
        {20, -1, -4, 20, "Blue HDPE", -1, -1},
    };
    settings.write(keys::PipeMaterialText, QStringLiteral("Blue HDPE"));
    for (const Case& c : cases) {
        settings.write(keys::PipeMaterialInx, c.storedMaterial);
        settings.write(keys::PipeSizeUnit, c.storedSizeUnit);
        settings.write(keys::WallThicknessUnit, c.storedWallUnit);
        PipePage page(context);
        page.load();
        EXPECT_EQ(page.material.index, c.material) << c.storedMaterial;
        EXPECT_EQ(page.material.unlisted(), c.material == 20);
        EXPECT_EQ(page.material.text, c.materialText) << c.storedMaterial;
        EXPECT_EQ(page.sizeUnit, c.sizeUnit) << c.storedSizeUnit;
        EXPECT_EQ(page.wallUnit, c.wallUnit) << c.storedWallUnit;
    }

    // No selection is stored as -1 and read as IPS and DR.
    PipePage page(context);
    page.load();
    page.size = QStringLiteral("4");
    page.wall = QStringLiteral("11");
    ASSERT_TRUE(page.accept());
    EXPECT_EQ(settings.read(keys::PipeAreaInch), "5.257636");
    EXPECT_EQ(settings.read(keys::PipeSizeUnit, 0), -1);
    EXPECT_EQ(settings.read(keys::WallThicknessUnit, 0), -1);
    EXPECT_EQ(settings.read(keys::PipeMaterialText), "Blue HDPE");
}

TEST_F(PipePageTest, ChoosingAMaterial) {
    struct Case {
        int index;
        const char* typed;
        const char* stored;
    } cases[] = {
        {20, "  Blue HDPE  ", "Blue HDPE"},
        {20, "   ", "--"},
        {20, "A material name longer than twenty", "A material name long"},
        {8, "", "PE 2406"},
    };
    for (const Case& c : cases) {
        PipePage page(context);
        page.load();
        page.material.text = QStringLiteral("left over");
        page.selectMaterial(c.index);
        EXPECT_TRUE(page.material.text.isEmpty());
        page.material.text = QString::fromLatin1(c.typed);
        page.size = QStringLiteral("4");
        page.wall = QStringLiteral("11");
        ASSERT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::PipeMaterialInx, -9), c.index);
        EXPECT_EQ(settings.read(keys::PipeMaterialText), c.stored);
    }
}

TEST_F(PipePageTest, PipeAreaButton) {
    struct Case {
        const char* model;
        bool shown;
    } machines[] = {{"ZJ2-HF", true},  {"ZG LD", true},     {"ZF9", true},
                    {"ZA1 HF", false}, {"ZG Mech.", false}, {"", false}};
    for (const Case& c : machines) {
        state.currentMachineModelText = QString::fromLatin1(c.model);
        EXPECT_EQ(PipePage(context).showsPipeAreaButton(), c.shown) << c.model;
    }

    struct Caption {
        const char* area;  // nullptr: nothing stored
        int unit;
        const char* caption;
    } captions[] = {
        {nullptr, 1, "Pipe Area: ??"},      {"", 1, "Pipe Area: ??"},
        {"12.5", 1, "Pipe Area: 12.5 cm²"}, {"12.5", 0, "Pipe Area: 12.5 in²"},
        {"--", 0, "Pipe Area: -- in²"},     {"3", 7, "Pipe Area: 3 in²"},
        {"3", -1, "Pipe Area: 3 in²"},
    };
    for (const Caption& c : captions) {
        MemorySettingsStore store;
        if (c.area) store.write(keys::PipeAreaZx, QString::fromLatin1(c.area));
        store.write(keys::PipeAreaZxUnitInx, c.unit);
        EXPECT_EQ(PipePage({store, state, prompter}).pipeAreaButtonCaption(),
                  QString::fromUtf8(c.caption));
    }
}

TEST_F(PipePageTest, PipeAreaDialogStoresWhatIsTyped) {
    struct Case {
        int storedUnit;
        int loadedUnit;
        const char* typed;
        int unit;
        const char* stored;
    } cases[] = {
        {1, 1, "", 1, "--"},
        {5, 0, " 12.5 ", 0, "12.5"},
        {-1, 0, "123456789", -1, "1234567"},
        {0, 0, "9.5cm2", 1, "9.5cm2"},
    };
    for (const Case& c : cases) {
        settings.write(keys::PipeAreaZxUnitInx, c.storedUnit);
        PipeAreaPage page(context);
        page.load();
        EXPECT_EQ(page.unitIndex, c.loadedUnit) << c.storedUnit;
        page.area = QString::fromLatin1(c.typed);
        page.unitIndex = c.unit;
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::PipeAreaZx), c.stored);
        EXPECT_EQ(settings.read(keys::PipeAreaZxUnitInx, -9), c.unit);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
    // The dialog's area is kept apart from the computed one.
    EXPECT_EQ(settings.read(keys::PipeAreaInch, QStringLiteral("none")), "none");
}

}  // namespace
}  // namespace vr5
