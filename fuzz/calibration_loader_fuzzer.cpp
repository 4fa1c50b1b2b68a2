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
#include <vector>

#include "fuzz_check.h"
#include "page/certificate_page.h"
#include "report/calibration_record.h"
#include "report/report_json.h"

namespace {

using namespace vr5;

// The screen fonts' measures on a typical machine; the layout must hold for any.
constexpr PageMetrics kMetrics{59, 153, 107, 92};
// The top of the logo under the certification statement.
constexpr int kLogoTop = -9200;

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
    std::vector<const TextItem*> texts;
    for (const PageItem& item : page.items) {
        if (const auto* text = std::get_if<TextItem>(&item)) texts.push_back(text);
    }
    // Frame, two rules, title, 14 identification texts, two sections of 1 + 3 + 12 + 2 texts,
    // the summary heading and the lines that fit, four statement lines, the identification line
    // and the logo.
    qsizetype summary = 0;
    for (const TextItem* t : texts) summary += t->at.x == 3600;
    FUZZ_CHECK(summary >= 1 && summary - 1 <= rec.summaryLines.size());
    FUZZ_CHECK(static_cast<qsizetype>(page.items.size()) ==
               3 + 1 + 14 + 2 * 18 + summary + 4 + 1 + 1);

    // Everything on the page; a text from the file ends inside the frame and keeps no more
    // characters than its column could show.
    int failed = 0;
    for (const TextItem* t : texts) {
        FUZZ_CHECK(t->at.x >= 0 && t->at.x <= kPageWidth);
        FUZZ_CHECK(t->at.y <= 0 && t->at.y - certificateTextHeight(t->font) >= -kPageHeight);
        if (t->rightEdge != kNoRightEdge) {
            FUZZ_CHECK(t->rightEdge > t->at.x && t->rightEdge <= kCertificateFrame.right);
            FUZZ_CHECK(t->text.size() <= qsizetype{t->rightEdge - t->at.x} * 8 /
                                                 fontSpec(t->font).heightInPageUnits() +
                                             1);
        }
        if (t->at.x == 5250 && t->text == QLatin1String(kFailed)) {
            FUZZ_CHECK(t->color == kCertificateRed);
            ++failed;
        }
    }
    // The statement: the four lines before the identification line, below every other text and
    // above the logo.
    FUZZ_CHECK(texts.size() >= 5);
    const TextItem* first = texts[texts.size() - 5];
    const TextItem* last = texts[texts.size() - 2];
    FUZZ_CHECK(last->at.y - certificateTextHeight(last->font) > kLogoTop);
    for (size_t i = 0; i + 5 < texts.size(); ++i) {
        FUZZ_CHECK(texts[i]->at.y - certificateTextHeight(texts[i]->font) > first->at.y);
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
