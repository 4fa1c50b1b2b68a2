#include "app/headless_evaluate.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "app/headless.h"
#include "app/headless_progress.h"
#include "evaluation/evaluation.h"

namespace vr5 {

namespace {

// 2 when any file failed, else 3 when any was damaged, else 0.
int commandStatus(bool anyFailed, bool anyDamaged) {
    return anyFailed ? kExitFile : anyDamaged ? kExitDamaged : kExitOk;
}

int evaluate(const CommandLine& c, const Procedure& procedure, QTextStream& out, QTextStream& err) {
    const bool csv = c.mode == CommandLine::Mode::EvaluateCsv;
    JointReader reader;
    JobSummary summary;
    TerminalProgress progress(err, QStringLiteral("Evaluating"), c.files.size());
    bool anyFailed = false, anyDamaged = false;
    for (qsizetype i = 0; i < c.files.size(); ++i) {
        const QString& file = c.files[i];
        progress.step(i, file);
        const JointReader::Opened opened = reader.open(file, c.searchRange);
        if (opened == JointReader::Opened::Failed) {
            anyFailed = true;
            progress.clear();
            err << file << ": " << reader.message() << Qt::endl;
            if (csv) {
                summary.addUnreadable(file, reader.message());
            } else {
                const QJsonObject line{{QStringLiteral("file"), file},
                                       {QStringLiteral("error"), reader.message()}};
                out << QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact))
                    << '\n';
            }
            continue;
        }
        const bool damaged = opened == JointReader::Opened::Damaged;
        if (damaged) {
            anyDamaged = true;
            progress.clear();
            err << reader.message() << Qt::endl;
        }
        const Evaluation e = evaluateJoint(reader.record(), procedure);
        if (csv) {
            summary.addJoint(reader.record(), e, file, damaged ? reader.damage() : QString());
        } else {
            // The line goes out whole before the progress shows again on a shared terminal.
            progress.clear();
            out << QString::fromUtf8(evaluationToJson(e, file).trimmed()) << '\n';
            if (writesToTerminal(err)) out.flush();
        }
    }
    progress.clear();
    out.flush();
    if (csv) {
        QString error;
        if (!writeCsvFile(c.output, summary.csv(), error)) {
            err << error << Qt::endl;
            return kExitFile;
        }
    }
    return commandStatus(anyFailed, anyDamaged);
}

int exportSamples(const CommandLine& c, QTextStream& err) {
    JointReader reader;
    const JointReader::Opened opened = reader.open(c.file, c.searchRange);
    if (opened == JointReader::Opened::Failed) {
        err << c.file << ": " << reader.message() << Qt::endl;
        return kExitFile;
    }
    const bool damaged = opened == JointReader::Opened::Damaged;
    if (damaged) err << reader.message() << Qt::endl;
    QString error;
    if (!writeCsvFile(c.output, samplesCsv(reader.record()), error)) {
        err << error << Qt::endl;
        return kExitFile;
    }
    return commandStatus(false, damaged);
}

}  // namespace

int runEvaluate(const CommandLine& c, const SettingsStore& settings, QTextStream& out,
                QTextStream& err) {
    if (c.mode == CommandLine::Mode::ExportCsv) return exportSamples(c, err);
    if (c.mode != CommandLine::Mode::Evaluate && c.mode != CommandLine::Mode::EvaluateCsv)
        return kExitUsage;
    const ProcedureLoad load = chooseProcedure(c.procedure, settings);
    if (!load.procedure) {
        err << load.error << Qt::endl;
        return kExitFile;
    }
    return evaluate(c, *load.procedure, out, err);
}

}  // namespace vr5
