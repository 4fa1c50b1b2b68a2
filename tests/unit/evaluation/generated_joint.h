#pragma once

#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "evaluation/evaluation.h"
#include "report/joint_record.h"
#include "test_support.h"
#include "units/units.h"

// Joint reports generated from known phases, read back through the report decoder as a
// downloaded report would be. A 110 mm x 10 mm wall PE pipe, heater at 218 °C, set up so that
// a clean joint is within every built-in procedure: soak 200 s, changeover 5 s, build-up 4 s,
// cooling 900 s.
namespace vr5::test {

struct GeneratedJoint {
    QString procedure = QStringLiteral("astm-f2620");  // sets the interfacial pressure
    QString unit = QStringLiteral("psi");              // "psi", "bar" or "MPa"
    bool guides = true;  // the report carries drag and recommended pressures
    double dragPsi = 30;
    double beadPsi = 337;
    double soakPsi = 30;
    double fusePsi = 337;
    double beadS = 30;
    double soakS = 200;
    double openS = 5;
    double buildS = 4;
    double coolS = 900;
    double secondBeadS = 0;    // a second bead-up after 20 s at drag
    bool closedAgain = false;  // the carriage closed for 5 s after the release
    int ticksPerSample = 1;    // 0.2 s
    int noise = 0;             // psi, repeatable
    unsigned seed = 1;

    // Samples as the logger stores them: (time in ticks, psi).
    std::vector<std::pair<int, int>> samples;

    struct Times {
        double start, end;
    };
    std::array<std::optional<Times>, kPhaseCount> truth;

    // A stretch: from the level before it to `to` psi over `seconds`.
    void go(double to, double seconds) {
        const double from = level_;
        const int ticks = static_cast<int>(seconds * 5 + 0.5);
        for (int k = 1; k <= ticks; ++k) {
            if ((tick_ + k) % ticksPerSample != 0) continue;
            const double p = from + (to - from) * k / ticks;
            seed = seed * 1103515245u + 12345u;
            const int jitter =
                noise ? static_cast<int>((seed >> 16) % unsigned(2 * noise + 1)) - noise : 0;
            samples.push_back({tick_ + k, std::max(0, static_cast<int>(std::lround(p)) + jitter)});
        }
        tick_ += ticks;
        level_ = to;
    }
    double now() const { return tick_ * 0.2; }

    // The whole joint, each phase ending halfway down or up the ramp between two levels; the
    // build-up ends at 95% of the fusion pressure, the cooling halfway down the release.
    GeneratedJoint& make() {
        go(dragPsi, 2);
        const double beadStart = now() + 1;
        go(beadPsi, 2);
        go(beadPsi, beadS);
        if (secondBeadS > 0) {
            go(dragPsi, 2);
            go(dragPsi, 20);
            go(beadPsi, 2);
            go(beadPsi, secondBeadS);
        }
        const double beadStop = now() + 1;
        go(soakPsi, 2);
        go(soakPsi, soakS);
        const double soakStop = now() + 0.5;
        go(0, 1);
        go(0, openS);
        const double openStop = now() + buildS * 0.5 * soakPsi / fusePsi;
        const double buildStop = now() + 0.95 * buildS;
        go(fusePsi, buildS);
        go(fusePsi, coolS);
        const double coolStop = now() + 1.5;
        go(0, 3);
        go(0, 10);
        if (closedAgain) {
            go(fusePsi, 1);
            go(fusePsi, 5);
            go(0, 1);
            go(0, 10);
        }
        truth = {Times{beadStart, beadStop}, Times{beadStop, soakStop}, Times{soakStop, openStop},
                 Times{openStop, buildStop}, Times{buildStop, coolStop}};
        return *this;
    }

    // Index of the first sample at or after `seconds`.
    size_t at(double seconds) const {
        const auto it = std::lower_bound(
            samples.begin(), samples.end(), static_cast<int>(std::lround(seconds * 5)),
            [](const std::pair<int, int>& s, int t) { return s.first < t; });
        return static_cast<size_t>(it - samples.begin());
    }
    // `count` samples from `seconds` on stored as `psi` (0 for a dropout, above 4000 for an
    // over-range reading, which reads as 0).
    GeneratedJoint& set(double seconds, int count, int psi) {
        for (size_t i = at(seconds); i < samples.size() && count > 0; ++i, --count)
            samples[i].second = psi;
        return *this;
    }
    // The record stops at `seconds`.
    GeneratedJoint& stopAt(double seconds) {
        samples.resize(std::min(samples.size(), at(seconds)));
        return *this;
    }

    int unitIndex() const { return unit == u"bar" ? 1 : unit == u"MPa" ? 3 : 0; }
    double psiPerUnitOfReport() const { return psiPerUnit(unitIndex()); }
    QString pressure(double psi) const {
        return QString::number(psi / psiPerUnitOfReport(), 'g', 6);
    }

    // The report's description, for the decoder or for tjrgen.
    QString description() const {
        QString text = QStringLiteral(
                           "pipe_size: 110\npipe_size_unit: mm OD\nwall: 10\nwall_unit: mm WT\n"
                           "temp_unit: C\nheater_temp: 218\next_heater_temp: 218\n"
                           "pressure_unit: %1\n")
                           .arg(unit);
        text += QStringLiteral("ifp_bead: %1\nifp_soak: 0\nifp_fuse: %1\nifp_cool: %1\n")
                    .arg(pressure(interfacialPsi()));
        if (guides) {
            text +=
                QStringLiteral("drag: %1\nrec_bead: %2\nrec_soak: %1\nrec_fuse: %3\nrec_cool: %3\n")
                    .arg(pressure(dragPsi), pressure(beadPsi), pressure(fusePsi));
        } else {
            text += QStringLiteral(
                "drag: ---\nrec_bead: ---\nrec_soak: ---\nrec_fuse: ---\nrec_cool: ---\n");
        }
        return text + sampleLines(samples);
    }

    // The record the decoder makes of description(), built directly: reading thousands of
    // sample lines back for every case would take most of a second each.
    JointRecord record() const {
        JointRecord rec;
        ReportFields& f = rec.fields;
        f.modelText = QStringLiteral("ZA2 HF");
        f.material = QStringLiteral("HDPE PE4710");  // what a description without one reads as
        f.pipeSize = QStringLiteral("110");
        f.pipeSizeUnit = 3;
        f.wall = QStringLiteral("10");
        f.wallUnit = 2;
        f.tempUnitIndex = 1;
        f.heaterTemp = f.extHeaterTemp = QStringLiteral("218");
        f.pressureUnitIndex = unitIndex();
        f.reserve = QStringLiteral("19.31 in²~");
        const QString ifp = pressure(interfacialPsi());
        f.interfacial = {ifp, QStringLiteral("0"), ifp, ifp};
        const QString none = QStringLiteral("---");
        f.drag = guides ? pressure(dragPsi) : none;
        f.recommended = guides ? std::array{pressure(beadPsi), pressure(dragPsi), pressure(fusePsi),
                                            pressure(fusePsi)}
                               : std::array{none, none, none, none};
        f.loggedDuration = samples.empty() ? 0 : samples.back().first;
        rec.lastItem = ReportItem::Samples;
        rec.pressureUnitText = recordUnitText(unitIndex());
        rec.psiPerUnit = psiPerUnitOfReport();
        for (const auto& [t, p] : samples) {
            rec.time.push_back(t);
            rec.pressure.push_back(p);
        }
        rec.sampleCount = static_cast<int>(samples.size());
        if (rec.pressure.empty()) rec.pressure.assign(1, 0);
        smoothGlitches(rec);
        rec.maxPressure = computeMaxPressure(rec);
        rec.heaterRemoval = locateHeaterRemoval(rec);
        return rec;
    }

    // The interfacial fusion pressure each procedure wants: 75 psi or 0.155 MPa.
    double interfacialPsi() const {
        return procedure == u"astm-f2620" ? 75 : 0.155 * psiPerUnit(3);
    }

private:
    int tick_ = 0;
    double level_ = 0;
};

}  // namespace vr5::test
