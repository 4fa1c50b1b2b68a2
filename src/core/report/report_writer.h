#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "report/joint_record.h"

namespace vr5 {

struct Sample {
    int time = 0;      // ticks, 0..65535
    int pressure = 0;  // psi, signed 16-bit
};

// Everything a joint report file holds, ready to be encoded.
struct ReportContent {
    QByteArray preamble = QByteArray("VR5Xv0.3.0");  // written as is (10 bytes expected)
    ReportFields fields;
    // The logger's summary line without its NUL; empty means "build it from the fields and the
    // samples" (maximum pressure, logged duration, sample count).
    QByteArray summaryLine;
    std::vector<Sample> samples;
    QByteArray trailer;  // bytes after the last sample, kept but never read
};

// A string as the report stores it: count word, then UTF-16 units high byte first; an empty
// string is the count 0 and one filler word.
QByteArray encodeReportString(const QString& text);
QByteArray encodeReportWord(int value);

// The summary line the logger sends for a run: maximum pressure, logged duration, sample count.
QByteArray makeSummaryLine(int maxPressure, int loggedDuration, int sampleCount);

QByteArray encodeReport(const ReportContent& content);

}  // namespace vr5
