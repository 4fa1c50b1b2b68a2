#pragma once

#include <QByteArray>
#include <QString>

#include "report/calibration_record.h"
#include "report/joint_record.h"

namespace vr5 {

// The decoded report as one JSON object (UTF-8), for QA tools.
QByteArray reportToJson(const JointRecord& rec, const QString& file);

// A calibration file's record as one JSON object (UTF-8): its sixteen fields as read, the
// eight results and the summary lines.
QByteArray calibrationToJson(const CalibrationRecord& rec, const QString& file);

}  // namespace vr5
