#pragma once

#include <QString>
#include <QStringList>

#include "report/joint_record.h"

namespace vr5 {

// How the report header treats the machine of a report, from its model text.
struct ReportMachineKind {
    bool mechanical = false;  // set up from a fitting label, bead and fuse pressures only
    bool suffix = false;      // model ending in " ZX": piston area shown, no cool phase
    bool directArea = false;  // fusion area typed in, shown as "Pipe Area"
};
ReportMachineKind reportMachineKind(const QString& modelText);

// The numbered list of joint facts shown above the plots. Entries starting with ": " belong on
// the row of the entry before them, "^" starts the next column, "" is an empty row.
QStringList buildReportHeaderLines(const JointRecord& rec);
// The report's date and time as "YYYY-MM-DD HH:MM:SS"; empty when the report gives no year.
QString reportDateText(const ReportFields& f);
// The value the report page shows beside a numbered label ("Pipe Size"), without its ": ".
QString reportHeaderValue(const JointRecord& rec, QLatin1String label);

// The identification entry's text without its number, from the report's identity string.
QString identityLineText(const QString& identity);

// The notes as lines of at most about `width` characters, broken at blanks where possible.
QStringList wrapNotes(const QString& notes, int width = 55);

// The notes in at most `rows` lines: wrapped as usual when they fit; otherwise with their line
// breaks shown as " / " so that the text runs on, and, when even that is too long, cut with
// "..." at the end of the last row.
QStringList fitNotes(const QString& notes, int rows, int width = 55);

// The pipe area shown for a direct-area machine: the reserve data before its first "~".
QString reservePipeAreaText(const QString& reserve);
// True when the reserve data marks the pressures as forces read from a fitting's label.
bool reserveHasFittingLabelFlag(const QString& reserve);

}  // namespace vr5
