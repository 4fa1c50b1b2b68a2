#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A butt-fusion procedure as data: its limits, each with where it comes from and how well it is
// confirmed. The built-in procedures ship with the program; a company's own qualified
// procedure is one more file in the user's procedure folder.
namespace vr5 {

enum class LimitStatus { Confirmed, OneSource, CommonPractice };

// What a limit is worked out from: the joint's nominal wall e (mm) and outside diameter d (mm).
struct PipeGeometry {
    std::optional<double> wallMm;
    std::optional<double> diameterMm;
};

// One check's limit as it applies to a joint, in the procedure's own unit ("°F", "°C", "psi",
// "MPa", "s", "min"). A side that the procedure leaves open is empty; when the limit cannot be
// worked out for this joint (a wall outside every row, a missing wall), `reason` says why and both
// sides are empty.
struct AppliedLimit {
    std::optional<double> min;
    std::optional<double> max;
    QString unit;
    QString source;
    LimitStatus status = LimitStatus::Confirmed;
    QString reason;
    bool applies() const { return reason.isEmpty() && (min || max); }
};

struct ProcedureInfo {
    QString id;
    QString name;     // "ASTM F2620"
    QString edition;  // "2019"
    // The pipe materials the procedure is for, as the file names them; "PE" when it names none.
    QStringList materials{QStringLiteral("PE")};
};

class Procedure {
public:
    ProcedureInfo info;
    // The limit of a check (the check names of the evaluation) for a joint; a check the
    // procedure has no limit for gives a reason ("not part of this procedure").
    AppliedLimit limit(const QString& check, const PipeGeometry& pipe) const;

    // The parsed file, kept for limit(); see procedure.cpp for its form.
    QByteArray json;
};

struct ProcedureLoad {
    std::optional<Procedure> procedure;
    QString error;  // names the file and what is wrong with it
};

// The procedures built in: "astm-f2620" (the default), "iso-21307-slp", "dvs-2207-1".
QString defaultProcedureId();
// A procedure file's text, checked whole: a malformed one is refused with its name and why.
ProcedureLoad parseProcedure(const QByteArray& text, const QString& fileName);
// Finds a procedure by ID: the user's procedure folder ($VR5XP_PROCEDURE_DIR, else
// "Tarnell/procedures" in the user's configuration folder) first, then the built-in ones.
ProcedureLoad loadProcedure(const QString& id);
// Every procedure that loads, built-in ones first, for the evaluation's chooser.
QList<ProcedureInfo> availableProcedures();
QString procedureFolderPath();

}  // namespace vr5
