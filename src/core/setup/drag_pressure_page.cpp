#include "setup/drag_pressure_page.h"

#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"
#include "setup/number_entry.h"
#include "setup/typed_text.h"

namespace vr5 {

namespace {

QString defaultDragPressure(int pressureUnitIndex) {
    switch (pressureUnitIndex) {
        case 1:
        case 2:
            return QStringLiteral("2.1");
        case 3:
            return QStringLiteral("0.21");
        default:
            return QStringLiteral("30");
    }
}

}  // namespace

void DragPressurePage::load() {
    const int unit = c_.settings.read(keys::PressUnitInx, 0);
    defaultNumber_ = defaultDragPressure(unit);
    defaultUnit_ = pressureUnitLabel(unit);
    dragPressure.clear();
}

QString DragPressurePage::caption() const {
    return QStringLiteral("Drag Pressure (Default ") + defaultNumber_ + u' ' + defaultUnit_ + u')';
}

QString DragPressurePage::prompt() {
    return QString::fromLatin1(kPromptLine1) + u'\n' + QString::fromLatin1(kPromptLine2);
}

bool DragPressurePage::accept() {
    const QString value = oneLine(dragPressure).trimmed();
    // Blanks alone count as nothing typed.
    if (value.isEmpty()) {
        dragPressure = defaultNumber_;
        return false;
    }
    // Every gauge pressure adds it: a typo must not count as no drag at all.
    if (!checkNumber(c_, kField, value, false)) return false;
    c_.settings.write(keys::DragPressure, value + u' ' + c_.state.pressureUnitLabel);
    return true;
}

}  // namespace vr5
