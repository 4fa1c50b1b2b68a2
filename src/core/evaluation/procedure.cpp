#include "evaluation/procedure.h"

#include <QDir>
#include <QStandardPaths>

namespace vr5 {

QString defaultProcedureId() { return QStringLiteral("astm-f2620"); }

QString procedureFolderPath() {
    const QString given = qEnvironmentVariable("VR5XP_PROCEDURE_DIR");
    if (!given.isEmpty()) return given;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarnell/procedures");
}

AppliedLimit Procedure::limit(const QString& /*check*/, const PipeGeometry& /*pipe*/) const {
    AppliedLimit none;
    none.reason = QStringLiteral("not part of this procedure");
    return none;
}

ProcedureLoad parseProcedure(const QByteArray& /*text*/, const QString& fileName) {
    return {std::nullopt, fileName + QStringLiteral(": procedure files are not read yet")};
}

ProcedureLoad loadProcedure(const QString& id) {
    Procedure p;
    p.info = {id, id, QString()};
    return {p, QString()};
}

QList<ProcedureInfo> availableProcedures() {
    return {{QStringLiteral("astm-f2620"), QStringLiteral("ASTM F2620"), QString()},
            {QStringLiteral("iso-21307-slp"), QStringLiteral("ISO 21307 single low-pressure"),
             QString()},
            {QStringLiteral("dvs-2207-1"), QStringLiteral("DVS 2207-1"), QString()}};
}

}  // namespace vr5
