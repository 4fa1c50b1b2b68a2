#include "report/report_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vr5 {

QByteArray reportToJson(const JointRecord& rec, const QString& file) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), file);
    o.insert(QStringLiteral("kind"), QStringLiteral("report"));
    o.insert(QStringLiteral("header_lines"), QJsonArray::fromStringList(rec.headerLines));
    o.insert(QStringLiteral("notes"), rec.fields.notes);
    o.insert(QStringLiteral("demo"), rec.isDemo());
    o.insert(QStringLiteral("pressure_unit"), rec.pressureUnitText);
    o.insert(QStringLiteral("psi_per_unit"), rec.psiPerUnit);
    o.insert(QStringLiteral("logged_duration"), rec.fields.loggedDuration);
    o.insert(QStringLiteral("sample_count"), rec.sampleCount);
    o.insert(QStringLiteral("max_pressure"), rec.maxPressure);
    o.insert(QStringLiteral("search_range"), rec.searchRangePercent);
    o.insert(QStringLiteral("heater_removal"), rec.heaterRemoval);
    QJsonArray samples;
    for (int i = 0; i < rec.sampleCount; ++i) {
        samples.append(QJsonArray{rec.Time(i), rec.Pressure(i)});
    }
    o.insert(QStringLiteral("samples"), samples);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray calibrationToJson(const CalibrationRecord& rec, const QString& file) {
    auto array = [](const auto& texts) {
        QJsonArray a;
        for (const QString& t : texts) a.append(t);
        return a;
    };
    QJsonObject o;
    o.insert(QStringLiteral("file"), file);
    o.insert(QStringLiteral("kind"), QStringLiteral("calibration"));
    o.insert(QStringLiteral("fields"), array(rec.fields));
    o.insert(QStringLiteral("temperature_results"), array(rec.temperatureResults));
    o.insert(QStringLiteral("pressure_results"), array(rec.pressureResults));
    o.insert(QStringLiteral("summary_lines"), array(rec.summaryLines));
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace vr5
