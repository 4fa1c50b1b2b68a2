// The settings file on disk: what the program stored reads back the same after a restart, and a
// file that is damaged or edited by hand gives every reader its default or its fall-back, never
// a crash.

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <climits>
#include <memory>

#include "logger/protocol.h"
#include "logger/setup_summary.h"
#include "scripted_prompter.h"
#include "settings/recent_files.h"
#include "settings/settings_keys.h"
#include "settings/settings_page.h"
#include "settings/settings_store.h"
#include "setup/gauge_pressure.h"
#include "setup/machine_catalogue.h"
#include "setup/notes_page.h"
#include "setup/operator_page.h"
#include "setup/pipe_catalogue.h"
#include "setup/typed_text.h"
#include "ui/logger/log_status_dlg.h"
#include "ui/main_frame.h"
#include "ui/settings/settings_dlg.h"
#include "ui/setup/drag_pressure_dlg.h"
#include "ui/setup/fitting_size_dlg.h"
#include "ui/setup/heater_temp_dlg.h"
#include "ui/setup/machine_dlg.h"
#include "ui/setup/notes_dlg.h"
#include "ui/setup/operator_id_dlg.h"
#include "ui/setup/pipe_area_dlg.h"
#include "ui/setup/pipe_dlg.h"
#include "ui/setup/ready_to_log_dlg.h"
#include "ui/setup/rec_pressure_dlg.h"

namespace vr5 {
namespace {

constexpr IntKey kIntKeys[] = {
    keys::ComPort,           keys::PressUnitInx,      keys::TempUnitInx,     keys::TempOffset,
    keys::DemoMode,          keys::DemoPsi1,          keys::DemoPsi2,        keys::DemoPsi3,
    keys::DemoPsi4,          keys::DemoPsiInx,        keys::PreviewPages,    keys::MachineModelInx,
    keys::PistonAreaUnit,    keys::JointNumber,       keys::PipeMaterialInx, keys::PipeSizeUnit,
    keys::WallThicknessUnit, keys::PipeAreaZxUnitInx, keys::FittingType,     keys::FittingMainUnit,
    keys::FittingOutletUnit, keys::ParameterEntered,
};

constexpr StringKey kStringKeys[] = {
    keys::EvaluationProcedure,
    keys::MachineId,
    keys::MachineModelText,
    keys::PistonArea,
    keys::EmployeeId,
    keys::JobNumber,
    keys::PipeMaterialText,
    keys::PipeSize,
    keys::WallThickness,
    keys::PipeAreaInch,
    keys::PipeAreaZx,
    keys::HeatIfp,
    keys::SoakIfp,
    keys::FuseIfp,
    keys::CoolIfp,
    keys::FittingMainSize,
    keys::FittingOutletSize,
    keys::FittingHeatPressure,
    keys::FittingFusePressure,
    keys::DragPressure,
    keys::RecHeat,
    keys::RecSoak,
    keys::RecFuse,
    keys::RecCool,
    keys::ExtHtrTemp,
    keys::HtrTemp,
    keys::Notes,
    keys::Gps,
    keys::RecentFile1,
    keys::RecentFile2,
    keys::RecentFile3,
    keys::RecentFile4,
};

QString confPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarnell/Tarnell VR5-XP.conf");
}

// Puts bytes in place of the settings file, as an editor or a damaged disk would. The file gets
// a time of its own each time, so that the program reads it afresh as it would after a restart.
void replaceSettingsFile(const QByteArray& bytes) {
    static int writes = 0;
    const QString path = confPath();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)).addSecs(++writes),
                     QFileDevice::FileModificationTime);
}

// The file as the program left it, read afresh as the next run would.
void rereadAsAfterARestart() {
    QFile file(confPath());
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    file.close();
    replaceSettingsFile(bytes);
}

// A key as the settings file spells it ("Press%20Unit%20Inx").
QByteArray fileKey(const char* name) {
    return QByteArray(name).toPercentEncoding("", "");
}

// A settings file in which every key of the program holds `raw` as it stands in the file.
QByteArray everyKeyHolding(const QByteArray& raw) {
    QMap<QByteArray, QList<QByteArray>> sections;
    for (const IntKey& key : kIntKeys) sections[key.section] << fileKey(key.name);
    for (const StringKey& key : kStringKeys) sections[key.section] << fileKey(key.name);
    QByteArray text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        text += '[' + fileKey(it.key().constData()) + "]\n";
        for (const QByteArray& key : it.value()) text += key + '=' + raw + '\n';
        text += '\n';
    }
    return text;
}

// Hand-edited values: how each reads as a whole number and as a text ("" = as it stands;
// nullptr = the reader's own default).
struct HostileValue {
    const char* what;
    QByteArray raw;
    std::optional<int> asInt;  // nothing: the default
    const char* asText;        // nullptr: the default
};

const QList<HostileValue>& hostileValues() {
    static const QList<HostileValue> values = {
        {"garbage bytes",
         QByteArray("\x01\x02\xfe\x80g@rb\x7f"
                    "age",
                    11),
         std::nullopt, ""},
        {"an empty value", "", std::nullopt, ""},
        {"a huge number", "99999999999999999999999", std::nullopt, ""},
        {"1e308", "1e308", std::nullopt, ""},
        {"-0", "-0", 0, ""},
        {"nan", "nan", std::nullopt, ""},
        {"the largest int", "2147483647", INT_MAX, ""},
        {"the smallest int", "-2147483648", INT_MIN, ""},
        {"a list", "1, 2, three", std::nullopt, nullptr},
        {"10,000 characters", QByteArray(10000, '7'), std::nullopt, ""},
        {"invalid UTF-8", "\xc3\x28\xa0\xa1\xe2\x28\xa1\xf0\x90\x28\xbc", std::nullopt, ""},
        {"a serialized value of no known type", "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5Junk)",
         std::nullopt, nullptr},
        {"a rectangle", "@Rect(1 2 3 4)", std::nullopt, nullptr},
        {"a byte array", "@ByteArray(42)", 42, "42"},
    };
    return values;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Only ever the test run's own settings file.
        ASSERT_TRUE(QDir::fromNativeSeparators(confPath())
                        .startsWith(QDir::fromNativeSeparators(qEnvironmentVariable("HOME"))));
        qputenv("VR5XP_PORT_DIR", ports.path().toLocal8Bit());
    }
    void TearDown() override {
        QFile::remove(confPath());
        QDir(confPath()).removeRecursively();
        rereadAsAfterARestart();
    }

    QTemporaryDir ports;
};

// Every key, one hand-edited value at a time: a whole number that does not read as one gives the
// caller's default, and so does a value that is no text at all.
TEST_F(SettingsFileTest, HandEditedValuesReadAsTheCallersDefault) {
    constexpr int kFallback = -12345;
    const QString textFallback = QStringLiteral("<default>");
    for (const HostileValue& value : hostileValues()) {
        SCOPED_TRACE(value.what);
        replaceSettingsFile(everyKeyHolding(value.raw));
        const QSettingsStore store;
        for (const IntKey& key : kIntKeys) {
            EXPECT_EQ(store.read(key, kFallback), value.asInt.value_or(kFallback)) << key.name;
        }
        for (const StringKey& key : kStringKeys) {
            const QString text = store.read(key, textFallback);
            if (!value.asText) {
                EXPECT_EQ(text, textFallback) << key.name;
            } else if (*value.asText) {
                EXPECT_EQ(text, QString::fromUtf8(value.asText)) << key.name;
            } else {
                EXPECT_NE(text, textFallback) << key.name;
            }
        }
    }
}

// Builds everything that reads the settings, over the store as it is on disk, and checks what
// each shows stays within what it can show.
void openEveryReader(SettingsStore& store) {
    ProgramState state;
    test::ScriptedPrompter prompter;
    prompter.answer = Prompter::Answer::Cancel;
    loadCurrentUnits(store, state);
    state.currentMachineModelText = store.read(keys::MachineModelText);
    const SetupContext context{store, state, prompter};

    {
        CSettingsDlg dialog(context, QStringList{});
        const SettingsPage& page = dialog.page();
        EXPECT_GE(page.portIndex, 0);
        EXPECT_LT(page.portIndex, SettingsPage::kPortCount);
        EXPECT_EQ(dialog.portBox()->currentIndex(), page.portIndex);
        EXPECT_GE(dialog.pressureUnits()->checkedId(), 0);
        EXPECT_GE(dialog.temperatureUnits()->checkedId(), 0);
        // An offset that is no number shows the default; one out of range shows as it is and OK
        // asks for a valid one.
        bool ok = false;
        dialog.offsetBox()->text().toInt(&ok);
        EXPECT_TRUE(ok) << dialog.offsetBox()->text().toStdString();
    }
    {
        CMachineDlg dialog(context);
        EXPECT_GE(dialog.modelBox()->currentIndex(), 0);
        EXPECT_LE(dialog.idBox()->text().size(), MachinePage::kIdLength);
        EXPECT_LE(dialog.modelTextBox()->text().size(), MachinePage::kModelTextLength);
    }
    {
        COperatorIDdlg dialog(context);
        EXPECT_LE(dialog.idBox()->text().size(), OperatorPage::kIdLength);
        EXPECT_LE(dialog.jobBox()->text().size(), OperatorPage::kJobLength);
        // A stored joint number the page cannot take is refused on "Next >>", not stored.
        const int before = store.read(keys::JointNumber, 1);
        if (before < OperatorPage::kLowestJoint || before > OperatorPage::kHighestJoint) {
            dialog.nextButton()->click();
            EXPECT_FALSE(prompter.messages.isEmpty());
            EXPECT_EQ(store.read(keys::JointNumber, 1), before);
        }
    }
    {
        CPipeDlg dialog(context);
        EXPECT_GE(dialog.materialBox()->currentIndex(), 0);
        EXPECT_GE(dialog.sizeUnitBox()->currentIndex(), -1);
        EXPECT_LE(dialog.wallBox()->text().size(), PipePage::kWallLength);
        EXPECT_LE(dialog.beadBox()->text().size(), PipePage::kIfpLength);
    }
    {
        CPipeAreaDlg dialog(context);
        EXPECT_GE(dialog.unitBox()->currentIndex(), 0);
    }
    {
        CFittingSizeDlg dialog(context);
        EXPECT_GE(dialog.materialBox()->currentIndex(), 0);
        EXPECT_LE(dialog.mainSizeBox()->text().size(), FittingPage::kSizeLength);
    }
    {
        CNotesDlg dialog(context);
        EXPECT_LE(dialog.notesBox()->toPlainText().size(), NotesPage::kLength);
    }
    {
        CDragPressureDlg dialog(context);
        EXPECT_TRUE(dialog.windowTitle().startsWith(QStringLiteral("Drag Pressure (Default ")));
        EXPECT_TRUE(dialog.dragBox()->text().isEmpty());
    }
    {
        CRecPressureDlg dialog(context);
        EXPECT_EQ(dialog.page().pressures().size(), RecPressurePage::kPhaseCount);
    }
    {
        CHeaterTempDlg dialog(context);
        EXPECT_TRUE(dialog.temperatureBox()->text().isEmpty());
    }
    { CReadyToLogDlg dialog(context); }
    {
        CLogStatusDlg dialog(context, QDir::tempPath() + QStringLiteral("/never-written"));
        EXPECT_FALSE(dialog.setupSummary().isEmpty());
    }
    EXPECT_FALSE(buildSetupSummary(store, QDateTime::currentDateTime()).isEmpty());
    protocol::buildJointInformation(store, state, QDateTime::currentDateTime(), prompter);
    protocol::buildNotesRecord(store, state, prompter);
    protocol::buildReserveRecord(store, "------", prompter);
    {
        CMainFrame frame(store, prompter);
        frame.show();
        QApplication::processEvents();
        // Recent files that are not there (or not files at all) are only names on the menu.
        EXPECT_LE(RecentFileList(store).entries().size(), keys::kRecentFileCount);
    }
}

TEST_F(SettingsFileTest, EveryReaderSurvivesADamagedOrHandEditedFile) {
    struct Case {
        QString what;
        QByteArray file;
    };
    QList<Case> cases;
    for (const HostileValue& value : hostileValues())
        cases.append({QString::fromUtf8(value.what), everyKeyHolding(value.raw)});
    for (const QByteArray number : {"-1", "-5", "4", "7", "199", "200", "250", "100000"})
        cases.append({QStringLiteral("every number ") + QString::fromLatin1(number),
                      everyKeyHolding(number)});

    QByteArray binary(64 * 1024, '\0');
    QRandomGenerator random(20240315);
    for (char& c : binary) c = static_cast<char>(random.bounded(256));
    cases.append({QStringLiteral("binary garbage as a whole"), binary});
    cases.append({QStringLiteral("an empty file"), QByteArray()});
    QByteArray full = everyKeyHolding("3");
    cases.append({QStringLiteral("a file cut short"), full.left(full.size() / 2 + 3)});
    cases.append({QStringLiteral("a file cut inside a section name"),
                  QByteArray("[Settings]\nCOM%20Port=3\n[Log%20Da")});
    cases.append({QStringLiteral("a line without an equals sign"),
                  QByteArray("[Settings]\nCOM%20Port\n=\n==3\n[\n]\n[Log%20Data]\nNotes")});
    cases.append({QStringLiteral("line breaks of every kind"),
                  QByteArray("[Settings]\r\nCOM%20Port=3\rPress%20Unit%20Inx=2\n\n\r")});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        replaceSettingsFile(c.file);
        QSettingsStore store;
        openEveryReader(store);
    }

    // The settings file is a folder: nothing can be read or stored, and nothing breaks.
    QFile::remove(confPath());
    ASSERT_TRUE(QDir().mkpath(confPath()));
    {
        QSettingsStore store;
        openEveryReader(store);
    }
}

// The fall-backs the Settings dialog and the set-up pages take for values they cannot show.
TEST_F(SettingsFileTest, OutOfRangeValuesGetTheirFallBacks) {
    const struct {
        const char* what;
        QByteArray file;
        int port, pressure, temperature;
        const char* offset;
        bool demo;
        int model, material, sizeUnit, wallUnit, areaUnit;
        const char* joint;
    } cases[] = {
        {"numbers past every list",
         "[Settings]\nCOM%20Port=200\nPress%20Unit%20Inx=4\nTemp%20Unit%20Inx=2\n"
         "Temp%20Offset=250\nDemo%20Mode=7\n[Log%20Data]\nMachine%20Model%20Inx=999\n"
         "Pipe%20Material%20Inx=999\nPipe%20Size%20Unit=5\nWall%20Thickness%20Unit=3\n"
         "Pipe%20Area%20(ZX)%20Unit%20Inx=2\nJoint%20Number=100000\n",
         5, 0, 0, "250", true, 0, 0, -1, -1, 0, "100000"},
        {"numbers below every list",
         "[Settings]\nCOM%20Port=-1\nPress%20Unit%20Inx=-1\nTemp%20Unit%20Inx=-1\n"
         "Temp%20Offset=-2147483648\nDemo%20Mode=-1\n[Log%20Data]\nMachine%20Model%20Inx=-1\n"
         "Pipe%20Material%20Inx=-1\nPipe%20Size%20Unit=-1\nWall%20Thickness%20Unit=-1\n"
         "Pipe%20Area%20(ZX)%20Unit%20Inx=-1\nJoint%20Number=-2147483648\n",
         5, 0, 0, "-2147483648", true, 0, 0, -1, -1, 0, "-2147483648"},
        {"no numbers at all",
         "[Settings]\nCOM%20Port=COM8\nPress%20Unit%20Inx=bar\nTemp%20Unit%20Inx=C\n"
         "Temp%20Offset=1e308\nDemo%20Mode=yes\n[Log%20Data]\nMachine%20Model%20Inx=nan\n"
         "Pipe%20Material%20Inx=\nPipe%20Size%20Unit=1.5\nWall%20Thickness%20Unit=inf\n"
         "Pipe%20Area%20(ZX)%20Unit%20Inx=cm\nJoint%20Number=seven\n",
         5, 0, 0, "0", false, 0, 0, 0, 0, 0, "1"},
        {"the last entry of every list",
         "[Settings]\nCOM%20Port=199\nPress%20Unit%20Inx=3\nTemp%20Unit%20Inx=1\n"
         "Temp%20Offset=-200\nDemo%20Mode=0\n[Log%20Data]\nMachine%20Model%20Inx=68\n"
         "Pipe%20Material%20Inx=999\nPipe%20Size%20Unit=4\nWall%20Thickness%20Unit=2\n"
         "Pipe%20Area%20(ZX)%20Unit%20Inx=1\nJoint%20Number=99999\n",
         199, 3, 1, "-200", false, 68, 0, 4, 2, 1, "99999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        replaceSettingsFile(c.file);
        QSettingsStore store;
        ProgramState state;
        test::ScriptedPrompter prompter;
        const SetupContext context{store, state, prompter};

        CSettingsDlg settings(context, QStringList{});
        EXPECT_EQ(settings.portBox()->currentIndex(), c.port);
        EXPECT_EQ(settings.pressureUnits()->checkedId(), c.pressure);
        EXPECT_EQ(settings.temperatureUnits()->checkedId(), c.temperature);
        EXPECT_EQ(settings.offsetBox()->text(), QString::fromLatin1(c.offset));
        EXPECT_EQ(settings.demoBox()->isChecked(), c.demo);

        CMachineDlg machine(context);
        EXPECT_EQ(machine.modelBox()->currentIndex(), c.model);
        CPipeDlg pipe(context);
        EXPECT_EQ(pipe.materialBox()->currentIndex(), c.material);
        EXPECT_EQ(pipe.sizeUnitBox()->currentIndex(), c.sizeUnit);
        EXPECT_EQ(pipe.wallUnitBox()->currentIndex(), c.wallUnit);
        CPipeAreaDlg area(context);
        EXPECT_EQ(area.unitBox()->currentIndex(), c.areaUnit);
        COperatorIDdlg operatorPage(context);
        EXPECT_EQ(operatorPage.jointBox()->text(), QString::fromLatin1(c.joint));
    }
}

// What the operator confirmed is what the next run of the program shows.
TEST_F(SettingsFileTest, ConfirmedValuesSurviveARestart) {
    const QString texts[] = {
        QStringLiteral("Joint OK"),
        QStringLiteral("  blanks around  "),
        QStringLiteral("two\nlines\r\nand a return\rhere"),
        QStringLiteral("tab\there, bell\x07, delete\x7f, one\x01"),
        QStringLiteral("\u202E\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627"),
        QStringLiteral("emoji \U0001F600 and \u00B0F, a \"quote\", a ; and a # and =x"),
        QStringLiteral("@ByteArray(not one) @Variant(nor this)"),
        QStringLiteral("a, list, that, is, text"),
        QStringLiteral("[Settings]\nCOM Port=3"),
        QStringLiteral("back\\slash and %20 and \\x41"),
        QString(80, u'w'),
        // Half of a surrogate pair is kept as the file can hold it, before and after a restart.
        QStringLiteral("lone ") + QChar(0xD800) + QStringLiteral(" high, lone ") + QChar(0xDC00),
    };
    for (const QString& typed : texts) {
        QString text = typed;
        text.replace(QChar(0xD800), QChar::ReplacementCharacter)
            .replace(QChar(0xDC00), QChar::ReplacementCharacter);
        SCOPED_TRACE(text.toStdString());
        {
            QSettingsStore store;
            ProgramState state;
            test::ScriptedPrompter prompter;
            NotesPage notes({store, state, prompter});
            notes.load();
            notes.notes = typed;
            ASSERT_TRUE(notes.accept());
            ASSERT_TRUE(store.write(keys::MachineId, typed));
            EXPECT_EQ(store.read(keys::MachineId), text);
            SettingsPage settings({store, state, prompter});
            settings.load();
            settings.portIndex = 11;
            settings.pressureUnit = 2;
            settings.temperatureUnit = 1;
            settings.demo = true;
            settings.offset = QStringLiteral("-17");
            ASSERT_TRUE(settings.accept());
            RecentFileList(store).add(QStringLiteral("/reports/") + typed + QStringLiteral(".tjr"));
        }
        rereadAsAfterARestart();
        {
            QSettingsStore store;
            ProgramState state;
            test::ScriptedPrompter prompter;
            NotesPage notes({store, state, prompter});
            notes.load();
            // The lines as they were typed.
            EXPECT_EQ(notes.notes, notesAsShown(text));
            EXPECT_EQ(store.read(keys::MachineId), text);
            SettingsPage settings({store, state, prompter});
            settings.load();
            EXPECT_EQ(settings.portIndex, 11);
            EXPECT_EQ(settings.pressureUnit, 2);
            EXPECT_EQ(settings.temperatureUnit, 1);
            EXPECT_TRUE(settings.demo);
            EXPECT_EQ(settings.offset, QStringLiteral("-17"));
            EXPECT_EQ(RecentFileList(store).entries().value(0),
                      QStringLiteral("/reports/") + text + QStringLiteral(".tjr"));
        }
    }
}

}  // namespace
}  // namespace vr5
