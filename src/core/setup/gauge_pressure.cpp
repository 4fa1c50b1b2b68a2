#include "setup/gauge_pressure.h"

#include <cmath>

#include "settings/settings_keys.h"
#include "setup/remembered_pressures.h"
#include "text/machine_tests.h"
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

}  // namespace

double ConvertToPsi(double value, int currentPressureUnitIndex) {
    return std::fabs(value) * psiPerUnit(currentPressureUnitIndex);
}

std::optional<double> gaugePsiOfInterfacial(double interfacialPsi, const SettingsStore& settings,
                                            const QString& modelText,
                                            int currentPressureUnitIndex) {
    const double area = fusionArea(settings, modelText);
    if (!(area > 0)) return std::nullopt;
    // The drag pressure carries its unit's label: it is read in that unit.
    const double drag =
        dragPressurePsi(settings.read(keys::DragPressure), currentPressureUnitIndex);

    double piston = readLeadingNumber(settings.read(keys::PistonArea));
    if (settings.read(keys::PistonAreaUnit, 0) == 1) piston /= kSquareCentimetresPerSquareInch;
    // A piston area that reads as nothing ("--", empty) gives no gauge pressure, not a
    // division by zero.
    if (!(piston > 0)) return std::nullopt;

    const double gauge = interfacialPsi * area / piston + drag;
    if (!std::isfinite(gauge)) return std::nullopt;
    return gauge;
}

QString GetRecommendedGaugePressure(const QString& interfacialPressure,
                                    const SettingsStore& settings, const ProgramState& state) {
    const QString none = QString::fromLatin1(kNoGaugePressure);
    // No number at its start, whether no digit at all ("--") or a digit behind a typo ("x75"),
    // is no pressure: reading it as 0 would recommend the drag pressure alone.
    if (!hasLeadingNumber(interfacialPressure)) return none;

    const int unit = state.currentPressureUnitIndex;
    const double ifp = ConvertToPsi(readLeadingNumber(interfacialPressure), unit);
    const std::optional<double> gauge =
        gaugePsiOfInterfacial(ifp, settings, state.currentMachineModelText, unit);
    if (!gauge) return none;
    return formatPressureInUnit(*gauge, settings.read(keys::PressUnitInx, 0));
}

QString FormatPressureReading(double psi, int pressureUnitIndex) {
    if (psi >= 7777) return QStringLiteral(" ERR");
    if (psi <= 5) return QStringLiteral(" -0-");
    return formatPressureInUnit(psi, pressureUnitIndex);
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
