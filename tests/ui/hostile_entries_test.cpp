// Whatever an operator types or pastes into a dialog's box: no crash, and either the dialog's own
// refusal or a value the program stores and shows the same way when the dialog opens again.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "logger/protocol.h"
#include "logger/setup_summary.h"
#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"
#include "setup/machine_catalogue.h"
#include "setup/pipe_catalogue.h"
#include "setup/typed_text.h"
#include "text/number_text.h"
#include "ui/logger/diagnostics_dlg.h"
#include "ui/remarks_dlg.h"
#include "ui/settings/settings_dlg.h"
#include "ui/setup/drag_pressure_dlg.h"
#include "ui/setup/fitting_size_dlg.h"
#include "ui/setup/heater_temp_dlg.h"
#include "ui/setup/machine_dlg.h"
#include "ui/setup/notes_dlg.h"
#include "ui/setup/operator_id_dlg.h"
#include "ui/setup/pipe_area_dlg.h"
#include "ui/setup/pipe_dlg.h"

namespace vr5 {
namespace {

struct Hostile {
    const char* what;
    QString text;
    QString oneLine;  // what a one-line set-up box of any length keeps of it
};

const QList<Hostile>& hostileTexts() {
    static const QList<Hostile> list = {
        {"nothing", QString(), QStringLiteral("--")},
        {"blanks", QStringLiteral("   "), QStringLiteral("--")},
        {"10,000 characters", QString(10000, u'9'), QString(10000, u'9')},
        {"1e308", QStringLiteral("1e308"), QStringLiteral("1e308")},
        {"-0", QStringLiteral("-0"), QStringLiteral("-0")},
        {"nan", QStringLiteral("nan"), QStringLiteral("nan")},
        {"inf", QStringLiteral("inf"), QStringLiteral("inf")},
        {"control characters",
         QStringLiteral("a\x01"
                        "b\tc\nd\re\x7f"
                        "f"),
         QStringLiteral("a b c d e f")},
        {"right to left", QStringLiteral("\u202E\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D"),
         QStringLiteral("\u202E\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D")},
        {"emoji", QStringLiteral("\U0001F600x\U0001F600"), QStringLiteral("\U0001F600x\U0001F600")},
        {"half a surrogate pair", QString(QChar(0xD800)) + QStringLiteral("7"),
         QStringLiteral("\uFFFD7")},
    };
    return list;
}

// Types a text into a box key by key, each character as the keyboard (or an input method) hands
// it over. Enter presses the page's default button, so line breaks are left to pasting; a long
// text is typed in part.
void typeInto(QWidget* box, const QString& text) {
    const QString keys = text.left(300);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] == u'\n' || keys[i] == u'\r') continue;
        const qsizetype n =
            keys[i].isHighSurrogate() && i + 1 < keys.size() && keys[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        const QString character = keys.mid(i, n);
        i += n - 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
    }
}

bool isControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
}

bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

class HostileEntriesTest : public ::testing::Test {
protected:
    // Diagnostics connects as it opens: to a port whose device is not there.
    HostileEntriesTest() {
        qputenv("VR5XP_PORT_DIR", ports.path().toLocal8Bit());
        QFile::link(ports.filePath(QStringLiteral("no-such-device")),
                    ports.filePath(QStringLiteral("COM200")));
    }

    // A set-up as an operator left it: a machine not in the list, a material typed, a pipe
    // whose area can be worked out.
    void remember(MemorySettingsStore& s) {
        s.write(keys::MachineModelInx, unlistedMachineIndex());
        s.write(keys::MachineModelText, QStringLiteral("Shop press"));
        s.write(keys::PistonArea, QStringLiteral("4.71"));
        s.write(keys::MachineId, QStringLiteral("M-1"));
        s.write(keys::EmployeeId, QStringLiteral("E7"));
        s.write(keys::JobNumber, QStringLiteral("J-44"));
        s.write(keys::JointNumber, 3);
        s.write(keys::PipeMaterialInx, unlistedMaterialIndex());
        s.write(keys::PipeMaterialText, QStringLiteral("PE 100"));
        s.write(keys::PipeSize, QStringLiteral("6"));
        s.write(keys::WallThickness, QStringLiteral("11"));
        for (auto key : {keys::HeatIfp, keys::SoakIfp, keys::FuseIfp, keys::CoolIfp})
            s.write(key, QStringLiteral("75"));
        s.write(keys::PipeAreaZx, QStringLiteral("20.5"));
        s.write(keys::FittingMainSize, QStringLiteral("2"));
        s.write(keys::FittingOutletSize, QStringLiteral("1"));
        s.write(keys::FittingHeatPressure, QStringLiteral("150"));
        s.write(keys::FittingFusePressure, QStringLiteral("90"));
        s.write(keys::Notes, QStringLiteral("Joint OK"));
        s.write(keys::TempOffset, 4);
        s.write(keys::ComPort, 199);
    }

    // Everything the remembered values feed once a joint is set up: the gauge pressures, the
    // summary and the records for the logger.
    static void useTheSetUp(MemorySettingsStore& s, test::ScriptedPrompter& prompter) {
        ProgramState state;
        loadCurrentUnits(s, state);
        state.currentMachineModelText = s.read(keys::MachineModelText);
        for (auto key : {keys::HeatIfp, keys::SoakIfp, keys::FuseIfp, keys::CoolIfp}) {
            const QString gauge = GetRecommendedGaugePressure(s.read(key), s, state);
            EXPECT_FALSE(gauge.contains(u'n') || gauge.contains(u'i')) << gauge.toStdString();
        }
        buildSetupSummary(s, QDateTime::currentDateTime());
        for (const auto& record :
             {protocol::buildJointInformation(s, state, QDateTime::currentDateTime(), prompter),
              protocol::buildNotesRecord(s, state, prompter),
              protocol::buildReserveRecord(s, "------", prompter)}) {
            if (!record) continue;
            // Hex text and "eom": nothing on the line but plain letters and digits.
            for (char c : record->chopped(2)) {
                EXPECT_TRUE(c >= 0x21 && c < 0x7F) << int(c);
            }
        }
    }

    QTemporaryDir ports;
};

// One box of a set-up page that keeps its value for the next joint.
struct LineBox {
    const char* name;
    std::function<std::unique_ptr<QDialog>(SetupContext)> open;
    std::function<QLineEdit*(QDialog*)> box;
    StringKey key;
    int length;  // the most the page keeps, -1 for any length
};

template <typename Dlg>
std::function<std::unique_ptr<QDialog>(SetupContext)> opener() {
    return [](SetupContext c) { return std::make_unique<Dlg>(c); };
}

template <typename Dlg>
std::function<QLineEdit*(QDialog*)> boxOf(QLineEdit* (Dlg::*get)() const) {
    return [get](QDialog* d) { return (static_cast<Dlg*>(d)->*get)(); };
}

void pressOk(QDialog* dialog) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == QStringLiteral("Next >>") || b->text() == QStringLiteral("OK") ||
            b->text() == QStringLiteral("&OK")) {
            b->click();
            return;
        }
    }
    ADD_FAILURE() << "no Next or OK button";
}

TEST_F(HostileEntriesTest, SetUpPagesStoreWhatTheyShowNextTimeOrRefuse) {
    const LineBox boxes[] = {
        {"Machine ID", opener<CMachineDlg>(), boxOf(&CMachineDlg::idBox), keys::MachineId, 20},
        {"Machine model", opener<CMachineDlg>(), boxOf(&CMachineDlg::modelTextBox),
         keys::MachineModelText, 20},
        {"Piston area", opener<CMachineDlg>(), boxOf(&CMachineDlg::pistonAreaBox), keys::PistonArea,
         -1},
        {"Operator ID", opener<COperatorIDdlg>(), boxOf(&COperatorIDdlg::idBox), keys::EmployeeId,
         20},
        {"Job number", opener<COperatorIDdlg>(), boxOf(&COperatorIDdlg::jobBox), keys::JobNumber,
         20},
        {"Pipe material", opener<CPipeDlg>(), boxOf(&CPipeDlg::materialTextBox),
         keys::PipeMaterialText, 20},
        {"Pipe size", opener<CPipeDlg>(), boxOf(&CPipeDlg::sizeBox), keys::PipeSize, -1},
        {"Wall thickness", opener<CPipeDlg>(), boxOf(&CPipeDlg::wallBox), keys::WallThickness, 5},
        {"Bead pressure", opener<CPipeDlg>(), boxOf(&CPipeDlg::beadBox), keys::HeatIfp, 5},
        {"Soak pressure", opener<CPipeDlg>(), boxOf(&CPipeDlg::soakBox), keys::SoakIfp, 5},
        {"Fuse pressure", opener<CPipeDlg>(), boxOf(&CPipeDlg::fuseBox), keys::FuseIfp, 5},
        {"Cool pressure", opener<CPipeDlg>(), boxOf(&CPipeDlg::coolBox), keys::CoolIfp, 5},
        {"Pipe area", opener<CPipeAreaDlg>(), boxOf(&CPipeAreaDlg::areaBox), keys::PipeAreaZx, 7},
        {"Fitting material", opener<CFittingSizeDlg>(), boxOf(&CFittingSizeDlg::materialTextBox),
         keys::PipeMaterialText, 20},
        {"Fitting main size", opener<CFittingSizeDlg>(), boxOf(&CFittingSizeDlg::mainSizeBox),
         keys::FittingMainSize, 5},
        {"Fitting outlet size", opener<CFittingSizeDlg>(), boxOf(&CFittingSizeDlg::outletSizeBox),
         keys::FittingOutletSize, 5},
        {"Fitting bead pressure", opener<CFittingSizeDlg>(), boxOf(&CFittingSizeDlg::beadBox),
         keys::FittingHeatPressure, 5},
        {"Fitting fuse pressure", opener<CFittingSizeDlg>(), boxOf(&CFittingSizeDlg::fuseBox),
         keys::FittingFusePressure, 5},
    };
    for (const LineBox& field : boxes) {
        for (const Hostile& value : hostileTexts()) {
            for (const bool typed : {false, true}) {
                SCOPED_TRACE(std::string(field.name) + ", " + value.what +
                             (typed ? ", typed" : ", pasted"));
                MemorySettingsStore settings;
                remember(settings);
                ProgramState state;
                state.currentMachineModelText = settings.read(keys::MachineModelText);
                test::ScriptedPrompter prompter;
                const SetupContext context{settings, state, prompter};

                std::unique_ptr<QDialog> page = field.open(context);
                QLineEdit* box = field.box(page.get());
                box->clear();
                if (typed)
                    typeInto(box, value.text);
                else
                    box->setText(value.text);
                const QString shown = box->text();
                // A pasted text brings its control characters into the box; keys do not.
                EXPECT_EQ(std::any_of(shown.cbegin(), shown.cend(), isControl),
                          !typed && value.text.contains(u'\x01'));
                const auto before = settings.values();
                pressOk(page.get());

                if (!prompter.messages.isEmpty()) {
                    // The page's own refusal: it stays open and keeps nothing.
                    EXPECT_NE(page->result(), QDialog::Accepted);
                    EXPECT_EQ(settings.values(), before);
                    continue;
                }
                ASSERT_EQ(page->result(), QDialog::Accepted);
                const QString stored = settings.read(field.key);
                EXPECT_FALSE(std::any_of(stored.cbegin(), stored.cend(), isControl));
                EXPECT_FALSE(hasLoneSurrogate(stored));
                // What the box took is kept as a one-line value: whole, or its start where the
                // page keeps only so many characters.
                if (!typed) {
                    if (field.length < 0 || value.oneLine.size() <= field.length) {
                        EXPECT_EQ(stored, value.oneLine);
                    } else {
                        EXPECT_LE(stored.size(), field.length);
                        EXPECT_TRUE(value.oneLine.startsWith(stored));
                    }
                }

                std::unique_ptr<QDialog> again = field.open(context);
                EXPECT_EQ(field.box(again.get())->text(), stored);
                useTheSetUp(settings, prompter);
            }
        }
    }
}

// The boxes that take a whole number within a range refuse everything else, and keep nothing.
TEST_F(HostileEntriesTest, NumberBoxesKeepToTheirRanges) {
    struct NumberBox {
        const char* name;
        std::function<std::unique_ptr<QDialog>(SetupContext)> open;
        std::function<QLineEdit*(QDialog*)> box;
        std::function<void(QDialog*)> press;
        IntKey key;  // where it is kept ({} for the logger's offsets)
        int low, high;
    };
    const auto settingsDialog = [](SetupContext c) {
        return std::unique_ptr<QDialog>(new CSettingsDlg(c, QStringList{}));
    };
    const auto settingsOk = [](QDialog* d) { static_cast<CSettingsDlg*>(d)->okButton()->click(); };
    const auto diagnostics = [](SetupContext c) {
        return std::unique_ptr<QDialog>(new CDiagnosticsDlg(c));
    };
    const auto change = [](QDialog* d) {
        static_cast<CDiagnosticsDlg*>(d)->changeOffsetButton()->click();
    };
    const NumberBox boxes[] = {
        {"Joint number", opener<COperatorIDdlg>(), boxOf(&COperatorIDdlg::jointBox), pressOk,
         keys::JointNumber, 1, 99999},
        {"Temperature offset", settingsDialog, boxOf(&CSettingsDlg::offsetBox), settingsOk,
         keys::TempOffset, -200, 200},
        {"Diagnostics temperature offset",
         diagnostics,
         boxOf(&CDiagnosticsDlg::temperatureOffsetBox),
         change,
         {},
         10,
         32000},
        {"Diagnostics pressure offset",
         diagnostics,
         boxOf(&CDiagnosticsDlg::pressureOffsetBox),
         change,
         {},
         10,
         32000},
    };
    QList<Hostile> values = hostileTexts();
    values << Hostile{"past the top", QStringLiteral("100001"), {}}
           << Hostile{"below the bottom", QStringLiteral("-201"), {}}
           << Hostile{"beyond any int", QStringLiteral("99999999999"), {}}
           << Hostile{"a fraction", QStringLiteral("12.5"), {}}
           << Hostile{"full-width digits", QStringLiteral("\uFF11\uFF12"), {}}
           << Hostile{"Arabic-Indic digits", QStringLiteral("\u0661\u0662"), {}};
    for (const NumberBox& field : boxes) {
        for (const Hostile& value : values) {
            SCOPED_TRACE(std::string(field.name) + ", " + value.what);
            MemorySettingsStore settings;
            remember(settings);
            ProgramState state;
            test::ScriptedPrompter prompter;
            const SetupContext context{settings, state, prompter};
            std::unique_ptr<QDialog> dialog = field.open(context);
            prompter.messages.clear();  // Diagnostics says it could not connect
            QLineEdit* box = field.box(dialog.get());
            box->setText(value.text);
            const auto before = settings.values();
            field.press(dialog.get());

            bool ok = false;
            const int number = value.text.trimmed().toInt(&ok);
            const bool valid = ok && number >= field.low && number <= field.high;
            if (!valid) {
                ASSERT_EQ(prompter.messages.size(), 1);
                EXPECT_TRUE(prompter.messages[0].startsWith(QStringLiteral("Enter an integer")))
                    << prompter.messages[0].toStdString();
                EXPECT_NE(dialog->result(), QDialog::Accepted);
                EXPECT_EQ(settings.values(), before);
                continue;
            }
            EXPECT_TRUE(prompter.messages.isEmpty());
            if (field.key.section) {
                EXPECT_EQ(settings.read(field.key, -1), number);
                std::unique_ptr<QDialog> again = field.open(context);
                EXPECT_EQ(field.box(again.get())->text(), QString::number(number));
            }
        }
    }
}

// The boxes that start empty on every visit: what is typed is kept with the unit, or the page
// offers its default.
TEST_F(HostileEntriesTest, DragPressureAndHeaterTemperatureKeepOneLine) {
    for (const Hostile& value : hostileTexts()) {
        SCOPED_TRACE(value.what);
        MemorySettingsStore settings;
        remember(settings);
        ProgramState state;
        loadCurrentUnits(settings, state);
        test::ScriptedPrompter prompter;
        const SetupContext context{settings, state, prompter};
        const QString cleaned = value.oneLine;
        const bool nothing = cleaned == QStringLiteral("--");

        CDragPressureDlg drag(context);
        drag.dragBox()->setText(value.text);
        drag.nextButton()->click();
        // A drag pressure is added to every gauge pressure: it must start with a number.
        const bool refused = !nothing && !hasLeadingNumber(cleaned);
        if (nothing) {
            // Nothing typed: the default goes into the box and the page stays.
            EXPECT_NE(drag.result(), QDialog::Accepted);
            EXPECT_EQ(drag.dragBox()->text(), QStringLiteral("30"));
            EXPECT_EQ(settings.read(keys::DragPressure, QStringLiteral("none")),
                      QStringLiteral("none"));
        } else if (refused) {
            EXPECT_NE(drag.result(), QDialog::Accepted);
            EXPECT_EQ(drag.dragBox()->text(), value.text);
            EXPECT_EQ(prompter.messages.size(), 1);
            EXPECT_EQ(settings.read(keys::DragPressure, QStringLiteral("none")),
                      QStringLiteral("none"));
            prompter.messages.clear();
        } else {
            EXPECT_EQ(drag.result(), QDialog::Accepted);
            EXPECT_EQ(settings.read(keys::DragPressure), cleaned + QStringLiteral(" psi"));
        }

        CHeaterTempDlg heater(context);
        heater.temperatureBox()->setText(value.text);
        heater.nextButton()->click();
        EXPECT_EQ(heater.result(), QDialog::Accepted);
        EXPECT_EQ(settings.read(keys::ExtHtrTemp),
                  nothing ? QStringLiteral("---") : cleaned + QStringLiteral(" \u00B0F"));
        EXPECT_TRUE(prompter.messages.isEmpty());
        useTheSetUp(settings, prompter);
    }
}

// The two multi-line boxes: the joint's notes keep their line breaks, and the notes appended to
// a report take what is left of the room; neither ever holds half a character.
TEST_F(HostileEntriesTest, NotesAndAppendedNotesKeepToTheirRoom) {
    for (const Hostile& value : hostileTexts()) {
        for (const bool typed : {false, true}) {
            SCOPED_TRACE(std::string(value.what) + (typed ? ", typed" : ", pasted"));
            MemorySettingsStore settings;
            remember(settings);
            ProgramState state;
            test::ScriptedPrompter prompter;
            const SetupContext context{settings, state, prompter};

            CNotesDlg notes(context);
            notes.notesBox()->clear();
            if (typed)
                typeInto(notes.notesBox(), value.text);
            else
                notes.notesBox()->insertPlainText(value.text);
            const QString shown = notes.notesBox()->toPlainText();
            EXPECT_LE(storedNotesLength(shown), NotesPage::kLength);
            notes.nextButton()->click();
            EXPECT_EQ(notes.result(), QDialog::Accepted);
            const QString stored = settings.read(keys::Notes);
            EXPECT_FALSE(hasLoneSurrogate(stored));
            // The same lines, each break stored as the logger's "\r\n".
            EXPECT_EQ(stored.size(), storedNotesLength(shown));
            EXPECT_EQ(stored.count(u'\n'), stored.count(QStringLiteral("\r\n")));
            CNotesDlg again(context);
            EXPECT_EQ(again.notesBox()->toPlainText(), notesAsShown(stored));
            useTheSetUp(settings, prompter);

            prompter.answers = {Prompter::Answer::Yes};
            CRemarks remarks(QString(150, u'n'), prompter);
            if (typed)
                typeInto(remarks.editBox(), value.text);
            else
                remarks.editBox()->insertPlainText(value.text);
            EXPECT_LE(storedNotesLength(remarks.editBox()->toPlainText()), 50);
            remarks.okButton()->click();
            EXPECT_EQ(remarks.result(), QDialog::Accepted);
            const QString joined = remarks.model().notes();
            // 200 characters and the separator between old and new.
            EXPECT_LE(joined.size(), 203);
            if (!hasLoneSurrogate(value.text)) {
                EXPECT_FALSE(hasLoneSurrogate(joined));
            }
        }
    }
}

}  // namespace
}  // namespace vr5
