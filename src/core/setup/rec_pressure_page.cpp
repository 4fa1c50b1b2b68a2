#include "setup/rec_pressure_page.h"

#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"
#include "setup/machine_catalogue.h"
#include "text/number_text.h"

namespace vr5 {

namespace {

struct Phase {
    const char* label;
    StringKey ifp;
    StringKey rec;
};

constexpr Phase kPhases[RecPressurePage::kPhaseCount] = {
    {"Bead:", keys::HeatIfp, keys::RecHeat},
    {"Soak:", keys::SoakIfp, keys::RecSoak},
    {"Fuse:", keys::FuseIfp, keys::RecFuse},
    {"Cool:", keys::CoolIfp, keys::RecCool},
};

// The whole number a demo pressure takes from a gauge pressure text: "13.1" gives 13, "-----"
// gives 0.
int demoPressure(const QString& gauge) {
    const QByteArray bytes = gauge.toLatin1();
    return readLeadingInt(bytes.constData(), bytes.size());
}

}  // namespace

QString RecPressurePage::phaseLabels() {
    QStringList labels;
    for (const Phase& phase : kPhases) labels << QString::fromLatin1(phase.label);
    return labels.join(u'\n');
}

void RecPressurePage::load() {
    pressures_.clear();
    // The mechanical machine is set up from a fitting's label: its heat and fuse pressures are
    // read off it, and soak and cool have none.
    const bool mechanical = IsMechanicalMachine(c_.state.currentMachineModelText);
    const QString none = QString::fromLatin1(kNoGaugePressure);
    for (int i = 0; i < kPhaseCount; ++i) {
        const Phase& phase = kPhases[i];
        QString gauge;
        if (mechanical) {
            if (i == 0)
                gauge = c_.settings.read(keys::FittingHeatPressure);
            else if (i == 2)
                gauge = c_.settings.read(keys::FittingFusePressure);
            else
                gauge = none;
        } else {
            gauge = GetRecommendedGaugePressure(c_.settings.read(phase.ifp), c_.settings, c_.state);
        }
        c_.settings.write(phase.rec, gauge);
        c_.settings.write(keys::demoPsi(i + 1), demoPressure(gauge));
        pressures_ << gauge;
    }
    c_.settings.write(keys::DemoPsiInx, 1);
}

}  // namespace vr5
