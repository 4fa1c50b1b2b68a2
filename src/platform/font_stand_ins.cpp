#include "platform/font_stand_ins.h"

#include <QFont>

namespace vr5 {

void addFontStandIns() {
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

}  // namespace vr5
