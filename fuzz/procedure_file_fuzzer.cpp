// Any bytes as a procedure file: either it is refused, with the file's name and what is wrong,
// or it is a procedure whose every limit, for joints of any size or of none, is a finite number
// in a unit of its check or comes with the reason why there is none; and holding a few joints
// against it gives one finite result a check and a verdict, in JSON that reads back.
#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "evaluation/evaluation.h"
#include "evaluation/procedure.h"
#include "evaluation/procedure_limits.h"
#include "fixture_description.h"
#include "fuzz_check.h"
#include "report/report_decoder.h"

namespace {

using namespace vr5;

const QString kFileName = QStringLiteral("own.json");

// The joints held against each procedure: a pipe in inches, one in millimetres, a fitting
// (no pipe size), and a record without a single sample.
const std::vector<JointRecord>& joints() {
    static const std::vector<JointRecord> records = [] {
        const char* descriptions[] = {
            "pipe_size: 8\npipe_size_unit: IPS\nwall: 11\nwall_unit: DR\nrec_fuse: 337\n"
            "drag: 30\nifp_fuse: 75\ninterval: 5\nramp: 337 50\nhold: 150\nramp: 30 25\n"
            "hold: 1200\nramp: 0 15\nhold: 25\nramp: 337 40\nhold: 3300\nramp: 0 30\n",
            "pipe_size: 250\npipe_size_unit: mm JIS\nwall: 11\npressure_unit: MPa\n"
            "temp_unit: C\nheater_temp: 221\ninterval: 5\nramp: 378 50\nhold: 200\n"
            "ramp: 30 25\nhold: 900\nramp: 0 10\nhold: 10\nramp: 378 20\nhold: 1500\n",
            "pipe_size: Tee\nwall: 4\" IPS x 4\" IPS\ninterval: 5\nramp: 200 20\nhold: 100\n",
            "notes: no samples\n",
        };
        std::vector<JointRecord> out;
        for (const char* text : descriptions) {
            const fixtures::ParseResult parsed =
                fixtures::parseFixtureDescription(QString::fromUtf8(text));
            if (!parsed.ok()) {
                std::fprintf(stderr, "procedure_file fuzzer: %s\n", qPrintable(parsed.error));
                __builtin_trap();
            }
            JointRecord rec;
            decodeReport(fixtures::buildFixture(parsed.fixture), rec);
            out.push_back(rec);
        }
        return out;
    }();
    return records;
}

// Walls and diameters (mm) from none at all to far beyond any pipe.
const std::vector<PipeGeometry>& geometries() {
    static const std::vector<PipeGeometry> all{
        {},          {2.0, std::nullopt}, {std::nullopt, 110.0}, {0.0, 0.0},
        {1.9, 20.0}, {19.8, 219.1},       {18.0, 250.0},         {150.0, 2500.0},
        {1e6, 1e7},
    };
    return all;
}

QStringList unitsOf(const QString& check) {
    if (check == u"heater_temperature") return {QStringLiteral("°F"), QStringLiteral("°C")};
    if (check.endsWith(u"_pressure"))
        return {QStringLiteral("psi"), QStringLiteral("MPa"), QStringLiteral("bar")};
    return {QStringLiteral("s"), QStringLiteral("min")};
}

bool finite(const std::optional<double>& value) {
    return !value || std::isfinite(*value);
}

void checkLimit(const Procedure& procedure, const QString& check, const AppliedLimit& limit) {
    if (!limit.reason.isEmpty()) {
        FUZZ_CHECK(!limit.min && !limit.max);
        return;
    }
    FUZZ_CHECK(limit.min || limit.max);
    FUZZ_CHECK(finite(limit.min) && finite(limit.max));
    FUZZ_CHECK(unitsOf(check).contains(limit.unit));
    FUZZ_CHECK(procedureHasLimit(procedure, check));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No copy: a read past the last byte lands outside the fuzzer's buffer.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ProcedureLoad load = parseProcedure(bytes, kFileName);
    if (!load.procedure) {
        FUZZ_CHECK(load.error.startsWith(kFileName + QStringLiteral(": ")));
        FUZZ_CHECK(load.error.size() > kFileName.size() + 2);
        return 0;
    }
    FUZZ_CHECK(load.error.isEmpty());
    const Procedure& procedure = *load.procedure;
    FUZZ_CHECK(!procedure.info.id.isEmpty() && !procedure.info.name.isEmpty() &&
               !procedure.info.edition.isEmpty());

    for (const PipeGeometry& pipe : geometries()) {
        for (const QString& check : checkNames()) {
            checkLimit(procedure, check, procedure.limit(check, pipe));
        }
    }

    for (const JointRecord& rec : joints()) {
        const Evaluation evaluation = evaluateJoint(rec, procedure);
        FUZZ_CHECK(evaluation.checks.size() == checkNames().size());
        bool outside = false, open = false;
        for (const Check& c : evaluation.checks) {
            FUZZ_CHECK(finite(c.measured));
            if (c.result == CheckResult::NotChecked) {
                FUZZ_CHECK(!c.reason.isEmpty());
                open = open || procedureHasLimit(procedure, c.name);
                continue;
            }
            FUZZ_CHECK(c.measured && c.limit.applies());
            checkLimit(procedure, c.name, c.limit);
            // Within or outside as the measurement lies, a hair's breadth on a limit within.
            const double m = *c.measured;
            const bool within = (!c.limit.min || m >= *c.limit.min - 1e-9) &&
                                (!c.limit.max || m <= *c.limit.max + 1e-9);
            FUZZ_CHECK(within == (c.result == CheckResult::Within));
            outside = outside || !within;
        }
        FUZZ_CHECK(outside == (evaluation.verdict == Verdict::Outside));
        if (open) FUZZ_CHECK(evaluation.verdict != Verdict::Within);
        FUZZ_CHECK(!QJsonDocument::fromJson(evaluationToJson(evaluation, QStringLiteral("x.tjr")))
                        .isNull());
    }
    return 0;
}
