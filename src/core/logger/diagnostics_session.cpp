#include "logger/diagnostics_session.h"

#include "app_info.h"
#include "settings/settings_keys.h"
#include "text/integer_field.h"

namespace vr5 {

namespace {

QString trimmedOrDashes(const QByteArray& text) {
    const QString t = QString::fromLatin1(text).trimmed();
    return t.isEmpty() ? QStringLiteral("--") : t;
}

}  // namespace

DiagnosticsSession::DiagnosticsSession(SetupContext context) : c_(context) {}

void DiagnosticsSession::opened(bool portOpened, const PortTried& port) {
    c_.state.currentPressureUnitIndex = c_.settings.read(keys::PressUnitInx, 0);
    connected_ = portOpened;
    offsetRequest_ = false;
    if (!portOpened) {
        c_.prompter.show(connectFailedText(port), QStringLiteral("Error"), Prompter::Icon::Error);
    }
}

DiagnosticsSession::StepResult DiagnosticsSession::step(std::optional<QByteArray> line) {
    StepResult out;
    if (line) {
        if (const auto reply = protocol::parseDiagnosticsReply(*line)) {
            showReply(*reply);
        } else {
            QString text = QString::fromLatin1(*line) + QStringLiteral("--");
            for (char byte : *line)
                text += QString::number(static_cast<unsigned char>(byte), 16)
                            .toUpper()
                            .rightJustified(2, u'0');
            c_.prompter.show(text, QString::fromLatin1(kBadReplyCaption), Prompter::Icon::None);
            closed();
            out.endDialog = true;
            return out;
        }
    }
    if (!connected_) return out;
    if (clearRequest_) {
        out.commands.append(protocol::kClearMemory);
        clearRequest_ = false;
    } else if (offsetRequest_) {
        out.commands.append(protocol::setOffsets(pressureOffset_, temperatureOffset_));
        offsetRequest_ = false;
    } else {
        out.commands.append(protocol::kDiagnosticsPoll);
    }
    return out;
}

void DiagnosticsSession::showReply(const protocol::DiagnosticsReply& reply) {
    if (reply.battery) display_.battery = QStringLiteral("Bat: %1%").arg(*reply.battery);
    // The logger's offsets go into the boxes only while they are still empty (0).
    const auto takeOffset = [this](const QByteArray& text, int& member) {
        if (member != 0) return;
        const int value = protocol::fieldNumber(text, 0, text.size());
        member = value == 0 ? 8000 : value;
        offsetsShown_ = true;
    };
    if (reply.temperatureOffset) {
        takeOffset(*reply.temperatureOffset, temperatureOffset_);
        display_.temperatureOffset =
            QStringLiteral("Offset: ") + trimmedOrDashes(*reply.temperatureOffset);
    }
    if (reply.temperature) {
        display_.temperature = trimmedOrDashes(*reply.temperature) + QStringLiteral(" \u00B0F");
    }
    if (reply.pressureOffset) {
        takeOffset(*reply.pressureOffset, pressureOffset_);
        display_.pressureOffset =
            QStringLiteral("Offset: ") + trimmedOrDashes(*reply.pressureOffset);
    }
    if (reply.pressure)
        display_.pressure = trimmedOrDashes(*reply.pressure) + QStringLiteral(" psi");
    if (reply.buttonPressed) {
        display_.button = *reply.buttonPressed ? QStringLiteral("Button Pressed")
                                               : QStringLiteral("Button Released");
    }
    if (display_.probeCaption.isEmpty()) {
        if (reply.probeInfo) display_.probeCaption = QString::fromLatin1(*reply.probeInfo);
    } else {
        display_.probeCaption.clear();
    }
}

bool DiagnosticsSession::takeOffsetsShown() {
    const bool was = offsetsShown_;
    offsetsShown_ = false;
    return was;
}

bool DiagnosticsSession::changeOffset(const QString& pressureText, const QString& temperatureText) {
    // The boxes are checked in the order the window holds them: temperature, then pressure.
    for (const QString* text : {&temperatureText, &pressureText}) {
        QString message;
        if (!readIntegerField(*text, kOffsetLow, kOffsetHigh, &message)) {
            c_.prompter.show(message, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
            return false;
        }
    }
    temperatureOffset_ = *readIntegerField(temperatureText, kOffsetLow, kOffsetHigh, nullptr);
    pressureOffset_ = *readIntegerField(pressureText, kOffsetLow, kOffsetHigh, nullptr);
    offsetRequest_ = true;
    return true;
}

bool DiagnosticsSession::clearRequested() {
    if (!connected_) return false;
    clearRequest_ =
        c_.prompter.ask(QString::fromLatin1(kClearQuestion), QString::fromLatin1(kClearCaption),
                        Prompter::Buttons::YesNoCancel,
                        Prompter::Icon::Warning) == Prompter::Answer::Yes;
    return clearRequest_;
}

void DiagnosticsSession::linkLost() {
    closed();
    display_.probeCaption = QString::fromLatin1(kLinkLost);
}

void DiagnosticsSession::closed() {
    connected_ = false;
    offsetRequest_ = false;
    clearRequest_ = false;
}

}  // namespace vr5
