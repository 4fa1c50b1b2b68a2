#pragma once

#include <QByteArray>

// Reply lines as a logger sends them, for the logger-link tests.
namespace vr5::test {

struct StatusFields {
    char logging = '0';
    int samples = 0;
    QByteArray elapsed = " 0:00.0";
    QByteArray stopwatch = " 0:12.4";
    int pressure = 150;
    int temperature = 440;
    char temperatureFlag = '1';
    int battery = 87;
    bool info = true;
};

inline QByteArray padded(int value, int width, char fill) {
    return QByteArray::number(value).rightJustified(width, fill);
}

// "Pw01" and every section at its position; with the info section the line has 77 characters.
inline QByteArray statusLine(const StatusFields& f = {}) {
    QByteArray line = "Pw01L";
    line += f.logging;
    line += 'r' + padded(f.samples, 5, ' ') + 'e' + f.elapsed + 's' + f.stopwatch;
    line += 'p' + padded(f.pressure, 4, '0') + ',' + padded(f.temperature, 3, '0') + ',';
    line += f.temperatureFlag;
    line += 'b' + padded(f.battery, 3, '0');
    line += f.info ? "i00000P123 AB4C6E 20260315 probe-7" : "x";
    return line;
}

// The logger's echo of a record the program sent: "Wp02:...eom\r\n" comes back "Pw02:...eom".
inline QByteArray echo(const QByteArray& record) {
    QByteArray line = record;
    line.replace(0, 2, "Pw");
    return line.left(line.size() - 2);
}

inline QByteArray summaryLine(int sampleCount) {
    return "Pw11:xx0250xx01500xx" + QByteArray::number(sampleCount) + "eom";
}

// A page of samples: 8 hex digits each, time then pressure.
inline QByteArray pageLine(int firstTick, int count, int pressure) {
    QByteArray line = "Pw12:";
    for (int i = 0; i < count; ++i) {
        line += QByteArray::number((firstTick + i) & 0xFFFF, 16).rightJustified(4, '0');
        line += QByteArray::number(pressure & 0xFFFF, 16).rightJustified(4, '0');
    }
    return line + "eom";
}

}  // namespace vr5::test
