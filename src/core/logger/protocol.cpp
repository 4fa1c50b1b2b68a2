#include "logger/protocol.h"

#include "app_info.h"
#include "settings/settings_keys.h"
#include "setup/fitting_catalogue.h"
#include "text/machine_tests.h"

namespace vr5::protocol {

namespace {

QByteArray decimal(long long value) {
    return QByteArray::number(value);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Four characters read as a hex number, up to the first that is not a hex digit.
int hexGroup(const QByteArray& text, qsizetype position) {
    int value = 0;
    for (qsizetype i = position; i < position + 4 && i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) break;
        value = value * 16 + digit;
    }
    return value;
}

QByteArray hex2(int byte) {
    return QByteArray::number(byte & 0xFF, 16).rightJustified(2, '0');
}

QString listEntry(const QStringList& list, int index) {
    return (index >= 0 && index < list.size()) ? list[index] : QString();
}

// The bytes of a line from a position, as many as there are up to `width`.
QByteArray field(const QByteArray& line, qsizetype position, qsizetype width) {
    if (position >= line.size()) return {};
    return line.mid(position, width);
}

bool markerAt(const QByteArray& line, qsizetype position, char marker) {
    return position < line.size() && line[position] == marker;
}

}  // namespace

QByteArray statusPoll(int loggingRequest, int stopwatchReset, int demoMode, int demoPressure) {
    return "Wp01L" + decimal(loggingRequest) + 's' + decimal(stopwatchReset) + 'D' +
           decimal(demoMode) + 'p' + decimal(demoPressure) + "\r\n";
}

QByteArray readPage(int page) {
    return "Wp12-" + decimal(page).rightJustified(4, '0') + "\r\n";
}

QByteArray setOffsets(int pressureOffset, int temperatureOffset) {
    return "Wp06c" + decimal(pressureOffset) + 'C' + decimal(temperatureOffset) + "\r\n";
}

bool isRecord(const QByteArray& line, const char* prefix) {
    return line.startsWith(prefix) && line.endsWith("eom");
}

bool isWholePage(const QByteArray& line) {
    if (line.size() < 5 + 3 || !line.endsWith("eom")) return false;
    const qsizetype digits = line.size() - 5 - 3;
    if (digits % kSampleDigits != 0) return false;
    for (qsizetype i = 5; i < 5 + digits; ++i) {
        if (hexDigit(line[i]) < 0) return false;
    }
    return true;
}

qsizetype pageSamples(const QByteArray& line) {
    return line.size() < 5 + 3 ? 0 : (line.size() - 5 - 3) / kSampleDigits;
}

QByteArray numberField(long long value) {
    const long long magnitude = value < 0 ? -value : value;
    if (magnitude > 0xFFFF) return "ffff";
    return QByteArray::number(magnitude, 16).rightJustified(4, '0');
}

QByteArray stringField(const QString& value) {
    const QString text = value.trimmed().left(kMaxStringUnits);
    if (text.isEmpty()) return "00000000";
    QByteArray out = numberField(text.size());
    for (QChar unit : text) out += hex2(unit.unicode()) + hex2(unit.unicode() >> 8);
    return out;
}

int HexReader::number() {
    const int value = hexGroup(line_, pos_);
    pos_ += 4;
    return value;
}

QString HexReader::string(int keepUnits) {
    const int count = number();
    if (count == 0) {
        pos_ += 4;  // the filler group of an empty string
        return {};
    }
    QString text;
    bool ended = false;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = pos_ + 4 * static_cast<qsizetype>(i);
        if (at >= line_.size()) break;
        const int word = hexGroup(line_, at);
        // Each unit was sent low byte first.
        const char16_t unit = static_cast<char16_t>(((word & 0xFF) << 8) | (word >> 8));
        if (unit == 0) ended = true;
        if (!ended && text.size() < keepUnits) text += QChar(unit);
    }
    pos_ += 4 * static_cast<qsizetype>(count);
    return text;
}

RecordBuilder::RecordBuilder(Kind kind, Prompter& prompter) : kind_(kind), prompter_(prompter) {
    static constexpr const char* heads[] = {"Wp02:", "Wp03:", "Wp04:"};
    buffer_ = heads[static_cast<int>(kind)];
}

void RecordBuilder::fail(const char* text) {
    failed_ = true;
    prompter_.show(QString::fromUtf8(text), QStringLiteral("Error"), Prompter::Icon::None);
}

void RecordBuilder::number(long long value) {
    if (failed_) return;
    const QByteArray text = numberField(value);
    if (!fits(text.size())) return fail(kNumberTooLong);
    buffer_ += text;
}

void RecordBuilder::string(const QString& value) {
    if (failed_) return;
    QByteArray text = stringField(value);
    // The count goes in before the room for the characters is tested.
    const QByteArray count = text.left(4);
    if (!fits(count.size())) return fail(kStringTooLong);
    buffer_ += count;
    text.remove(0, 4);
    if (!fits(text.size())) return fail(kStringTooLong);
    buffer_ += text;
}

std::optional<QByteArray> RecordBuilder::finish() {
    if (failed_) {
        static constexpr const char* messages[] = {"Could not build joint information!",
                                                   "Could not build notes!",
                                                   "Could not build reserve data!"};
        prompter_.show(QString::fromUtf8(messages[static_cast<int>(kind_)]),
                       QStringLiteral("Log Error"), Prompter::Icon::Error);
        return std::nullopt;
    }
    return buffer_ + "eom\r\n";
}

std::optional<QByteArray> buildJointInformation(const SettingsStore& settings,
                                                const ProgramState& state, const QDateTime& now,
                                                Prompter& prompter) {
    using namespace keys;
    const bool mechanical = isMechanicalModelText(state.currentMachineModelText);
    RecordBuilder r(RecordBuilder::Kind::JointInformation, prompter);
    const QDate date = now.date();
    const QTime time = now.time();
    r.number(date.year());
    r.number(date.month());
    r.number(date.day());
    r.number(time.hour());
    r.number(time.minute());
    r.number(time.second());
    r.string(settings.read(MachineId));
    r.number(settings.read(MachineModelInx, 0));
    r.string(settings.read(MachineModelText));
    r.string(settings.read(PistonArea));
    r.number(settings.read(PistonAreaUnit, 0));
    r.string(settings.read(EmployeeId));
    r.string(settings.read(JobNumber));
    r.number(settings.read(JointNumber, 1));
    r.number(settings.read(PipeMaterialInx, 0));
    r.string(settings.read(PipeMaterialText));
    if (mechanical) {
        r.string(listEntry(fittingTypes(), settings.read(FittingType, 0)));
    } else {
        r.string(settings.read(PipeSize));
    }
    r.number(settings.read(PipeSizeUnit, 0));
    if (mechanical) {
        r.string(settings.read(FittingMainSize) +
                 listEntry(fittingUnitTexts(), settings.read(FittingMainUnit, 0)) +
                 QStringLiteral(" x ") + settings.read(FittingOutletSize) +
                 listEntry(fittingUnitTexts(), settings.read(FittingOutletUnit, 0)));
    } else {
        r.string(settings.read(WallThickness));
    }
    r.number(settings.read(WallThicknessUnit, 0));
    r.string(settings.read(mechanical ? FittingHeatPressure : HeatIfp));
    r.string(settings.read(mechanical ? FittingFusePressure : SoakIfp));
    r.string(settings.read(FuseIfp));
    r.string(settings.read(CoolIfp));
    r.number(settings.read(PressUnitInx, 0));
    r.string(settings.read(DragPressure));
    r.string(settings.read(RecHeat));
    r.string(settings.read(RecSoak));
    r.string(settings.read(RecFuse));
    r.string(settings.read(RecCool));
    r.number(settings.read(TempUnitInx, 0));
    r.string(settings.read(ExtHtrTemp));
    r.string(settings.read(HtrTemp));
    return r.finish();
}

std::optional<QByteArray> buildNotesRecord(const SettingsStore& settings, const ProgramState& state,
                                           Prompter& prompter) {
    QString notes = settings.read(keys::Notes);
    const int offset = keys::readTempOffset(settings);
    if (offset != 0) {
        const QString line =
            QStringLiteral("Temp. Offset: ") + QString::number(offset) + state.temperatureUnitLabel;
        notes = (notes.isEmpty() || notes == QStringLiteral(" ")) ? line : notes + u'\n' + line;
    }
    RecordBuilder r(RecordBuilder::Kind::Notes, prompter);
    r.number(999);
    r.string(settings.read(keys::Gps));
    r.number(999);
    r.string(notes);
    return r.finish();
}

std::optional<QByteArray> buildReserveRecord(const SettingsStore& settings,
                                             const QByteArray& probeIdentity, Prompter& prompter) {
    const QString areaUnit = settings.read(keys::PipeAreaZxUnitInx, 0) == 1
                                 ? QStringLiteral(" cm\u00B2")
                                 : QStringLiteral(" in\u00B2");
    RecordBuilder r(RecordBuilder::Kind::Reserve, prompter);
    r.number(settings.read(keys::DemoMode, 0));
    r.string(QString::fromLatin1(kVersionId) + u' ' + QString::fromLatin1(probeIdentity));
    r.string(settings.read(keys::PipeAreaZx) + areaUnit + u'~');
    return r.finish();
}

int fieldNumber(const QByteArray& line, qsizetype position, qsizetype width) {
    const QByteArray text = field(line, position, width);
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1000000000) break;
    }
    return static_cast<int>(negative ? -value : value);
}

std::optional<StatusReply> parseStatusReply(const QByteArray& line) {
    if (!line.startsWith("Pw01") || line.size() < kStatusReplyMinLength) return std::nullopt;
    StatusReply reply;
    if (markerAt(line, 4, 'L')) reply.loggingState = line[5];
    if (markerAt(line, 6, 'r')) reply.sampleCount = field(line, 7, 5);
    if (markerAt(line, 12, 'e')) reply.elapsed = field(line, 13, 7);
    if (markerAt(line, 20, 's')) reply.stopwatch = field(line, 21, 7);
    if (markerAt(line, 28, 'p')) reply.pressurePsi = fieldNumber(line, 29, 4);
    reply.temperatureF = fieldNumber(line, 34, 3);
    reply.temperaturePresent = markerAt(line, 38, '1');
    if (markerAt(line, 39, 'b')) reply.battery = fieldNumber(line, 40, 3);
    if (markerAt(line, 43, 'i')) {
        reply.hasInfo = true;
        const QByteArray version = field(line, 49, 4) + ' ' + field(line, 54, 6) + " c" +
                                   field(line, 61, 4) + '/' + field(line, 65, 2) + '/' +
                                   field(line, 67, 2);
        reply.probeVersion = QString::fromLatin1(version);
        QByteArray identity = field(line, 49, 4);
        for (qsizetype at : {55, 57, 59}) identity += field(line, at, 1);
        if (line.size() > 61) identity += line.mid(61);
        reply.probeIdentity = identity.left(kProbeIdentityMaxLength);
    }
    return reply;
}

std::optional<DiagnosticsReply> parseDiagnosticsReply(const QByteArray& line) {
    if (!line.startsWith("Pw05") || line.size() < kDiagnosticsReplyMinLength) return std::nullopt;
    DiagnosticsReply reply;
    if (markerAt(line, 4, 'L')) reply.buttonPressed = line[5] == 'P';
    if (markerAt(line, 6, 'p')) reply.pressure = field(line, 7, 4);
    if (markerAt(line, 11, 'c')) reply.pressureOffset = field(line, 12, 5);
    if (markerAt(line, 17, 't')) reply.temperature = field(line, 18, 3);
    if (markerAt(line, 21, 'C')) reply.temperatureOffset = field(line, 22, 5);
    if (markerAt(line, 27, 'b')) reply.battery = fieldNumber(line, 28, 3);
    if (markerAt(line, 31, 'i')) reply.probeInfo = line.mid(32);
    return reply;
}

qsizetype convertSection(const QByteArray& line, QByteArray& out) {
    const qsizetype length = line.size() - 5 - 3;
    if (length <= 0) return 0;
    for (qsizetype at = 5; at + 4 <= 5 + length; at += 4) {
        const int word = hexGroup(line, at);
        out += static_cast<char>(word & 0xFF);
        out += static_cast<char>(word >> 8);
    }
    return length;
}

}  // namespace vr5::protocol
