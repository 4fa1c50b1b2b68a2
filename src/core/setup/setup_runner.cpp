#include "setup/setup_runner.h"

#include "settings/settings_keys.h"
#include "settings/settings_page.h"
#include "setup/machine_catalogue.h"

namespace vr5 {

namespace {

using Result = SetupPages::Result;

// Where a page leads. The mechanical machine has no drag pressure, and going back from the
// Heater Temperature page skips the gauge pressures too, although the way forward shows them.
int nextIndex(int index, Result result, bool mechanical) {
    if (result == Result::Leave) return SetupRunner::kLeave;
    if (result == Result::Next) {
        if (index == SetupRunner::kNotes && mechanical) return SetupRunner::kRecPressure;
        return index + 1;
    }
    switch (index) {
        case SetupRunner::kMachine:
            return SetupRunner::kLeave;
        case SetupRunner::kRecPressure:
        case SetupRunner::kHeaterTemp:
            return mechanical ? SetupRunner::kNotes : index - 1;
        default:
            return index - 1;
    }
}

}  // namespace

SetupRunner::SetupRunner(SetupContext context, SetupHost& host, SetupPages& pages)
    : c_(context), host_(host), pages_(pages) {}

bool SetupRunner::run() {
    int index = firstIndex();
    while (index >= kMachine && index < kStart) {
        host_.setPageIndex(index);
        if (index == kDragPressure) {
            host_.resetProbeIdentity();
            offerConnection();
        } else if (index == kHeaterTemp) {
            offerConnection();
        } else if (index == kReady && !readyMayOpen()) {
            index = kLeave;
            break;
        }
        const Result result = pages_.showPage(index);
        if (index == kHeaterTemp) keepLoggedHeaterText();
        // The Machine page may just have changed the machine: ask on every move.
        index = nextIndex(index, result, IsMechanicalMachine(c_.state.currentMachineModelText));
    }
    host_.setPageIndex(0);
    const bool start = index >= kStart;
    if (start) {
        host_.startLogging();
        // The view shows no report until the logged joint has been downloaded.
        c_.state.currentReportPath.clear();
    }
    host_.clearLoggedHeaterText();
    return start;
}

int SetupRunner::firstIndex() {
    host_.setPageIndex(kMachine);
    if (c_.settings.read(keys::ParameterEntered, 0) == 0) return kMachine;
    switch (c_.prompter.ask(host_.setupSummary(), QString::fromLatin1(kReuseCaption),
                            Prompter::Buttons::YesNoCancel, Prompter::Icon::None)) {
        case Prompter::Answer::Yes:
            return kNotes;
        case Prompter::Answer::No:
            // Not offered again until a whole set-up has been sent.
            c_.settings.write(keys::ParameterEntered, 0);
            return kMachine;
        default:
            return kLeave;
    }
}

void SetupRunner::offerConnection() {
    if (host_.linkState() != SetupHost::Link::NotConnected) return;
    // The page opens whatever the answer: only the Ready page insists on a connection.
    if (c_.prompter.ask(QString::fromUtf8(SettingsPage::kConnectQuestion),
                        QString::fromUtf8(SettingsPage::kConnectCaption), Prompter::Buttons::YesNo,
                        Prompter::Icon::Question) == Prompter::Answer::Yes) {
        host_.connectLogger();
    }
}

bool SetupRunner::readyMayOpen() {
    switch (host_.linkState()) {
        case SetupHost::Link::NotConnected:
            c_.prompter.show(QString::fromLatin1(kNotConnected),
                             QString::fromLatin1(kNotConnectedCaption), Prompter::Icon::Error);
            return false;
        case SetupHost::Link::Logging:
            c_.prompter.show(QString::fromLatin1(kLogging), QString::fromLatin1(kLoggingCaption),
                             Prompter::Icon::Warning);
            return false;
        case SetupHost::Link::Connected:
            break;
    }
    return true;
}

void SetupRunner::keepLoggedHeaterText() {
    // Read before the page index moves on: the dialog drops the text at any other page.
    const QString logged = host_.loggedHeaterText();
    c_.settings.write(keys::HtrTemp,
                      logged.isEmpty() ? QString::fromLatin1(kNoHeaterTemp) : logged);
    host_.clearLoggedHeaterText();
}

}  // namespace vr5
