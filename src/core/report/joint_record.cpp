#include "report/joint_record.h"

#include <cstdlib>

namespace vr5 {

QString reportItemName(ReportItem item) {
    switch (item) {
        case ReportItem::None:
            return {};
        case ReportItem::Preamble:
            return QStringLiteral("version identifier");
        case ReportItem::DateTime:
            return QStringLiteral("date and time");
        case ReportItem::MachineId:
            return QStringLiteral("machine ID");
        case ReportItem::ModelIndex:
            return QStringLiteral("machine model number");
        case ReportItem::ModelText:
            return QStringLiteral("machine model");
        case ReportItem::PistonArea:
            return QStringLiteral("piston area");
        case ReportItem::PistonAreaUnit:
            return QStringLiteral("piston area unit");
        case ReportItem::EmployeeId:
            return QStringLiteral("employee ID");
        case ReportItem::JobNumber:
            return QStringLiteral("job number");
        case ReportItem::JointNumber:
            return QStringLiteral("joint number");
        case ReportItem::MaterialIndex:
            return QStringLiteral("pipe material number");
        case ReportItem::Material:
            return QStringLiteral("pipe material");
        case ReportItem::PipeSize:
            return QStringLiteral("pipe size");
        case ReportItem::PipeSizeUnit:
            return QStringLiteral("pipe size unit");
        case ReportItem::Wall:
            return QStringLiteral("wall thickness");
        case ReportItem::WallUnit:
            return QStringLiteral("wall thickness unit");
        case ReportItem::BeadPressure:
            return QStringLiteral("bead pressure");
        case ReportItem::SoakPressure:
            return QStringLiteral("soak pressure");
        case ReportItem::FusePressure:
            return QStringLiteral("fuse pressure");
        case ReportItem::CoolPressure:
            return QStringLiteral("cool pressure");
        case ReportItem::PressureUnit:
            return QStringLiteral("pressure unit");
        case ReportItem::Drag:
            return QStringLiteral("drag pressure");
        case ReportItem::Recommended:
            return QStringLiteral("recommended gauge pressure");
        case ReportItem::TempUnit:
            return QStringLiteral("temperature unit");
        case ReportItem::ExtHeaterTemp:
            return QStringLiteral("external heater temperature");
        case ReportItem::HeaterTemp:
            return QStringLiteral("heater temperature");
        case ReportItem::NotesMarker:
            return QStringLiteral("notes section");
        case ReportItem::Location:
            return QStringLiteral("location");
        case ReportItem::SecondMarker:
            return QStringLiteral("notes section");
        case ReportItem::Notes:
            return QStringLiteral("notes text");
        case ReportItem::Demo:
            return QStringLiteral("demo flag");
        case ReportItem::Identity:
            return QStringLiteral("logger identity");
        case ReportItem::Reserve:
            return QStringLiteral("pipe area data");
        case ReportItem::Summary:
            return QStringLiteral("logger summary line");
        case ReportItem::Samples:
            return QStringLiteral("samples");
    }
    return {};
}

void smoothGlitches(JointRecord& rec) {
    const int count = rec.sampleCount;
    if (count < 5) return;
    rec.pressure.resize(static_cast<size_t>(count) + 1);
    rec.pressure[static_cast<size_t>(count)] = rec.Pressure(count - 1);
    for (int i = 1; i < count - 3; ++i) {
        if (std::abs(rec.Time(i) - rec.Time(i + 1)) > 7) continue;
        if (std::abs(rec.Pressure(i) - rec.Pressure(i + 1)) >= 5) continue;
        if (std::abs(rec.Pressure(i - 1) - rec.Pressure(i + 2)) >= 5) continue;
        const int a = rec.Pressure(i - 1);
        const int b = rec.Pressure(i);
        const int c = rec.Pressure(i + 1);
        const int d = rec.Pressure(i + 2);
        const bool falling = a >= b && b >= c && c >= d;
        const bool rising = a <= b && b <= c && c <= d;
        if (!falling && !rising) {
            rec.pressure[static_cast<size_t>(i)] = a;
            rec.pressure[static_cast<size_t>(i) + 1] = a;
        }
    }
}

int computeMaxPressure(const JointRecord& rec) {
    int maximum = 0;
    for (int i = 0; i < rec.sampleCount; ++i) {
        if (rec.Pressure(i) > maximum) maximum = rec.Pressure(i);
    }
    return maximum;
}

int locateHeaterRemoval(const JointRecord& rec) {
    const int count = rec.sampleCount;
    const int threshold = rec.maxPressure >= 130 ? 10 : 3;
    const long long limit =
        static_cast<long long>(rec.fields.loggedDuration) * rec.searchRangePercent / 100;

    int k = count - 2;
    for (; k >= 1; --k) {
        if (rec.Pressure(k) - rec.Pressure(k - 1) > threshold && rec.Time(k) < limit) {
            return rec.Time(k);
        }
    }
    if (count > 1) {
        for (k = 1; k < count; ++k) {
            if (std::abs(rec.Pressure(k) - rec.Pressure(k - 1)) > threshold &&
                rec.Time(k) < limit) {
                return rec.Time(k);
            }
        }
    }
    return 0;
}

}  // namespace vr5
