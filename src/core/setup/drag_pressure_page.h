#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// The Drag Pressure page: the pressure the machine needs to move its carriage, added to every
// gauge pressure.
class DragPressurePage {
public:
    static constexpr const char* kPromptLine1 =
        "Follow proper procedure to measure drag pressure and enter it below.";
    static constexpr const char* kPromptLine2 =
        "(Press \"Next\" without entering a value to accept default drag pressure.)";
    // The field as a refusal names it.
    static constexpr const char* kField = "Drag pressure";

    explicit DragPressurePage(SetupContext context) : c_(context) {}

    // The box starts empty: the remembered value is not shown.
    QString dragPressure;

    // Picks the default for the pressure unit in the settings.
    void load();
    // "Drag Pressure (Default 30 psi)" and the like.
    QString caption() const;
    QString defaultNumber() const { return defaultNumber_; }
    static QString prompt();

    // "Next >>": an empty box gets the default number and the page stays open; a value that
    // does not start with a number is refused with a message and the page stays open; otherwise
    // the value, trimmed, a blank and the current pressure unit label are stored and it closes.
    bool accept();

private:
    SetupContext c_;
    QString defaultNumber_;
    QString defaultUnit_;
};

}  // namespace vr5
