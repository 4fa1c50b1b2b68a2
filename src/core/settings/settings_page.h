#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "setup/setup_context.h"
#include "units/units.h"

namespace vr5 {

// The Settings dialog: serial port, demo mode, pressure and temperature units, the
// temperature offset and the archive, all kept in section "Settings". It also carries the hidden
// way into Diagnostics: four quick clicks on "Port:".
class SettingsPage {
public:
    static constexpr const char* kCaption = "Settings";
    static constexpr int kPortCount = 200;
    static constexpr int kDefaultPortIndex = 5;  // COM6
    static constexpr int kOffsetLow = -200;
    static constexpr int kOffsetHigh = 200;

    // The hidden gesture: the fourth click within kGestureTicks ticks of the first one asks.
    static constexpr int kTickMilliseconds = 100;
    static constexpr int kGestureTicks = 30;
    static constexpr int kGestureClicks = 4;
    static constexpr const char* kConnectQuestion =
        "Connect to Fusilog\u00AE?  (Please make sure it is turned on)";
    static constexpr const char* kConnectCaption = "Fusilog\u00AE Not Connected";
    // The port list's marks for the serial devices present now.
    static constexpr const char* kPresentMark = "  \u2014 present";
    static constexpr const char* kNewPortEntry = "%1 \u2014 present, new COM port";

    explicit SettingsPage(SetupContext context) : c_(context) {}

    // The dialog's values; the dialog shows them and puts the operator's entries back before
    // accept().
    int portIndex = kDefaultPortIndex;  // entry k of the port list is COM(k + 1)
    bool demo = false;
    bool guideSound = true;   // the live guide sounds its cues
    int pressureUnit = 0;     // 0 psi, 1 bar, 2 kg/cm², 3 MPa
    int temperatureUnit = 0;  // 0 °F, 1 °C
    QString offset = QStringLiteral("0");
    // Every download is archived as it is stored; where the archive lives (empty: the SQLite
    // file in the application-data folder; a file path or postgresql://user@host:port/db).
    bool archiveDownloads = true;
    QString archiveLocation;
    // Why an archive location typed cannot be used (a password in it, an address that is no
    // database's); empty when it can. OK stores nothing while it says why.
    std::function<QString(const QString& location)> checkArchiveLocation;
    // A device chosen from beyond the COM names: OK gives it the first free COM name through
    // mapNewPort (the COM number, or nothing and a message for the operator) and stores that.
    QString newPortDevice;
    std::function<std::optional<unsigned>(const QString& device, QString* message)> mapNewPort;

    // "COM1" .. "COM200".
    static QStringList portNames();
    // One entry of the port list as the dialog shows it.
    struct PortChoice {
        QString text;
        int portIndex = -1;  // the "COM Port" value it stands for; -1 for a device without one
        QString newDevice;   // such a device, which OK gives a COM name
        bool present = false;
    };
    // The port list as the dialog shows it. The serial devices present come first, marked
    // "present": those a COM name reaches, in the order of their names, then those without a
    // COM name yet. Every other COM name follows in its order. A COM name shows the device it
    // reaches beside it where the port names are links or the device is present
    // ("COM8  (/dev/rfcomm0)"). Only the order shown changes: each entry carries the stored
    // index it stands for, so COM(k + 1) is stored as k wherever it stands.
    static QList<PortChoice> portChoices(const QMap<unsigned, QString>& mappedDevices,
                                         const QStringList& newDevices,
                                         const QMap<unsigned, QString>& presentPorts);
    // The entries of the two unit groups, in the order of their indexes.
    static QStringList pressureUnitNames();
    static QStringList temperatureUnitNames();

    // Reads the stored values; one that none of the controls can show becomes the default.
    void load();
    // OK: checks the offset and the archive location, names a new port device, and stores the
    // values. A refused offset, location or device is told to the operator, nothing is stored,
    // and false keeps the dialog open. A new pressure unit rewrites the pressures remembered for
    // the next joint in that unit.
    bool accept();

    // The dialog's 100 ms timer.
    void tick();
    // A click on "Port:". True when the operator has just agreed to connect to the logger:
    // the Diagnostics dialog is to open.
    bool portLabelClicked();
    int clickCount() const { return clicks_; }
    int tickCount() const { return ticks_; }

private:
    SetupContext c_;
    int clicks_ = 0;
    int ticks_ = 0;
};

}  // namespace vr5
