#pragma once

#include <QIcon>

#include "ui/commands.h"

namespace vr5 {

// The toolbar's button pictures (16 x 15), drawn rather than loaded.
QIcon toolbarIcon(Command id);

}  // namespace vr5
