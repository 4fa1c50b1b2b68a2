#include "report/report_writer.h"

#include <algorithm>

namespace vr5 {

QByteArray encodeReportWord(int value) {
    QByteArray out(2, '\0');
    out[0] = static_cast<char>(value & 0xff);
    out[1] = static_cast<char>((value >> 8) & 0xff);
    return out;
}

QByteArray encodeReportString(const QString& text) {
    QByteArray out = encodeReportWord(static_cast<int>(text.size()));
    if (text.isEmpty()) return out + encodeReportWord(0);
    out.reserve(2 + 2 * text.size());
    for (QChar c : text) {
        out.append(static_cast<char>(c.unicode() >> 8));
        out.append(static_cast<char>(c.unicode() & 0xff));
    }
    return out;
}

QByteArray makeSummaryLine(int maxPressure, int loggedDuration, int sampleCount) {
    // The reader takes the first two numbers from fixed character positions: a wider number
    // would shift the ones after it.
    auto fixed = [](int value, int width, int largest) {
        return QByteArray::number(std::clamp(value, 0, largest)).rightJustified(width, '0');
    };
    return QByteArray("SM") + fixed(maxPressure, 4, 9999) + "  " + fixed(loggedDuration, 5, 99999) +
           "  " + QByteArray::number(sampleCount).rightJustified(5, '0');
}

QByteArray encodeReport(const ReportContent& c) {
    const ReportFields& f = c.fields;
    QByteArray out = c.preamble;
    auto word = [&out](int v) { out += encodeReportWord(v); };
    auto text = [&out](const QString& s) { out += encodeReportString(s); };

    for (int v : {f.year, f.month, f.day, f.hour, f.minute, f.second}) word(v);
    text(f.machineId);
    word(f.modelIndex);
    text(f.modelText);
    text(f.pistonArea);
    word(f.pistonAreaUnit);
    text(f.employeeId);
    text(f.jobNumber);
    word(f.jointNumber);
    word(f.materialIndex);
    text(f.material);
    text(f.pipeSize);
    word(f.pipeSizeUnit);
    text(f.wall);
    word(f.wallUnit);
    for (const QString& s : f.interfacial) text(s);
    word(f.pressureUnitIndex);
    text(f.drag);
    for (const QString& s : f.recommended) text(s);
    word(f.tempUnitIndex);
    text(f.extHeaterTemp);
    text(f.heaterTemp);
    word(f.notesMarker);
    text(f.location);
    word(f.secondMarker);
    text(f.notes);
    word(f.demo);
    text(f.identity);
    text(f.reserve);

    QByteArray summary = c.summaryLine;
    if (summary.isEmpty()) {
        int maxPressure = 0;
        for (const Sample& s : c.samples) maxPressure = std::max(maxPressure, s.pressure);
        const int duration = c.samples.empty() ? 0 : c.samples.back().time;
        summary = makeSummaryLine(maxPressure, f.loggedDuration > 0 ? f.loggedDuration : duration,
                                  static_cast<int>(c.samples.size()));
    }
    out += summary;
    out += '\0';
    for (const Sample& s : c.samples) {
        word(s.time);
        word(s.pressure);
    }
    out += c.trailer;
    return out;
}

}  // namespace vr5
