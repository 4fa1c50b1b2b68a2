// The joint archive's speed: an import of 10,000 reports into SQLite (at least 1,000 reports a
// second), a filtered list over 100,000 archived reports (under 50 ms), and the verify of one
// file as a whole process (under 20 ms). Each figure carries its target as its label.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "archive/archive_connection.h"
#include "archive/joint_archive.h"
#include "bench_support.h"

namespace {

using namespace vr5;

constexpr int kImported = 10000;
constexpr int kListed = 100000;

QString benchFolder;   // the run's own folder
QString reportFolder;  // kImported reports, each its own joint
QString bigArchive;    // kListed archived reports
QString verifyFile;    // one of them, as a file

QByteArray joint(int n, int day) {
    fixtures::FixtureDescription fixture;
    QString error;
    if (!fixtures::readFixtureFile(QStringLiteral(VR5_BENCH_FIXTURE_DIR "/plain_hydraulic.txt"),
                                   fixture, error))
        return {};
    fixture.content.fields.jointNumber = n % 1000;
    fixture.content.fields.jobNumber = QStringLiteral("J-%1").arg(n / 1000);
    fixture.content.fields.day = 1 + day % 28;
    fixture.content.fields.month = 1 + (day / 28) % 12;
    return fixtures::buildFixture(fixture);
}

void BM_Import10000(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        const QString file = benchFolder + QStringLiteral("/import-%1.sqlite").arg(round++);
        JointArchive archive;
        if (!archive.open(ArchiveLocation::sqliteFile(file))) {
            state.SkipWithError(archive.error().toUtf8().constData());
            return;
        }
        const ImportCounts counts = archive.importFiles({reportFolder});
        if (counts.fresh != kImported) {
            state.SkipWithError("not every report was archived");
            return;
        }
    }
    state.counters["reports_per_s"] =
        benchmark::Counter(static_cast<double>(kImported) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.SetLabel("target >= 1000 reports/s");
}
BENCHMARK(BM_Import10000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// 100,000 archived reports, stored straight into the tables (an import of as many would take
// minutes): 100 jobs of 1,000 joints, 50 employees, every verdict.
bool makeBigArchive() {
    JointArchive archive;
    if (!archive.open(ArchiveLocation::sqliteFile(bigArchive))) return false;
    const JointArchive::Connection& c = archive.connection();
    QString error;
    const QByteArray sample = joint(1, 1).left(1024);
    const char* verdicts[] = {"within", "outside", "incomplete", "demo"};
    const char* procedures[] = {"astm-f2620", "iso-21307-slp", "dvs-2207-1"};
    if (!c.begin(error)) return false;
    for (int n = 0; n < kListed; ++n) {
        QByteArray bytes = sample;
        bytes.append(QByteArray::number(n));
        const QString sha = sha256Hex(bytes);
        const QString date = QStringLiteral("2024-%1-%2 10:00:00")
                                 .arg(1 + (n / 28) % 12, 2, 10, QChar(u'0'))
                                 .arg(1 + n % 28, 2, 10, QChar(u'0'));
        if (!c.run(QStringLiteral(
                       "INSERT INTO reports (sha256, kind, bytes, size, report_date, job, joint, "
                       "employee, machine, model, material, pipe, logger, samples, duration_s, "
                       "demo, damaged, damage, source_name, importer, imported_at, notes) VALUES "
                       "(?, 'report', ?, ?, ?, ?, ?, ?, ?, 'ZA2 HF', 'HDPE PE4710', '8 IPS DR 11', "
                       "'VR5Xv0.3.0 ABCD12320120506', 972, 971, 0, 0, '', 'r.tjr', 'qa@office', "
                       "'2025-01-01T00:00:00Z', 'Joint OK')"),
                   {sha, bytes, bytes.size(), date, QStringLiteral("J-%1").arg(n / 1000), n % 1000,
                    QStringLiteral("E-%1").arg(n % 50), QStringLiteral("M-%1").arg(n % 20)},
                   error))
            return false;
        for (int p = 0; p < 3; ++p) {
            if (!c.run(QStringLiteral("INSERT INTO evaluations (sha256, procedure_id, verdict, "
                                      "result) VALUES (?, ?, ?, '{}')"),
                       {sha, QString::fromLatin1(procedures[p]),
                        QString::fromLatin1(verdicts[(n + p) % 4])},
                       error))
                return false;
        }
    }
    if (!c.commit(error)) return false;
    // The file the verify benchmark checks: archived like every other.
    const QByteArray report = joint(kListed + 1, 3);
    return archive.archiveBytes(report, QStringLiteral("verify.tjr")) == ImportOutcome::New &&
           bench::writeBenchFile("archive_bench", verifyFile, report);
}

void BM_ListFiltered(benchmark::State& state, int which) {
    JointArchive archive;
    if (!archive.open(ArchiveLocation::sqliteFile(bigArchive))) {
        state.SkipWithError(archive.error().toUtf8().constData());
        return;
    }
    ArchiveFilter filter;
    switch (which) {
        case 0:  // a job's joints
            filter.job = QStringLiteral("J-42");
            break;
        case 1:  // an employee's joints outside the procedure in a month
            filter.employee = QStringLiteral("E-7");
            filter.verdict = QStringLiteral("outside");
            filter.from = QDate(2024, 3, 1);
            filter.to = QDate(2024, 3, 31);
            break;
        default:  // a job's joints outside the procedure
            filter.job = QStringLiteral("J-7");
            filter.verdict = QStringLiteral("outside");
            break;
    }
    qsizetype rows = 0;
    for (auto _ : state) {
        const QList<ArchivedReport> found = archive.list(filter);
        rows = found.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetLabel("target < 50 ms");
}
BENCHMARK_CAPTURE(BM_ListFiltered, job, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ListFiltered, employee_outside_month, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ListFiltered, job_outside, 2)->Unit(benchmark::kMillisecond);

void BM_VerifyProcess(benchmark::State& state) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VR5XP_ARCHIVE"), bigArchive);
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VR5_BENCH_PROGRAM),
                {QStringLiteral("--archive-verify"), verifyFile});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            state.SkipWithError("the verify did not say identical");
            return;
        }
    }
    state.SetLabel("target < 20 ms");
}
BENCHMARK(BM_VerifyProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("archive_bench", home)) return 1;
    QCoreApplication app(argc, argv);
    benchFolder = home.path();
    reportFolder = home.filePath(QStringLiteral("reports"));
    bigArchive = home.filePath(QStringLiteral("big.sqlite"));
    verifyFile = home.filePath(QStringLiteral("verify.tjr"));
    QDir().mkpath(reportFolder);
    for (int n = 0; n < kImported; ++n) {
        const QByteArray bytes = joint(n, n);
        if (bytes.isEmpty() ||
            !bench::writeBenchFile("archive_bench",
                                   reportFolder + QStringLiteral("/joint-%1.tjr").arg(n), bytes))
            return 1;
    }
    if (!makeBigArchive()) {
        std::fprintf(stderr, "archive_bench: cannot make the archive of %d reports\n", kListed);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
