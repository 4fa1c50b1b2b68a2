// Any bytes as what the logger says, line by line, to the logging cycle, with silent steps where
// a line is empty: whatever comes, the cycle sends only the logger's commands, at most two a
// step, and a report it keeps lies in the report folder and ends in ".tjr".
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_check.h"
#include "logger/logging_cycle.h"
#include "settings/settings_keys.h"

namespace {

using namespace vr5;

// Says yes to every question, so the memory clear is reached too.
class YesPrompter final : public Prompter {
public:
    void show(const QString&, const QString&, Icon) override {}
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons buttons, Icon) override {
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
};

const QString& folder() {
    static const QString path = QDir::tempPath() + QStringLiteral("/vr5xp-cycle-fuzz-") +
                                QString::number(QCoreApplication::applicationPid());
    return path;
}

bool knownCommand(const QByteArray& c) {
    for (const char* prefix :
         {"Wp01L", "Wp02:", "Wp03:", "Wp04:", "Wp2R", "Wp3R", "Wp4R", "Wp11", "Wp12-", "Wp13CLR"}) {
        if (c.startsWith(prefix)) return c.endsWith("\r\n");
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QDir(folder()).removeRecursively();

    MemorySettingsStore settings;
    ProgramState state;
    YesPrompter prompter;
    settings.write(keys::JobNumber, QStringLiteral("9"));
    settings.write(keys::DemoMode, size > 0 ? data[0] & 1 : 0);
    LoggingCycle cycle({settings, state, prompter}, folder());
    cycle.beginConnect();
    cycle.connectFinished(true);
    if (size > 0 && (data[0] & 2)) cycle.startLogging();

    int steps = 0;
    for (const QByteArray& line : input.split('\n')) {
        if (++steps > 2000) break;
        const auto result =
            cycle.step(line.isEmpty() ? std::nullopt : std::optional<QByteArray>(line));
        FUZZ_CHECK(result.commands.size() <= 2);
        for (const QByteArray& c : result.commands) FUZZ_CHECK(knownCommand(c));
        if (result.endDialog || !cycle.polling()) break;
    }
    cycle.windowClosing();
    const QString kept = cycle.downloadedPath();
    if (!kept.isEmpty()) {
        FUZZ_CHECK(QFileInfo(kept).absolutePath() == QFileInfo(folder()).absoluteFilePath());
        FUZZ_CHECK(kept.endsWith(QStringLiteral(".tjr")));
    }
    // Never a temporary file left behind.
    const QStringList left = QDir(folder()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : left) FUZZ_CHECK(name.endsWith(QStringLiteral(".tjr")));
    return 0;
}
