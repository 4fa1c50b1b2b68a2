#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// The Ready to Log page: the last word before logging starts, with the heater temperature
// that was logged.
class ReadyPage {
public:
    static constexpr const char* kCaption = "Ready to Log Data";
    static constexpr const char* kPrompt =
        "Press \"Start\" to begin logging pressure profile, then close carriage to heat pipe.";
    static constexpr const char* kStartButton = "Start";
    static constexpr const char* kCancelButton = "Cancel";

    explicit ReadyPage(SetupContext context) : c_(context) {}

    // Reads the logged heater temperature and clears the cancel flag.
    void load();
    // "Logged " and the logged heater temperature.
    QString loggedText() const { return loggedText_; }

    // "Start": logging begins.
    bool accept() { return true; }
    // "Cancel": the whole set-up is left, not just this page.
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

private:
    SetupContext c_;
    QString loggedText_;
    bool cancelled_ = false;
};

}  // namespace vr5
