#include "logger/setup_summary.h"

#include "report/report_strings.h"
#include "settings/settings_keys.h"
#include "setup/fitting_catalogue.h"
#include "setup/machine_catalogue.h"
#include "setup/pipe_catalogue.h"
#include "text/machine_tests.h"
#include "units/units.h"

namespace vr5 {

namespace {

// A value of this length or more stands alone on its line, without its label, so that the
// box stays narrow.
constexpr qsizetype kLabelledValueLimit = 9;

// The entry at a stored position, or `fallback` when the list has none there.
QString entryAt(const QStringList& list, int index, const QString& fallback = {}) {
    return index >= 0 && index < list.size() ? list[index] : fallback;
}

class SummaryLines {
public:
    // The label, ": " and the value, the label taken out for a long value.
    void labelled(const char* label, const QString& value) {
        if (value.size() < kLabelledValueLimit)
            always(label, value);
        else
            add(QString::asprintf("%2d. ", n_) + value);
    }
    // The label, ": " and the value, however long.
    void always(const char* label, const QString& value) {
        add(QString::asprintf(label, n_) + QStringLiteral(": ") + value);
    }
    void add(const QString& line) {
        text_ += line + u'\n';
        ++n_;
    }
    int n() const { return n_; }
    QString take() { return std::move(text_); }

private:
    QString text_;
    int n_ = 1;
};

QString pipeText(const SettingsStore& s) {
    const QStringList& sizeUnits = sizeSystemTexts();
    const QStringList& wallUnits = wallKindTexts();
    const QString sizeUnit = entryAt(sizeUnits, s.read(keys::PipeSizeUnit, 0), sizeUnits[0]);
    const QString wallUnit = entryAt(wallUnits, s.read(keys::WallThicknessUnit, 0), wallUnits[0]);
    const QString wall = s.read(keys::WallThickness);
    // A dimension ratio reads "DR 11", a thickness "0.5\" WT".
    const bool ratio = wallUnit.contains(u"DR");
    return s.read(keys::PipeSize) + sizeUnit + QStringLiteral("  ") + (ratio ? wallUnit : wall) +
           u' ' + (ratio ? wall : wallUnit);
}

QString fittingSizeText(const SettingsStore& s) {
    const QStringList& units = fittingUnitTexts();
    return s.read(keys::FittingMainSize) + entryAt(units, s.read(keys::FittingMainUnit, 0)) +
           QStringLiteral(" x ") + s.read(keys::FittingOutletSize) +
           entryAt(units, s.read(keys::FittingOutletUnit, 0));
}

}  // namespace

QString buildSetupSummary(const SettingsStore& settings, const QDateTime& now) {
    const SettingsStore& s = settings;
    const QString model = s.read(keys::MachineModelText);
    const bool mechanical = IsMechanicalMachine(model);
    const QString pressureUnit = u' ' + pressureUnitLabel(s.read(keys::PressUnitInx, 0));

    SummaryLines lines;
    const QDate date = now.date();
    const QTime time = now.time();
    lines.add(QString::asprintf("%2d. %04d/%02d/%02d  %02d:%02d:%02d", lines.n(), date.year(),
                                date.month(), date.day(), time.hour(), time.minute(),
                                time.second()));
    lines.always(str::kJointNumber, QString::number(s.read(keys::JointNumber, 1)));
    lines.labelled(str::kJobNumber, s.read(keys::JobNumber));
    lines.labelled(str::kEmployeeId, s.read(keys::EmployeeId));
    lines.labelled(str::kMachineId, s.read(keys::MachineId));
    lines.labelled(str::kMachModel, model);
    if (!mechanical) {
        const int unit = s.read(keys::PistonAreaUnit, 0) == 1 ? 1 : 0;
        lines.always(str::kPistonArea, s.read(keys::PistonArea) + u' ' + areaUnitTexts()[unit]);
    }
    lines.labelled(str::kPipeMaterial, s.read(keys::PipeMaterialText));
    if (mechanical) {
        lines.labelled(str::kFittingType, entryAt(fittingTypes(), s.read(keys::FittingType, 0)));
        lines.labelled(str::kPipeSize, fittingSizeText(s));
    } else {
        lines.labelled(str::kPipeSize, pipeText(s));
    }
    if (IsDirectAreaMachine(model)) {
        const int unit = s.read(keys::PipeAreaZxUnitInx, 0) == 1 ? 1 : 0;
        lines.always(str::kPipeArea, s.read(keys::PipeAreaZx) + u' ' + areaUnitTexts()[unit]);
    }
    if (mechanical) {
        lines.always(str::kBead, s.read(keys::FittingHeatPressure) + pressureUnit);
        lines.always(str::kFuse, s.read(keys::FittingFusePressure) + pressureUnit);
    } else {
        lines.always(str::kBead, s.read(keys::HeatIfp) + pressureUnit);
        lines.always(str::kSoak, s.read(keys::SoakIfp) + pressureUnit);
        lines.always(str::kFuse, s.read(keys::FuseIfp) + pressureUnit);
        lines.always(str::kCool, s.read(keys::CoolIfp) + pressureUnit);
    }
    return lines.take();
}

}  // namespace vr5
