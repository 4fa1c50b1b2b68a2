#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "logger/logger_lines.h"
#include "logger/logging_cycle.h"
#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5::test {

// A cycle with its store, state and prompter, stepped as the window's timer would.
class LoggingCycleFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        settings.write(keys::JobNumber, QStringLiteral("12"));
        settings.write(keys::JointNumber, 7);
        settings.write(keys::EmployeeId, QStringLiteral("A5"));
        settings.write(keys::MachineModelText, QStringLiteral("ZG 412 H"));
        settings.write(keys::HeatIfp, QStringLiteral("75"));
        settings.write(keys::PipeAreaInch, QStringLiteral("10"));
        makeCycle(reportFolder());
    }
    void makeCycle(const QString& reports) {
        cycle = std::make_unique<LoggingCycle>(
            SetupContext{settings, state, prompter}, reports,
            [] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)); });
    }
    QString reportFolder() const { return folder.filePath(QStringLiteral("Joint Reports")); }

    void connect() {
        cycle->beginConnect();
        cycle->connectFinished(true);
    }
    // One step: the commands it sent, joined.
    QByteArray step(std::optional<QByteArray> line = std::nullopt) {
        last = cycle->step(std::move(line));
        QByteArray sent;
        for (const QByteArray& c : last.commands) sent += c;
        return sent;
    }
    // The set-up records, built as "Start" would, for a logger to echo back.
    QByteArray jointInformation() {
        EXPECT_TRUE(cycle->startLogging());
        step();
        const QByteArray record = step(statusLine());
        EXPECT_TRUE(record.startsWith("Wp02:"));
        return record;
    }
    // A joint set up and logged; the logger's echo of its joint information.
    QByteArray loggedJoint() {
        connect();
        const QByteArray joint = jointInformation();
        step("Pw02");
        step("Pw03");
        step("Pw04");
        return joint;
    }
    // The download begun: the logger reported a finished run and sent its joint information.
    QByteArray downloadBegun() {
        const QByteArray joint = loggedJoint();
        step(statusLine({.logging = '2'}));
        step(echo(joint));
        return joint;
    }
    // Runs a whole download of `samples` samples in pages of `perPage`; the pages asked for.
    QList<QByteArray> download(const QByteArray& jointInfo, int samples, int perPage) {
        EXPECT_EQ(step(statusLine({.logging = '2'})), "Wp2R\r\n");
        EXPECT_EQ(step(echo(jointInfo)), "Wp3R\r\n");
        EXPECT_EQ(step(QByteArray("Pw03:03e70000000003e700000000eom")), "Wp4R\r\n");
        EXPECT_EQ(step("Pw04:0000" + protocol::stringField(QStringLiteral("VR5Xv0.3.0 P1")) +
                       protocol::stringField(QStringLiteral("12 in\u00B2~")) + "eom"),
                  "Wp11\r\n");
        QList<QByteArray> asked{step(summaryLine(samples))};
        // The logger's pages as test::pageLine makes them.
        for (int first = 0; !last.endDialog && !last.alreadySaved && first < 100000;
             first += perPage) {
            const QByteArray sent = step(pageLine(first, std::min(perPage, samples - first), 190));
            if (!sent.isEmpty()) asked << sent;
        }
        return asked;
    }

    QTemporaryDir folder;
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    std::unique_ptr<LoggingCycle> cycle;
    LoggingCycle::StepResult last;
};

}  // namespace vr5::test
