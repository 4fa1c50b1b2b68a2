#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// What the set-up pages need from the Log/Status dialog.
class SetupHost {
public:
    enum class Link { NotConnected, Connected, Logging };
    virtual ~SetupHost() = default;
    virtual Link linkState() const = 0;
    virtual void connectLogger() = 0;          // as if the operator confirmed "Connect"
    virtual QString setupSummary() const = 0;  // text of the "Use these data for next joint?" box
    virtual QString loggedHeaterText() const = 0;
    virtual void clearLoggedHeaterText() = 0;
    virtual void setPageIndex(int index) = 0;  // the dialog keeps the heater text only while 6
    virtual void resetProbeIdentity() = 0;     // both kept probe texts := "------"
    virtual void startLogging() = 0;           // builds the joint information; the cycle sends it
};

// Shows one page modally. Next = "Next >>"/"Start"; Back = "<< Back", Escape, close box;
// Leave = the Ready page's own "Cancel".
class SetupPages {
public:
    enum class Result { Next, Back, Leave };
    virtual ~SetupPages() = default;
    virtual Result showPage(int index) = 0;  // index 0..7; 2 = Pipe or Fitting by machine
};

// Runs the pages from "Setup..." to the end: returns true when logging was started.
class SetupRunner {
public:
    // Page indexes in the order the pages are shown.
    enum Page {
        kLeave = -1,
        kMachine = 0,
        kOperator = 1,
        kPipeOrFitting = 2,
        kNotes = 3,
        kDragPressure = 4,
        kRecPressure = 5,
        kHeaterTemp = 6,
        kReady = 7,
        kStart = 8,
    };

    static constexpr const char* kReuseCaption = "Use these data for next joint?";
    static constexpr const char* kNotConnected = "Probe not connected!";
    static constexpr const char* kNotConnectedCaption = "Cannot Proceed!";
    static constexpr const char* kLogging = "Logging in progress.  Cannot start new log!";
    static constexpr const char* kLoggingCaption = "Logging...";
    // Stored as the logged heater temperature when the probe logged none.
    static constexpr const char* kNoHeaterTemp = "---";

    SetupRunner(SetupContext context, SetupHost& host, SetupPages& pages);
    bool run();

private:
    int firstIndex();
    void offerConnection();
    bool readyMayOpen();
    void keepLoggedHeaterText();

    SetupContext c_;
    SetupHost& host_;
    SetupPages& pages_;
};

}  // namespace vr5
