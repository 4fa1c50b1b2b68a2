// The calibration certificate as a drawing: what lands where, in which face and colour.

#include "page/certificate_page.h"

#include <gtest/gtest.h>

#include "calibration_description.h"
#include "test_support.h"

namespace vr5 {
namespace {

using test::inside;
using test::itemsOf;

constexpr PageMetrics kMetrics{59, 153, 120, 92};
constexpr Rgb kBlue = rgb(0, 0, 255);
constexpr Rgb kRed = rgb(255, 0, 0);

CalibrationRecord fixture(const char* name) {
    fixtures::CalibrationDescription d;
    QString error;
    EXPECT_TRUE(fixtures::readCalibrationFile(
        QStringLiteral(VR5_FIXTURE_DIR "/calibration/%1.txt").arg(QLatin1String(name)), d, error))
        << error.toStdString();
    CalibrationRecord rec;
    EXPECT_EQ(loadCalibration(fixtures::buildCalibration(d), rec), CalibrationProblem::None);
    return rec;
}

const TextItem* find(const std::vector<TextItem>& texts, const QString& start) {
    for (const TextItem& t : texts) {
        if (t.text.startsWith(start)) return &t;
    }
    return nullptr;
}

TEST(CertificatePage, RowsWhereTheyBelong) {
    const PageDrawing d = buildCertificatePage(fixture("passing"), kMetrics, Medium::Paper);
    const std::vector<TextItem> texts = itemsOf<TextItem>(d);
    const int row = -1150 - 238 - 150 - 100;  // below the title and its rule
    const int check = row - 7 * 159 - 50 - 350 - 189 - 159;
    const int pressure = check - 4 * 159 - 2 * 128 - 300;
    struct Case {
        QString text;
        PagePoint at;
        FontRole font;
        Rgb color;
        HAlign halign;
    } cases[] = {
        {"TARNELL FUSILOG CERTIFICATE of CALIBRATION",
         {4250, -1150},
         FontRole::CertificateTitle,
         kBlack,
         HAlign::Center},
        {"Model:", {2500, row}, FontRole::CertificateRow, kBlack, HAlign::Right},
        {"VR5-XP", {2520, row}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"VR5 S/N:", {2500, row - 159}, FontRole::CertificateRow, kBlack, HAlign::Right},
        {"VR5-0417", {2520, row - 159}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"PPC S/N:", {2500, row - 2 * 159}, FontRole::CertificateRow, kBlack, HAlign::Right},
        {"PPC-3321", {2520, row - 2 * 159}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"Pressure Xdcr S/N:",
         {2500, row - 3 * 159},
         FontRole::CertificateRow,
         kBlack,
         HAlign::Right},
        {"XD-77120", {2520, row - 3 * 159}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"Date and Time:", {2500, row - 4 * 159}, FontRole::CertificateRow, kBlack, HAlign::Right},
        {"2012/05/01 10:30 (Next calibration due: 2013/05/01)",
         {2520, row - 4 * 159},
         FontRole::CertificateRow,
         kBlue,
         HAlign::Left},
        {"Technician:", {2500, row - 5 * 159}, FontRole::CertificateRow, kBlack, HAlign::Right},
        {"Dana Whitfield", {2520, row - 5 * 159}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"Company:", {2500, row - 6 * 159}, FontRole::CertificateRow, kBlack, HAlign::Right},
        {"Tarnell Calibration Services",
         {2520, row - 6 * 159},
         FontRole::CertificateRow,
         kBlue,
         HAlign::Left},
        {"TEMPERATURE SCANNER CALIBRATION",
         {2750, check + 159 + 189},
         FontRole::CertificateHeading,
         kBlack,
         HAlign::Left},
        {"Target:", {2750, check + 159}, FontRole::CertificateRow, kBlack, HAlign::Left},
        {"Measured:", {4000, check + 159}, FontRole::CertificateRow, kBlack, HAlign::Left},
        {"Result:", {5250, check + 159}, FontRole::CertificateRow, kBlack, HAlign::Left},
        {"400°F", {2750, check}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"441°F", {4000, check - 159}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"540°F", {2750, check - 3 * 159}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"NIST (National Institute of Standards and Technology) Certified Standard Utilized to "
         "Verify Target Temperatures:",
         {1500, check - 4 * 159},
         FontRole::CertificateBoldText,
         kBlack,
         HAlign::Left},
        {"Temperature Calibrator Model: TC-650    S/N: TC0120    Calibration Certificate: "
         "C-2291    Expires: 2025/01/31",
         {1500, check - 4 * 159 - 128},
         FontRole::CertificateText,
         kBlack,
         HAlign::Left},
        {"PRESSURE PROBE CALIBRATION",
         {2750, pressure},
         FontRole::CertificateHeading,
         kBlack,
         HAlign::Left},
        {"50psi", {2750, pressure - 189 - 159}, FontRole::CertificateRow, kBlue, HAlign::Left},
        {"1500psi",
         {2750, pressure - 189 - 4 * 159},
         FontRole::CertificateRow,
         kBlue,
         HAlign::Left},
        {"1502psi",
         {4000, pressure - 189 - 4 * 159},
         FontRole::CertificateRow,
         kBlue,
         HAlign::Left},
        {"Pressure Calibrator Model: DPC-8000    S/N: P5K1    Calibration Certificate: C-2292    "
         "Expires: 2025/02/28",
         {1500, pressure - 189 - 5 * 159 - 128},
         FontRole::CertificateText,
         kBlack,
         HAlign::Left},
        {"Calibration Summary:",
         {3600, pressure - 189 - 5 * 159 - 2 * 128 - 300},
         FontRole::CertificateSummary,
         kBlack,
         HAlign::Left},
        {"Heater probe offset  +0.4F",
         {3600, pressure - 189 - 5 * 159 - 2 * 128 - 300 - 2 * 130},
         FontRole::CertificateSummary,
         kBlack,
         HAlign::Left},
        {"Tarnell Fusion Instruments, certifies that the instrument listed above meets or exceeds "
         "all published",
         {1500, pressure - 189 - 5 * 159 - 2 * 128 - 300 - 4 * 130 - 300},
         FontRole::CertificateText,
         kBlack,
         HAlign::Left},
        {"in our facility for the purpose of conducting automated calibration procedures.",
         {1500, pressure - 189 - 5 * 159 - 2 * 128 - 300 - 4 * 130 - 300 - 3 * 118},
         FontRole::CertificateText,
         kBlack,
         HAlign::Left},
        {"Tarnell VR5-XP  v0.3.0  Copyright (C) 2026  Tarnell Fusion Instruments",
         {1000 + 60, -10000 - 23},
         FontRole::Small,
         kBlack,
         HAlign::Left},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const TextItem* t = find(texts, c.text);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->at, c.at);
        EXPECT_EQ(t->font, c.font);
        EXPECT_EQ(t->color, c.color);
        EXPECT_EQ(t->halign, c.halign);
        EXPECT_EQ(t->valign, VAlign::Top);
    }

    // The frame and its two rules, in the 10-unit pen; the green logo at half its pixel size.
    const std::vector<FrameItem> frames = itemsOf<FrameItem>(d);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].rect, (PageRect{1000, -1000, 7500, -10000}));
    EXPECT_EQ(frames[1].rect, (PageRect{1000, -1538, 7500, -1548}));
    EXPECT_EQ(frames[2].rect, (PageRect{1000, row - 7 * 159 - 50, 7500, row - 7 * 159 - 60}));
    for (const FrameItem& f : frames) EXPECT_EQ(f.pen, (Pen{kBlack, 10}));
    for (const Medium medium : {Medium::Screen, Medium::Paper}) {
        const std::vector<BitmapItem> logos =
            itemsOf<BitmapItem>(buildCertificatePage(fixture("passing"), kMetrics, medium));
        ASSERT_EQ(logos.size(), 1u);
        EXPECT_EQ(logos[0].rect, (PageRect{3241, -9200, 5259, -9938}));
        EXPECT_EQ(logos[0].ink, rgb(0, 150, 0));
    }

    // Everything but the identification line is inside the frame and clear of the logo.
    for (const TextItem& t : texts) {
        if (t.font == FontRole::Small) continue;
        EXPECT_GT(t.at.y - certificateTextHeight(t.font), -9200) << t.text.toStdString();
        EXPECT_LT(t.at.y, -1000) << t.text.toStdString();
    }
}

TEST(CertificatePage, PassedInBlueFailedInRed) {
    struct Case {
        const char* name;
        CalibrationRecord rec;
        std::vector<std::pair<const char*, Rgb>> results;  // 400..540 °F, then 50..1500 psi
    } cases[] = {
        {"all passed",
         fixture("passing"),
         {{"Passed", kBlue},
          {"Passed", kBlue},
          {"Passed", kBlue},
          {"Passed", kBlue},
          {"Passed", kBlue},
          {"Passed", kBlue},
          {"Passed", kBlue},
          {"Passed", kBlue}}},
        {"failures",
         fixture("failures"),
         {{"Failed", kRed},
          {"Failed", kRed},
          {"Passed", kBlue},
          {"Passed", kBlue},
          {"Passed", kBlue},
          {"Failed", kRed},
          {"Failed", kRed},
          {"Failed", kRed}}},
        {"nothing read", CalibrationRecord{}, {}},
    };
    // A record that never went through the log has empty texts: they pass. Only "---" fails.
    cases[2].rec.temperatureResults = {"", "---", " ---", "x"};
    cases[2].rec.pressureResults = {"---", "", "", "---"};
    cases[2].results = {{"Passed", kBlue}, {"Failed", kRed},  {"Passed", kBlue}, {"Passed", kBlue},
                        {"Failed", kRed},  {"Passed", kBlue}, {"Passed", kBlue}, {"Failed", kRed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<QString, Rgb>> results;
        std::vector<int> rows;
        for (const TextItem& t :
             itemsOf<TextItem>(buildCertificatePage(c.rec, kMetrics, Medium::Screen))) {
            if (t.at.x != 5250 || t.text == u"Result:") continue;
            results.emplace_back(t.text, t.color);
            rows.push_back(t.at.y);
        }
        ASSERT_EQ(results.size(), c.results.size());
        for (size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].first, QString::fromUtf8(c.results[i].first)) << i;
            EXPECT_EQ(results[i].second, c.results[i].second) << i;
        }
        // Each result sits on the row of its target.
        const char* targets[] = {"400°F", "440°F",  "500°F",  "540°F",
                                 "50psi", "250psi", "750psi", "1500psi"};
        for (const TextItem& t :
             itemsOf<TextItem>(buildCertificatePage(c.rec, kMetrics, Medium::Screen))) {
            for (size_t i = 0; i < 8; ++i) {
                if (t.at.x == 2750 && t.text == QString::fromUtf8(targets[i])) {
                    EXPECT_EQ(t.at.y, rows[i]) << targets[i];
                }
            }
        }
    }
}

TEST(CertificatePage, NextCalibrationDueAYearOn) {
    const struct {
        const char* date;
        const char* shown;
    } cases[] = {
        {"2012/05/01 10:30", "2012/05/01 10:30 (Next calibration due: 2013/05/01)"},
        {"2024-02-29", "2024-02-29 (Next calibration due: 2025-02-29)"},
        {"1999/12/31", "1999/12/31 (Next calibration due: 2000/12/31)"},
        {"", " (Next calibration due: 1)"},
        {"99", "99 (Next calibration due: 100)"},
        {"May 2012", "May 2012 (Next calibration due: 12012)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dateWithNextDue(QString::fromUtf8(c.date)), QString::fromUtf8(c.shown));
    }
}

TEST(CertificatePage, ScreenAndPaperFaces) {
    const struct {
        Medium medium;
        FontRole nist;
        FontRole temperatureCalibrator;
        FontRole pressureCalibrator;
    } cases[] = {
        {Medium::Screen, FontRole::CertificateText, FontRole::CertificateText,
         FontRole::CertificateSmallText},
        {Medium::Paper, FontRole::CertificateBoldText, FontRole::CertificateText,
         FontRole::CertificateText},
    };
    for (const auto& c : cases) {
        const std::vector<TextItem> texts =
            itemsOf<TextItem>(buildCertificatePage(fixture("passing"), kMetrics, c.medium));
        int nistLines = 0;
        for (const TextItem& t : texts) {
            if (!t.text.startsWith(u"NIST")) continue;
            ++nistLines;
            EXPECT_EQ(t.font, c.nist);
        }
        EXPECT_EQ(nistLines, 2);
        EXPECT_EQ(find(texts, "Temperature Calibrator Model:")->font, c.temperatureCalibrator);
        EXPECT_EQ(find(texts, "Pressure Calibrator Model:")->font, c.pressureCalibrator);
    }
}

TEST(CertificatePage, SummaryLinesUnderTheirHeading) {
    CalibrationRecord rec = fixture("passing");
    for (const QStringList& lines : {QStringList(), QStringList{"one"}, rec.summaryLines}) {
        rec.summaryLines = lines;
        QStringList shown;
        std::vector<int> ys;
        for (const TextItem& t :
             itemsOf<TextItem>(buildCertificatePage(rec, kMetrics, Medium::Screen))) {
            if (t.at.x != 3600) continue;
            EXPECT_EQ(t.font, FontRole::CertificateSummary);
            shown << t.text;
            ys.push_back(t.at.y);
        }
        EXPECT_EQ(shown, QStringList{"Calibration Summary:"} + lines);
        for (size_t i = 1; i < ys.size(); ++i) EXPECT_EQ(ys[i], ys[i - 1] - 130);
    }
}

}  // namespace
}  // namespace vr5
