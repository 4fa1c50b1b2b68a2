// What the record works out from the samples: smoothing, maximum, heater removal, the dump.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "report/report_json.h"
#include "test_support.h"

namespace vr5 {
namespace {

using Samples = std::vector<std::pair<int, int>>;

// Samples `spacing` ticks apart with the given pressures.
Samples spaced(const std::vector<int>& pressures, int spacing = 1) {
    Samples out;
    for (size_t i = 0; i < pressures.size(); ++i)
        out.emplace_back(static_cast<int>(i) * spacing, pressures[i]);
    return out;
}

std::vector<int> pressures(const JointRecord& rec) {
    std::vector<int> out;
    for (int i = 0; i < rec.sampleCount; ++i) out.push_back(rec.Pressure(i));
    return out;
}

TEST(JointRecord, GlitchSmoothing) {
    struct Case {
        const char* name;
        Samples samples;
        std::vector<int> expected;
    } cases[] = {
        {"a spike that turns back",
         spaced({100, 102, 101, 103, 103, 103}),
         {100, 100, 100, 103, 103, 103}},
        {"four samples are left alone", spaced({100, 102, 101, 103}), {100, 102, 101, 103}},
        {"five samples: only the second is examined",
         spaced({90, 100, 102, 101, 103}),
         {90, 100, 102, 101, 103}},
        {"six samples: the third is examined too",
         spaced({90, 100, 102, 101, 103, 103}),
         {90, 100, 100, 100, 103, 103}},
        {"a steady rise is kept",
         spaced({100, 101, 102, 103, 104, 105}),
         {100, 101, 102, 103, 104, 105}},
        {"a steady fall is kept",
         spaced({105, 104, 104, 103, 102, 101}),
         {105, 104, 104, 103, 102, 101}},
        {"a step of 5 is a real change",
         spaced({100, 108, 101, 103, 103, 103}),
         {100, 108, 101, 103, 103, 103}},
        {"samples 8 ticks apart are not one glitch",
         {{0, 100}, {1, 102}, {9, 101}, {10, 103}, {11, 103}, {12, 103}},
         {100, 102, 102, 102, 103, 103}},
        {"a pressure above 4000 counts as 0", spaced({0, 5000, 2, 1, 3, 3}), {0, 0, 0, 1, 3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JointRecord rec = test::decodeDescription(test::sampleLines(c.samples));
        EXPECT_EQ(pressures(rec), c.expected);
        if (rec.sampleCount >= 5) {
            ASSERT_EQ(rec.pressure.size(), static_cast<size_t>(rec.sampleCount) + 1);
            EXPECT_EQ(rec.pressure.back(), c.expected.back());  // the entry after the last sample
        }
    }
}

TEST(JointRecord, MaximumPressure) {
    struct Case {
        std::vector<int> pressures;
        int maximum;
    } cases[] = {
        {{100, 5000, 200}, 200}, {{4000, 10}, 4000}, {{4001}, 0}, {{-10, -20}, 0}, {{}, 0},
    };
    for (const Case& c : cases) {
        // Ten ticks apart, so smoothing leaves them alone; the summary claims another maximum.
        const JointRecord rec = test::decodeDescription(
            test::sampleLines(spaced(c.pressures, 10)) +
            QStringLiteral("summary: SM9999  00100  %1").arg(c.pressures.size()));
        EXPECT_EQ(rec.maxPressure, c.maximum);
        EXPECT_EQ(rec.fields.summaryMaxPressure, 9999);
    }
}

TEST(JointRecord, HeaterRemoval) {
    const std::vector<int> twoRises = {0,  0,  50,  50,  50, 50,
                                       50, 50, 100, 100, 100};  // at 20 and 80
    struct Case {
        const char* name;
        std::vector<int> pressures;  // ten ticks apart
        int duration;
        int percent;
        int expected;
    } cases[] = {
        {"flat", {50, 50, 50, 50, 50, 50}, 50, 100, 0},
        {"small rise, low maximum: threshold 3", {100, 100, 100, 104, 104, 104}, 50, 100, 30},
        {"small rise, high maximum: threshold 10", {140, 140, 140, 144, 144, 144}, 50, 100, 0},
        {"129 psi still has threshold 3", {125, 125, 125, 129, 129, 129}, 50, 100, 30},
        {"130 psi has threshold 10", {126, 126, 126, 130, 130, 130}, 50, 100, 0},
        {"large rise, high maximum", {140, 140, 140, 151, 151, 151}, 50, 100, 30},
        {"the last rise counts", twoRises, 100, 100, 80},
        {"search range 50%", twoRises, 100, 50, 20},
        {"a rise at the limit itself is outside", {0, 0, 0, 0, 0, 50, 50, 50}, 100, 50, 0},
        {"no rise: the first clear drop", {100, 100, 100, 50, 50, 20}, 60, 100, 30},
        {"two samples", {0, 50}, 20, 100, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString description = test::sampleLines(spaced(c.pressures, 10)) +
                                    QStringLiteral("logged_duration: %1").arg(c.duration);
        EXPECT_EQ(test::decodeDescription(description, c.percent).heaterRemoval, c.expected);
    }
}

TEST(JointRecord, JsonDump) {
    const JointRecord rec =
        test::decodeDescription(test::sampleLines({{0, 10}, {10, 5000}, {20, 300}}) +
                                    QStringLiteral("demo: yes\npressure_unit: bar\nnotes:"),
                                40);
    QJsonParseError error;
    const QJsonDocument doc =
        QJsonDocument::fromJson(reportToJson(rec, QStringLiteral("/r/j7.tjr")), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    const QJsonObject o = doc.object();
    QStringList keys = o.keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"demo", "file", "header_lines", "heater_removal", "kind",
                                 "logged_duration", "max_pressure", "notes", "pressure_unit",
                                 "psi_per_unit", "sample_count", "samples", "search_range"}));
    EXPECT_EQ(o["file"].toString(), QStringLiteral("/r/j7.tjr"));
    EXPECT_EQ(o["kind"].toString(), QStringLiteral("report"));
    EXPECT_EQ(o["header_lines"].toVariant().toStringList(), rec.headerLines);
    EXPECT_EQ(o["notes"].toString(), QStringLiteral("---"));
    EXPECT_TRUE(o["demo"].isBool() && o["demo"].toBool());
    EXPECT_EQ(o["pressure_unit"].toString(), QStringLiteral("bar"));
    EXPECT_EQ(o["psi_per_unit"].toDouble(), 14.5);
    EXPECT_EQ(o["logged_duration"].toInt(), 20);
    EXPECT_EQ(o["sample_count"].toInt(), 3);
    EXPECT_EQ(o["max_pressure"].toInt(), 300);
    EXPECT_EQ(o["search_range"].toInt(), 40);
    EXPECT_EQ(o["heater_removal"].toInt(), rec.heaterRemoval);
    EXPECT_EQ(o["samples"].toArray(),
              (QJsonArray{QJsonArray{0, 10}, QJsonArray{10, 0}, QJsonArray{20, 300}}));
}

}  // namespace
}  // namespace vr5
