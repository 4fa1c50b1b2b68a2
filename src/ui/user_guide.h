#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vr5 {

class Prompter;

// The user guide's file name inside its folder; the folder also holds its pictures.
inline constexpr const char* kUserGuideFile = "user-guide.html";

// Where the guide may be, most likely first: beside an installed program (share/vr5xp/guide),
// the system's data folders, and the build folder of a program run where it was built.
QStringList userGuideCandidates();
// The first candidate that exists; empty when the guide is nowhere.
QString findUserGuide();

// Help > User Guide: opens the guide in the desktop's browser, or says why it cannot.
void openUserGuide(Prompter& prompter);

}  // namespace vr5
