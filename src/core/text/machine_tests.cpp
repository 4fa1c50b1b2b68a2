#include "text/machine_tests.h"

namespace vr5 {

bool IsDirectAreaMachine(const QString& modelText) {
    return modelText.contains(u"ZG LD") || modelText.contains(u"ZJ") || modelText.contains(u"ZF");
}

bool isMechanicalModelText(const QString& modelText) {
    return modelText.contains(u"ZG Mech.");
}

}  // namespace vr5
