// Any bytes as a calibration file: load them, lay out the certificate of whatever loaded, and
// check what must hold for every file. Few inputs pass the magic, so the same bytes are also
// read as the station's log text, which the results and the summary are parsed from.
#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <variant>

#include "fuzz_check.h"
#include "page/certificate_page.h"
#include "report/calibration_record.h"
#include "report/report_json.h"

namespace {

using namespace vr5;

// The screen fonts' measures on a typical machine; the layout must hold for any.
constexpr PageMetrics kMetrics{59, 153, 107, 92};
// Nothing drawn lies left, right or above the page; a long summary may run off its foot.
constexpr int kPageSlack = 3000;

bool isResult(const QString& text, const QString& unit) {
    return text == QLatin1String(kNoResult) || text.endsWith(unit);
}

void checkResults(const CalibrationRecord& rec) {
    const QString& log = rec.field(CalibrationRecord::CalibrationText);
    for (const QString& t : rec.temperatureResults) {
        FUZZ_CHECK(isResult(t, QStringLiteral("\u00B0F")));
        FUZZ_CHECK(t.size() <= 5);  // three characters and the unit
    }
    for (const QString& p : rec.pressureResults) {
        FUZZ_CHECK(isResult(p, QStringLiteral("psi")));
        FUZZ_CHECK(p.size() <= log.size() + 3);
    }
    for (const QString& line : rec.summaryLines) {
        FUZZ_CHECK(!line.isEmpty() && !line.contains(QLatin1String("---")));
        FUZZ_CHECK(log.contains(line));
    }
}

void checkPage(const CalibrationRecord& rec, Medium medium) {
    const PageDrawing page = buildCertificatePage(rec, kMetrics, medium);
    // Frame, two rules, title, 14 identification texts, two sections of 1 + 3 + 12 + 2 texts,
    // the summary heading and lines, four statement lines, the identification line and the logo.
    FUZZ_CHECK(static_cast<qsizetype>(page.items.size()) ==
               3 + 1 + 14 + 2 * 18 + 1 + rec.summaryLines.size() + 4 + 1 + 1);
    int failed = 0;
    for (const PageItem& item : page.items) {
        if (const auto* text = std::get_if<TextItem>(&item)) {
            FUZZ_CHECK(text->at.x >= 0 && text->at.x <= kPageWidth);
            FUZZ_CHECK(text->at.y < 0 &&
                       text->at.y >= -kPageHeight - kPageSlack - 130 * rec.summaryLines.size());
            if (text->text == QLatin1String(kFailed)) {
                FUZZ_CHECK(text->color == kCertificateRed);
                ++failed;
            }
        }
    }
    int missing = 0;
    for (const QString& t : rec.temperatureResults) missing += t == QLatin1String(kNoResult);
    for (const QString& p : rec.pressureResults) missing += p == QLatin1String(kNoResult);
    FUZZ_CHECK(failed == missing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No copy: a read past the last byte lands outside the fuzzer's buffer, where the address
    // sanitizer sees it.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Medium medium = size > 0 && data[0] >= 128 ? Medium::Paper : Medium::Screen;

    CalibrationRecord rec;
    const CalibrationProblem problem = loadCalibration(bytes, rec);
    if (problem == CalibrationProblem::None) {
        FUZZ_CHECK(rec.magic == QLatin1String(kCalibrationMagic));
        // Every character of a field came from the file: one byte or two.
        qsizetype units = rec.magic.size();
        for (const QString& f : rec.fields) units += f.size();
        FUZZ_CHECK(units <= bytes.size());
        checkResults(rec);
        checkPage(rec, medium);
        FUZZ_CHECK(
            !QJsonDocument::fromJson(calibrationToJson(rec, QStringLiteral("x.tdc"))).isNull());
    } else {
        FUZZ_CHECK(rec.magic.isEmpty());
    }

    // The bytes as the log, one byte a character.
    CalibrationRecord log;
    log.fields[CalibrationRecord::CalibrationText] = QString::fromLatin1(bytes);
    deriveCalibrationResults(log);
    checkResults(log);
    checkPage(log, medium);
    return 0;
}
