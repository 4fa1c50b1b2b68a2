#include "evaluation/procedure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>

#include "evaluation/procedure_limits.h"
#include "setup/pipe_catalogue.h"

// A static library's resources are linked in only when something names them.
static void initProcedureResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(procedures);
        return true;
    }();
    (void)done;
}

namespace vr5 {

namespace {

// No procedure file is anywhere near this; a larger one is not read at all.
constexpr qint64 kMaxProcedureFileBytes = 1 << 20;

const QStringList& builtInIds() {
    static const QStringList ids{QStringLiteral("astm-f2620"), QStringLiteral("iso-21307-slp"),
                                 QStringLiteral("dvs-2207-1")};
    return ids;
}

// The units a check's limit may be given in.
QStringList unitsOfCheck(const QString& check) {
    if (check == u"heater_temperature") return {QStringLiteral("°F"), QStringLiteral("°C")};
    if (check.endsWith(u"_pressure"))
        return {QStringLiteral("psi"), QStringLiteral("MPa"), QStringLiteral("bar")};
    return {QStringLiteral("s"), QStringLiteral("min")};
}

bool isCheckName(const QString& name) {
    static const QStringList names{
        "heater_temperature", "interfacial_pressure", "heat_soak_time",
        "open_time",          "build_up_time",        "cooling_time",
        "fusion_pressure",    "bead_up_pressure",     "heat_soak_pressure"};
    return names.contains(name);
}

QString text(double value) {
    return QString::number(value, 'f', 1);
}

// ---- checking a file's form; each function returns what is wrong, or an empty string ----

QString checkVariable(const QJsonObject& o) {
    const QString of = o.value(u"of").toString();
    if (of != u"e" && of != u"d") return QStringLiteral("\"of\" must be \"e\" or \"d\"");
    if (o.contains(u"in")) {
        const QString in = o.value(u"in").toString();
        if (in != u"mm" && in != u"in") return QStringLiteral("\"in\" must be \"mm\" or \"in\"");
    }
    return {};
}

QString checkNumbers(const QJsonArray& a, const QString& what) {
    for (const QJsonValue& v : a) {
        if (!v.isDouble()) return what + QStringLiteral(" holds something that is not a number");
    }
    return {};
}

QString checkBound(const QJsonValue& value) {
    if (value.isDouble()) return {};
    if (!value.isObject()) return QStringLiteral("must be a number or an object");
    const QJsonObject o = value.toObject();
    if (o.size() != 1) return QStringLiteral("must hold exactly one of linear, table, pieces");
    const QString kind = o.constBegin().key();
    if (!o.constBegin().value().isObject()) return kind + QStringLiteral(" must be an object");
    const QJsonObject f = o.constBegin().value().toObject();
    if (const QString e = checkVariable(f); !e.isEmpty()) return kind + QStringLiteral(": ") + e;
    if (kind == u"linear") {
        if (!f.value(u"per").isDouble()) return QStringLiteral("linear: missing number \"per\"");
        if (f.contains(u"constant") && !f.value(u"constant").isDouble())
            return QStringLiteral("linear: \"constant\" must be a number");
        return {};
    }
    if (kind == u"table") {
        if (f.contains(u"interpolate") && !f.value(u"interpolate").isBool())
            return QStringLiteral("table: \"interpolate\" must be true or false");
        if (!f.value(u"rows").isArray() || f.value(u"rows").toArray().isEmpty())
            return QStringLiteral("table: missing \"rows\"");
        const QJsonArray rows = f.value(u"rows").toArray();
        double previousHi = -HUGE_VAL;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QString row = QStringLiteral("table row %1").arg(i + 1);
            const QJsonArray r = rows.at(i).toArray();
            if (!rows.at(i).isArray() || (r.size() != 3 && r.size() != 4))
                return row + QStringLiteral(" must be [lo, hi, value] or [lo, hi, at lo, at hi]");
            if (const QString e = checkNumbers(r, row); !e.isEmpty()) return e;
            if (r.at(0).toDouble() >= r.at(1).toDouble())
                return row + QStringLiteral(" has lo >= hi");
            if (r.at(0).toDouble() < previousHi)
                return row + QStringLiteral(" overlaps the row before it");
            previousHi = r.at(1).toDouble();
        }
        return {};
    }
    if (kind == u"pieces") {
        const QJsonArray pieces = f.value(u"pieces").toArray();
        if (pieces.isEmpty()) return QStringLiteral("pieces: missing \"pieces\"");
        double previousTo = -HUGE_VAL;
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const QString piece = QStringLiteral("piece %1").arg(i + 1);
            const QJsonObject p = pieces.at(i).toObject();
            if (!p.value(u"from").isDouble())
                return piece + QStringLiteral(" has no number \"from\"");
            const bool last = i + 1 == pieces.size();
            if (!last && !p.value(u"to").isDouble())
                return piece + QStringLiteral(" has no number \"to\"");
            if (p.contains(u"to") && p.value(u"from").toDouble() >= p.value(u"to").toDouble())
                return piece + QStringLiteral(" has from >= to");
            if (p.value(u"from").toDouble() < previousTo)
                return piece + QStringLiteral(" overlaps the piece before it");
            previousTo = p.value(u"to").toDouble(HUGE_VAL);
            const QJsonArray poly = p.value(u"poly").toArray();
            if (poly.isEmpty()) return piece + QStringLiteral(" has no \"poly\"");
            if (const QString e = checkNumbers(poly, piece); !e.isEmpty()) return e;
        }
        return {};
    }
    return QStringLiteral("unknown form \"%1\"").arg(kind);
}

QString checkLimit(const QString& check, const QJsonValue& value) {
    if (!value.isObject()) return QStringLiteral("must be an object");
    const QJsonObject o = value.toObject();
    if (o.contains(u"reason")) {
        if (!o.value(u"reason").isString() || o.value(u"reason").toString().isEmpty())
            return QStringLiteral("\"reason\" must be a text");
        return {};
    }
    if (!o.value(u"unit").isString()) return QStringLiteral("missing text \"unit\"");
    if (!unitsOfCheck(check).contains(o.value(u"unit").toString()))
        return QStringLiteral("unit \"%1\" does not fit this check (%2)")
            .arg(o.value(u"unit").toString(), unitsOfCheck(check).join(u", "));
    if (!o.value(u"source").isString()) return QStringLiteral("missing text \"source\"");
    static const QStringList statuses{"confirmed", "one_source", "common_practice"};
    if (!statuses.contains(o.value(u"status").toString()))
        return QStringLiteral("\"status\" must be confirmed, one_source or common_practice");
    if (!o.contains(u"min") && !o.contains(u"max"))
        return QStringLiteral("needs \"min\", \"max\" or \"reason\"");
    for (const char* side : {"min", "max"}) {
        const QString key = QLatin1String(side);
        if (!o.contains(key)) continue;
        if (const QString e = checkBound(o.value(key)); !e.isEmpty())
            return key + QStringLiteral(": ") + e;
    }
    return {};
}

// ---- working a limit out for a joint ----

struct Bound {
    std::optional<double> value;
    QString reason;
};

Bound variable(const QJsonObject& f, const PipeGeometry& pipe, double& x) {
    const bool wall = f.value(u"of").toString() == u"e";
    const std::optional<double> mm = wall ? pipe.wallMm : pipe.diameterMm;
    if (!mm) {
        return {std::nullopt, wall ? QStringLiteral("no wall thickness for this joint")
                                   : QStringLiteral("no outside diameter for this joint")};
    }
    x = f.value(u"in").toString() == u"in" ? *mm / kMillimetresPerInch : *mm;
    return {};
}

QString wallText(const QJsonObject& f, double x) {
    const bool inches = f.value(u"in").toString() == u"in";
    const QString what =
        f.value(u"of").toString() == u"e" ? QStringLiteral("wall") : QStringLiteral("diameter");
    return what + u' ' +
           (inches ? QString::number(x, 'f', 3) + QStringLiteral(" in")
                   : text(x) + QStringLiteral(" mm"));
}

// The limit of a formula at x (mm or inches, as the formula says).
Bound formula(const QJsonObject& f, const QString& kind, double x) {
    if (kind == u"linear")
        return {f.value(u"constant").toDouble(0) + f.value(u"per").toDouble() * x, {}};
    if (kind == u"table") {
        const QJsonArray rows = f.value(u"rows").toArray();
        const bool interpolate = f.value(u"interpolate").toBool(false);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QJsonArray r = rows.at(i).toArray();
            const double lo = r.at(0).toDouble(), hi = r.at(1).toDouble();
            // A row covers (lo, hi]; the first row also takes its own lower end.
            if (!((x > lo || (i == 0 && x == lo)) && x <= hi)) continue;
            const double atLo = r.at(2).toDouble();
            const double atHi = r.size() > 3 ? r.at(3).toDouble() : atLo;
            if (!interpolate) return {atLo, {}};
            return {atLo + (atHi - atLo) * (x - lo) / (hi - lo), {}};
        }
        return {std::nullopt,
                wallText(f, x) + QStringLiteral(" is outside every row of this procedure's table")};
    }
    // pieces: the first piece with from <= x < to; the powers of x rise along "poly".
    for (const QJsonValue& pv : f.value(u"pieces").toArray()) {
        const QJsonObject p = pv.toObject();
        if (x < p.value(u"from").toDouble() || x >= p.value(u"to").toDouble(HUGE_VAL)) continue;
        double sum = 0, power = 1;
        for (const QJsonValue& c : p.value(u"poly").toArray()) {
            sum += c.toDouble() * power;
            power *= x;
        }
        return {sum, {}};
    }
    return {std::nullopt,
            wallText(f, x) + QStringLiteral(" is outside every range of this procedure")};
}

// A limit worked out from a joint's size: a number, or why there is none for this joint. Numbers
// in the file are finite, but a formula may still overflow for a large pipe.
Bound bound(const QJsonValue& value, const PipeGeometry& pipe) {
    if (value.isDouble()) return {value.toDouble(), {}};
    const QJsonObject o = value.toObject();
    const QString kind = o.constBegin().key();
    const QJsonObject f = o.constBegin().value().toObject();
    double x = 0;
    if (Bound missing = variable(f, pipe, x); !missing.reason.isEmpty()) return missing;
    Bound b = formula(f, kind, x);
    if (b.value && !std::isfinite(*b.value)) {
        return {std::nullopt,
                wallText(f, x) + QStringLiteral(" gives a limit out of range in this procedure")};
    }
    return b;
}

QJsonObject limitsOf(const Procedure& procedure) {
    return QJsonDocument::fromJson(procedure.json).object().value(u"limits").toObject();
}

ProcedureLoad refuse(const QString& fileName, const QString& what) {
    return {std::nullopt, fileName + QStringLiteral(": ") + what};
}

ProcedureLoad readProcedureFile(const QString& path, const QString& id) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(name, QStringLiteral("cannot be read"));
    if (file.size() > kMaxProcedureFileBytes) return refuse(name, QStringLiteral("is too large"));
    ProcedureLoad load = parseProcedure(file.read(kMaxProcedureFileBytes), name);
    if (load.procedure && load.procedure->info.id != id) {
        return refuse(name, QStringLiteral("its \"id\" \"%1\" does not match the file name")
                                .arg(load.procedure->info.id));
    }
    return load;
}

// An ID names a file in a folder: nothing that could reach outside it.
bool isPlainId(const QString& id) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    return id.size() <= 100 && plain.match(id).hasMatch();
}

}  // namespace

QString defaultProcedureId() {
    return QStringLiteral("astm-f2620");
}

QString procedureFolderPath() {
    const QString given = qEnvironmentVariable("VR5XP_PROCEDURE_DIR");
    if (!given.isEmpty()) return given;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarnell/procedures");
}

QString builtInProcedurePath(const QString& id) {
    return QStringLiteral(":/procedures/") + id + QStringLiteral(".json");
}

bool procedureHasLimit(const Procedure& procedure, const QString& check) {
    const QJsonValue entry = limitsOf(procedure).value(check);
    return entry.isObject() && !entry.toObject().contains(u"reason");
}

AppliedLimit Procedure::limit(const QString& check, const PipeGeometry& pipe) const {
    AppliedLimit out;
    const QJsonValue entry = limitsOf(*this).value(check);
    if (!entry.isObject()) {
        out.reason = QStringLiteral("not part of this procedure");
        return out;
    }
    const QJsonObject o = entry.toObject();
    if (o.contains(u"reason")) {
        out.reason = o.value(u"reason").toString();
        return out;
    }
    out.unit = o.value(u"unit").toString();
    out.source = o.value(u"source").toString();
    const QString status = o.value(u"status").toString();
    out.status = status == u"one_source"        ? LimitStatus::OneSource
                 : status == u"common_practice" ? LimitStatus::CommonPractice
                                                : LimitStatus::Confirmed;
    for (const bool isMin : {true, false}) {
        const QJsonValue side = o.value(isMin ? u"min" : u"max");
        if (side.isUndefined()) continue;
        const Bound b = bound(side, pipe);
        if (!b.reason.isEmpty()) {
            out.min.reset();
            out.max.reset();
            out.reason = b.reason;
            return out;
        }
        (isMin ? out.min : out.max) = b.value;
    }
    return out;
}

ProcedureLoad parseProcedure(const QByteArray& text, const QString& fileName) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        return refuse(
            fileName,
            QStringLiteral("not JSON (%1 at byte %2)").arg(error.errorString()).arg(error.offset));
    }
    if (!doc.isObject()) return refuse(fileName, QStringLiteral("not a JSON object"));
    const QJsonObject o = doc.object();
    for (const char* field : {"id", "name", "edition"}) {
        const QJsonValue v = o.value(QLatin1String(field));
        if (v.isUndefined()) return refuse(fileName, QStringLiteral("missing \"%1\"").arg(field));
        if (!v.isString() || v.toString().isEmpty())
            return refuse(fileName, QStringLiteral("\"%1\" must be a text").arg(field));
    }
    if (!isPlainId(o.value(u"id").toString()))
        return refuse(fileName,
                      QStringLiteral("\"id\" may hold only letters, digits, '.', '_' and '-'"));
    QStringList materials;
    if (o.contains(u"materials")) {
        const QJsonArray list = o.value(u"materials").toArray();
        if (!o.value(u"materials").isArray() || list.isEmpty())
            return refuse(fileName, QStringLiteral("\"materials\" must be a list of texts"));
        for (const QJsonValue& m : list) {
            if (!m.isString() || m.toString().trimmed().isEmpty())
                return refuse(fileName, QStringLiteral("\"materials\" must be a list of texts"));
            materials << m.toString().trimmed();
        }
    }
    if (!o.contains(u"limits")) return refuse(fileName, QStringLiteral("missing \"limits\""));
    if (!o.value(u"limits").isObject())
        return refuse(fileName, QStringLiteral("\"limits\" must be an object"));
    const QJsonObject limits = o.value(u"limits").toObject();
    for (auto it = limits.constBegin(); it != limits.constEnd(); ++it) {
        if (!isCheckName(it.key()))
            return refuse(fileName, QStringLiteral("unknown check \"%1\"").arg(it.key()));
        if (const QString e = checkLimit(it.key(), it.value()); !e.isEmpty())
            return refuse(fileName, QStringLiteral("limits.%1: %2").arg(it.key(), e));
    }
    Procedure p;
    p.info = {o.value(u"id").toString(), o.value(u"name").toString(),
              o.value(u"edition").toString()};
    if (!materials.isEmpty()) p.info.materials = materials;
    p.json = QJsonDocument(QJsonObject{{QStringLiteral("limits"), limits}})
                 .toJson(QJsonDocument::Compact);
    return {p, QString()};
}

ProcedureLoad loadProcedure(const QString& id) {
    initProcedureResources();
    if (!isPlainId(id))
        return {std::nullopt, QStringLiteral("\"%1\" is not a procedure ID").arg(id)};
    const QString own = QDir(procedureFolderPath()).filePath(id + QStringLiteral(".json"));
    if (QFileInfo::exists(own)) return readProcedureFile(own, id);
    const QString builtIn = builtInProcedurePath(id);
    if (QFileInfo::exists(builtIn)) return readProcedureFile(builtIn, id);
    return {std::nullopt, QStringLiteral("no procedure \"%1\": neither built in nor in %2")
                              .arg(id, QDir::toNativeSeparators(procedureFolderPath()))};
}

QList<ProcedureInfo> availableProcedures() {
    QList<ProcedureInfo> out;
    for (const QString& id : builtInIds()) {
        if (const ProcedureLoad load = loadProcedure(id); load.procedure)
            out << load.procedure->info;
    }
    const QDir folder(procedureFolderPath());
    for (const QString& name :
         folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        const QString id = name.chopped(5);
        if (builtInIds().contains(id)) continue;
        if (const ProcedureLoad load = loadProcedure(id); load.procedure)
            out << load.procedure->info;
    }
    return out;
}

}  // namespace vr5
