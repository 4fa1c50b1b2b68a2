#include "setup/remembered_pressures.h"

#include <cmath>

#include "settings/settings_keys.h"
#include "setup/pipe_page.h"
#include "text/number_text.h"
#include "units/units.h"

namespace vr5 {

namespace {

// Numbers beyond this are no pressure anyone typed on purpose; they are left as they are rather
// than written out in full.
constexpr double kLargest = 1e9;
// The drag pressure box takes any length; its number is kept this short at most.
constexpr int kDragLength = 12;

// The unit a stored drag pressure names after its last blank, or -1.
int dragPressureUnit(const QString& stored) {
    const qsizetype blank = stored.lastIndexOf(u' ');
    if (blank < 0) return -1;
    return pressureUnitIndexOfLabel(stored.mid(blank + 1));
}

QString numberInUnit(double valueInFromUnit, int fromUnit, int toUnit, int maxLength) {
    const double psi = valueInFromUnit * psiPerUnit(fromUnit);
    const double value = psi / psiPerUnit(toUnit);
    int decimals = pressureUnit(toUnit).decimals;
    QString text = QString::number(value, 'f', decimals);
    while (text.size() > maxLength && decimals > 0) text = QString::number(value, 'f', --decimals);
    // "-0.0" is still nothing.
    if (readLeadingNumber(text) == 0.0 && text.startsWith(u'-')) text.remove(0, 1);
    return text;
}

}  // namespace

double dragPressurePsi(const QString& stored, int currentPressureUnitIndex) {
    const int labelled = dragPressureUnit(stored);
    const int unit = labelled >= 0 ? labelled : currentPressureUnitIndex;
    return std::fabs(readLeadingNumber(stored)) * psiPerUnit(unit);
}

QString convertPressureText(const QString& text, int fromUnit, int toUnit, int maxLength) {
    if (!hasLeadingNumber(text)) return text;
    const double value = readLeadingNumber(text);
    if (std::fabs(value) >= kLargest) return text;
    return numberInUnit(value, fromUnit, toUnit, maxLength);
}

void convertRememberedPressures(SettingsStore& settings, int fromUnit, int toUnit) {
    fromUnit = knownPressureUnitIndex(fromUnit);
    toUnit = knownPressureUnitIndex(toUnit);
    if (fromUnit == toUnit) return;

    for (StringKey key : {keys::HeatIfp, keys::SoakIfp, keys::FuseIfp, keys::CoolIfp}) {
        const QString before = settings.read(key);
        const QString after = convertPressureText(before, fromUnit, toUnit, PipePage::kIfpLength);
        if (after != before) settings.write(key, after);
    }

    // The drag pressure says its own unit; only one without a known label is in the old unit.
    const QString drag = settings.read(keys::DragPressure);
    const int labelled = dragPressureUnit(drag);
    const QString number =
        convertPressureText(drag, labelled >= 0 ? labelled : fromUnit, toUnit, kDragLength);
    if (number != drag)
        settings.write(keys::DragPressure, number + u' ' + pressureUnitLabel(toUnit));
}

}  // namespace vr5
