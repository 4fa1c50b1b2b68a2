#include <gtest/gtest.h>

#include <QLocale>

#include "evaluation/job_summary.h"
#include "evaluation/procedure.h"
#include "test_support.h"

// What the program writes into CSV files: a text cell a spreadsheet would run as a formula is
// written as text; numbers stay numbers.
namespace vr5 {
namespace {

TEST(CsvText, CellsASpreadsheetWouldRunAreWrittenAsText) {
    const struct {
        QString text, field;
    } cases[] = {
        {"=1+1", "'=1+1"},
        {"+SUM(A1:A9)", "'+SUM(A1:A9)"},
        {"-0-", "'-0-"},
        {"-2+3", "'-2+3"},
        {"-inf", "'-inf"},
        {"@cmd", "'@cmd"},
        {"\tfoo", "'\tfoo"},
        {"\rfoo", "\"'\rfoo\""},
        {"=HYPERLINK(\"x\",\"y\")", "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
        // Numbers, negative ones included, are numbers.
        {"-12", "-12"},
        {"-0.5", "-0.5"},
        {"+3", "+3"},
        {"12.5", "12.5"},
        // Only the start of a cell counts.
        {"A=1", "A=1"},
        {"2024-10-08 13:15:09", "2024-10-08 13:15:09"},
    };
    for (const auto& c : cases) EXPECT_EQ(csvField(c.text), c.field) << qPrintable(c.text);
}

// The job summary and the samples' leading rows hold what the logger's operator typed.
TEST(CsvText, TypedFieldsAreGuardedInEveryCsvTheProgramWrites) {
    const JointRecord rec = test::decodeDescription(
        QStringLiteral("job: \"=1+1\"\nemployee: \"@SUM(A1)\"\nmachine_id: \"-5\"\n"
                       "notes: \"+cmd|' /C calc'!A0\"\ninterval: 5\nramp: 100 50\n"));
    ASSERT_EQ(rec.fields.jobNumber, "=1+1");

    const QString samples = QString::fromUtf8(samplesCsv(rec));
    EXPECT_TRUE(samples.contains("# Job Number,'=1+1\r\n")) << qPrintable(samples.left(400));
    EXPECT_TRUE(samples.contains("# Employee ID,'@SUM(A1)\r\n"));
    EXPECT_TRUE(samples.contains("# Machine ID,-5\r\n")) << "a number stays a number";
    EXPECT_TRUE(samples.contains("# Notes,'+cmd|' /C calc'!A0\r\n"));

    const Procedure procedure = loadProcedure(defaultProcedureId()).procedure.value();
    JobSummary summary;
    summary.addJoint(rec, evaluateJoint(rec, procedure), QStringLiteral("=evil.tjr"));
    summary.addUnreadable(QStringLiteral("-x.tjr"), QStringLiteral("=It could not be read."));
    const QString table = QString::fromUtf8(summary.csv());
    EXPECT_TRUE(table.contains(",'=1+1,")) << qPrintable(table);
    EXPECT_TRUE(table.contains(",'@SUM(A1),-5,"));
    EXPECT_TRUE(table.contains(",'=evil.tjr,"));
    EXPECT_TRUE(table.contains(",'-x.tjr,'=It could not be read."));
    EXPECT_FALSE(table.contains(",=")) << "no cell starts a formula";
}

}  // namespace
}  // namespace vr5
