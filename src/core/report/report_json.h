#pragma once

#include <QByteArray>
#include <QString>

#include "report/joint_record.h"

namespace vr5 {

// The decoded report as one JSON object (UTF-8), for QA tools.
QByteArray reportToJson(const JointRecord& rec, const QString& file);

}  // namespace vr5
