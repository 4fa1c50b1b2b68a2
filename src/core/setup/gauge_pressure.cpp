#include "setup/gauge_pressure.h"

#include <cmath>

#include "settings/settings_keys.h"
#include "setup/machine_tests.h"
#include "text/number_text.h"

namespace vr5 {

namespace {

// The fusion area in square inches: typed for a direct-area machine, else from the pipe page.
double fusionArea(const SettingsStore& settings, const QString& modelText) {
    if (IsDirectAreaMachine(modelText)) {
        int unit = settings.read(keys::PipeAreaZxUnitInx, 0);
        if (unit < 0 || unit > 1) unit = 0;
        const double area = readLeadingNumber(settings.read(keys::PipeAreaZx));
        return unit == 1 ? area / kSquareCentimetresPerSquareInch : area;
    }
    return readLeadingNumber(settings.read(keys::PipeAreaInch));
}

QString formatInUnit(double psi, int unitIndex) {
    switch (unitIndex) {
        case 1:
            return QString::asprintf("%.1f", psi / 14.5);
        case 2:
            return QString::asprintf("%.1f", psi / 14.2);
        case 3:
            return QString::asprintf("%.3f", psi / 145.0);
        default:
            return QString::asprintf("%.0f", psi);
    }
}

}  // namespace

double psiPerUnit(int pressureUnitIndex) {
    switch (pressureUnitIndex) {
        case 1:
            return 14.5;
        case 2:
            return 14.2;
        case 3:
            return 145.0;
        default:
            return 1.0;
    }
}

double ConvertToPsi(double value, int currentPressureUnitIndex) {
    return std::fabs(value) * psiPerUnit(currentPressureUnitIndex);
}

QString GetRecommendedGaugePressure(const QString& interfacialPressure,
                                    const SettingsStore& settings, const ProgramState& state) {
    const QString none = QString::fromLatin1(kNoGaugePressure);
    bool hasDigit = false;
    for (QChar c : interfacialPressure) hasDigit = hasDigit || (c >= u'0' && c <= u'9');
    if (!hasDigit) return none;

    const double area = fusionArea(settings, state.currentMachineModelText);
    if (!(area > 0)) return none;

    const int unit = state.currentPressureUnitIndex;
    const double ifp = ConvertToPsi(readLeadingNumber(interfacialPressure), unit);
    const double drag = ConvertToPsi(readLeadingNumber(settings.read(keys::DragPressure)), unit);

    double piston = readLeadingNumber(settings.read(keys::PistonArea));
    if (settings.read(keys::PistonAreaUnit, 0) == 1) piston /= kSquareCentimetresPerSquareInch;
    // A piston area that reads as nothing ("--", empty) gives no gauge pressure, not a
    // division by zero.
    if (!(piston > 0)) return none;

    const double gauge = ifp * area / piston + drag;
    if (!std::isfinite(gauge)) return none;
    return formatInUnit(gauge, settings.read(keys::PressUnitInx, 0));
}

QString FormatPressureReading(double psi, int pressureUnitIndex) {
    if (psi >= 7777) return QStringLiteral(" ERR");
    if (psi <= 5) return QStringLiteral(" -0-");
    return formatInUnit(psi, pressureUnitIndex);
}

QString pressureUnitLabel(int pressureUnitIndex) {
    switch (pressureUnitIndex) {
        case 1:
            return QStringLiteral("bar");
        case 2:
            return QStringLiteral("Kg/cm\u00B2");
        case 3:
            return QStringLiteral("MPa");
        default:
            return QStringLiteral("psi");
    }
}

QString temperatureUnitLabel(int temperatureUnitIndex) {
    return temperatureUnitIndex == 1 ? QStringLiteral("\u00B0C") : QStringLiteral("\u00B0F");
}

void loadCurrentUnits(const SettingsStore& settings, ProgramState& state) {
    state.currentPressureUnitIndex = settings.read(keys::PressUnitInx, 0);
    RefreshUnitLabels(settings, state);
}

void RefreshUnitLabels(const SettingsStore& settings, ProgramState& state) {
    state.pressureUnitLabel = pressureUnitLabel(settings.read(keys::PressUnitInx, 0));
    state.temperatureUnitLabel = temperatureUnitLabel(settings.read(keys::TempUnitInx, 0));
}

}  // namespace vr5
