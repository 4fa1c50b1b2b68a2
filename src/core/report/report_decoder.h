#pragma once

#include <QByteArray>

#include "report/joint_record.h"

namespace vr5 {

// Decodes a joint report file image into rec: the joint facts, the samples (smoothed), the
// maximum pressure, the report header lines and the heater-removal time, using the search-range
// percent already set in rec. Every read is bounded by the image: a damaged file leaves the
// fields read before the damage and describes it in rec.problem.
void decodeReport(const QByteArray& image, JointRecord& rec);

}  // namespace vr5
