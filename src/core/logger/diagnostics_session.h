#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "logger/connect_failure.h"
#include "logger/protocol.h"
#include "setup/setup_context.h"

namespace vr5 {

// What the Diagnostics window shows.
struct DiagnosticsDisplay {
    QString probeCaption = QStringLiteral("Connecting...");  // blinks with the probe information
    QString button;
    QString battery = QStringLiteral("Bat: ??");
    QString temperature;
    QString temperatureOffset = QStringLiteral("Offset: ---");
    QString pressure;
    QString pressureOffset = QStringLiteral("Offset: ---");
};

// The Diagnostics window's logic: it polls the logger every step, shows what the logger reports
// about its button, battery, sensors and offsets, sends new offsets and clears the report memory.
// Any reply that is not a diagnostics reply ends the window.
class DiagnosticsSession {
public:
    static constexpr int kStepMs = 200;
    static constexpr int kOffsetLow = 10;
    static constexpr int kOffsetHigh = 32000;
    static constexpr const char* kCaption = "Diagnostics";
    static constexpr const char* kBadReplyCaption = "VR5 Probe Diagnostics";
    static constexpr const char* kClearQuestion = "Are you sure you want to clear report buffer?";
    static constexpr const char* kClearCaption = "Clear Report?";
    static constexpr const char* kLinkLost = "The link to the logger was lost.";

    struct StepResult {
        QList<QByteArray> commands;
        bool endDialog = false;  // a bad reply: the port is closed and the window ends
    };

    explicit DiagnosticsSession(SetupContext context);

    const DiagnosticsDisplay& display() const { return display_; }
    bool connected() const { return connected_; }

    // The window opens: loads the pressure unit; `portOpened` tells whether the port opened,
    // `port` names the port tried.
    void opened(bool portOpened, const PortTried& port = {});

    // One timer step with the line taken since the last one, if any.
    StepResult step(std::optional<QByteArray> line);

    // The offsets in the two boxes; the window shows them after a reply filled them.
    int temperatureOffset() const { return temperatureOffset_; }
    int pressureOffset() const { return pressureOffset_; }
    // True once a reply has put the logger's offsets into the boxes (the window then copies
    // them to its boxes once).
    bool takeOffsetsShown();

    // "Change Offset": both boxes must hold whole numbers 10..32000; the next step sends them.
    bool changeOffset(const QString& pressureText, const QString& temperatureText);
    // "Clear...": asks, then the next step clears the logger's report memory (nothing while
    // unconnected). True when the operator agreed.
    bool clearRequested();

    // The window closes or gives up: nothing more is sent.
    void closed();
    // The port failed for good: nothing more is sent, and the window says so.
    void linkLost();

private:
    void showReply(const protocol::DiagnosticsReply& reply);

    SetupContext c_;
    DiagnosticsDisplay display_;
    bool connected_ = false;
    bool offsetRequest_ = false;
    // Sent by the next step, in place of its poll: a command written between steps could be
    // replaced by the poll before the port sent it.
    bool clearRequest_ = false;
    bool offsetsShown_ = false;
    int temperatureOffset_ = 0;
    int pressureOffset_ = 0;
};

}  // namespace vr5
