#pragma once

#include <QByteArray>
#include <QString>
#include <QTextStream>

#include "app/command_line.h"
#include "evaluation/procedure.h"
#include "report/joint_record.h"
#include "settings/settings_store.h"

namespace vr5 {

// --evaluate, --evaluate-csv and --export-csv: JSON lines go to `out`, messages to `err`.
// The procedure is the one the command names, else the one the settings remember, else the
// default one.
int runEvaluate(const CommandLine& command, const SettingsStore& settings, QTextStream& out,
                QTextStream& err);

// The procedure named on the command line, else the remembered one, else the default.
ProcedureLoad chooseProcedure(const QString& named, const SettingsStore& settings);

// One field of a CSV row: quoted (inner quotes doubled) when it holds a comma, a quote or a line
// break, as spreadsheets read it.
QString csvField(const QString& text);

// The record's samples after smoothing, as the text of a CSV file: the joint's facts as leading
// "# Label,value" rows, then time (s), pressure in the report's unit and pressure in psi. Rows
// end in CR LF; numbers always use '.'.
QByteArray samplesCsv(const JointRecord& rec);

}  // namespace vr5
