#include "settings/settings_page.h"

#include "app_info.h"
#include "settings/settings_keys.h"
#include "setup/remembered_pressures.h"
#include "text/integer_field.h"
#include "units/units.h"

namespace vr5 {

QStringList SettingsPage::portNames() {
    QStringList names;
    names.reserve(kPortCount);
    for (int i = 1; i <= kPortCount; ++i) names << QStringLiteral("COM%1").arg(i);
    return names;
}

QList<SettingsPage::PortChoice> SettingsPage::portChoices(
    const QMap<unsigned, QString>& mappedDevices, const QStringList& newDevices,
    const QMap<unsigned, QString>& presentPorts) {
    const QStringList names = portNames();
    QList<PortChoice> present, others;
    for (int k = 0; k < kPortCount; ++k) {
        const unsigned number = unsigned(k) + 1;
        PortChoice choice{names[k], k, {}, presentPorts.contains(number)};
        const QString device = mappedDevices.value(number, presentPorts.value(number));
        if (!device.isEmpty()) choice.text += QStringLiteral("  (%1)").arg(device);
        if (choice.present) choice.text += QString::fromUtf8(kPresentMark);
        (choice.present ? present : others) << choice;
    }
    for (const QString& device : newDevices)
        present << PortChoice{QString::fromUtf8(kNewPortEntry).arg(device), -1, device, true};
    return present + others;
}

QStringList SettingsPage::pressureUnitNames() {
    QStringList names;
    for (int i = 0; i < kPressureUnitCount; ++i)
        names << QString::fromUtf8(vr5::pressureUnit(i).settingsCaption);
    return names;
}

QStringList SettingsPage::temperatureUnitNames() {
    return {QStringLiteral("\u00B0F"), QStringLiteral("\u00B0C")};
}

void SettingsPage::load() {
    // A port beyond the list cannot be shown in a list without typing: the dialog offers the
    // port a first run offers, and OK stores it.
    portIndex = c_.settings.read(keys::ComPort, kDefaultPortIndex);
    if (portIndex < 0 || portIndex >= kPortCount) portIndex = kDefaultPortIndex;
    // The logger link runs demo mode whenever the value is not 0.
    demo = c_.settings.read(keys::DemoMode, 0) != 0;
    guideSound = c_.settings.read(keys::GuideSound, 1) != 0;
    // Every reader takes an unknown unit for psi and °F, so that is what the dialog shows.
    pressureUnit = c_.settings.read(keys::PressUnitInx, 0);
    if (pressureUnit < 0 || pressureUnit >= kPressureUnitCount) pressureUnit = 0;
    temperatureUnit = c_.settings.read(keys::TempUnitInx, 0);
    if (temperatureUnit < 0 || temperatureUnit >= kTemperatureUnitCount) temperatureUnit = 0;
    // An offset outside the range is shown as it is; OK then asks for a valid one.
    offset = QString::number(c_.settings.read(keys::TempOffset, 0));
    archiveDownloads = c_.settings.read(keys::ArchiveDownloads, 1) != 0;
    archiveLocation = c_.settings.read(keys::ArchiveLocation);
    clicks_ = 0;
    ticks_ = 0;
}

bool SettingsPage::accept() {
    QString message;
    const std::optional<int> value = readIntegerField(offset, kOffsetLow, kOffsetHigh, &message);
    if (!value) {
        c_.prompter.show(message, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
        return false;
    }
    archiveLocation = archiveLocation.trimmed();
    if (!archiveLocation.isEmpty() && checkArchiveLocation) {
        if (const QString why = checkArchiveLocation(archiveLocation); !why.isEmpty()) {
            c_.prompter.show(why, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
            return false;
        }
    }
    if (!newPortDevice.isEmpty()) {
        // Named last of all checks: a refused entry elsewhere leaves no new link behind.
        QString refusal;
        const std::optional<unsigned> port =
            mapNewPort ? mapNewPort(newPortDevice, &refusal) : std::nullopt;
        if (!port || *port < 1 || *port > unsigned(kPortCount)) {
            if (refusal.isEmpty())
                refusal = QStringLiteral("%1 could not be given a COM name.").arg(newPortDevice);
            c_.prompter.show(refusal, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
            return false;
        }
        portIndex = int(*port) - 1;
        newPortDevice.clear();
    }
    if (portIndex < 0 || portIndex >= kPortCount) portIndex = kDefaultPortIndex;
    if (pressureUnit < 0 || pressureUnit >= kPressureUnitCount) pressureUnit = 0;
    if (temperatureUnit < 0 || temperatureUnit >= kTemperatureUnitCount) temperatureUnit = 0;
    // What the set-up pages remember was typed in the unit chosen so far: it follows the unit.
    convertRememberedPressures(c_.settings, c_.settings.read(keys::PressUnitInx, 0), pressureUnit);
    c_.settings.write(keys::PressUnitInx, pressureUnit);
    c_.settings.write(keys::TempUnitInx, temperatureUnit);
    c_.settings.write(keys::DemoMode, demo ? 1 : 0);
    c_.settings.write(keys::GuideSound, guideSound ? 1 : 0);
    c_.settings.write(keys::ComPort, portIndex);
    // The limits themselves are valid offsets too: whatever passes the check is kept.
    c_.settings.write(keys::TempOffset, *value);
    c_.settings.write(keys::ArchiveDownloads, archiveDownloads ? 1 : 0);
    c_.settings.write(keys::ArchiveLocation, archiveLocation);
    return true;
}

void SettingsPage::tick() {
    if (ticks_ < kGestureTicks)
        ++ticks_;
    else
        clicks_ = 0;
}

bool SettingsPage::portLabelClicked() {
    if (clicks_ == 0) ticks_ = 0;
    if (clicks_ < kGestureClicks - 1) {
        ++clicks_;
        return false;
    }
    clicks_ = 0;
    return c_.prompter.ask(QString::fromUtf8(kConnectQuestion), QString::fromUtf8(kConnectCaption),
                           Prompter::Buttons::OkCancel,
                           Prompter::Icon::Information) == Prompter::Answer::Ok;
}

}  // namespace vr5
