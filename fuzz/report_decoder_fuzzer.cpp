// Any bytes as a joint report file: decode them, lay out the page of whatever was decoded, and
// check what must hold for every file, whole, damaged or not a report at all. The first byte
// also chooses the search range and the medium, so every range and both pens get their share.
#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <variant>

#include "fuzz_check.h"
#include "page/report_page.h"
#include "report/report_decoder.h"

namespace {

using namespace vr5;

// The screen fonts' measures on a typical machine; the layout must hold for any.
constexpr PageMetrics kMetrics{59, 153, 107, 92};
const QString kPath = QStringLiteral("/home/operator/Documents/Joint Reports/J-2024-17.tjr");

// The header list holds a few dozen fixed entries, then one row per notes line; the notes are
// a stored string, so they give at most one row per character and one more.
constexpr qsizetype kMaxFixedHeaderLines = 48;
constexpr qsizetype kMaxHeaderLines = kMaxFixedHeaderLines + kMaxStringUnits + 1;
// Nothing drawn lies further off the letter page than this (three inches).
constexpr int kPageSlack = 3000;
// Three plots with a handful of grid lines and labels each, the header and the title block.
constexpr size_t kMaxPageItems = 600 + kMaxHeaderLines;

bool isStoredString(const QString& text) {
    return text.size() <= kMaxStringUnits;
}

void checkRecord(const QByteArray& image, const JointRecord& rec, int percent) {
    const ReportFields& f = rec.fields;
    const qsizetype size = image.size();

    FUZZ_CHECK(rec.searchRangePercent == percent);
    FUZZ_CHECK(rec.sampleCount >= 0 && rec.sampleCount <= kMaxSamples);
    FUZZ_CHECK(static_cast<qsizetype>(rec.sampleCount) * 4 <= size);
    FUZZ_CHECK(rec.time.size() == static_cast<size_t>(rec.sampleCount));
    FUZZ_CHECK(rec.pressure.size() == static_cast<size_t>(rec.sampleCount) + 1);
    for (int i = 0; i < rec.sampleCount; ++i) {
        FUZZ_CHECK(rec.Time(i) >= 0 && rec.Time(i) <= 0xFFFF);
        FUZZ_CHECK(rec.Pressure(i) >= INT16_MIN && rec.Pressure(i) <= kPressureCeiling);
    }
    FUZZ_CHECK(rec.maxPressure >= 0 && rec.maxPressure <= kPressureCeiling);

    // The heater came out at a sample's time, inside the search range.
    if (rec.heaterRemoval != 0) {
        FUZZ_CHECK(std::find(rec.time.begin(), rec.time.end(), rec.heaterRemoval) !=
                   rec.time.end());
        FUZZ_CHECK(rec.heaterRemoval <
                   static_cast<long long>(f.loggedDuration) * rec.searchRangePercent / 100);
    }

    // Appending notes rewrites the bytes between these two positions.
    FUZZ_CHECK(rec.notesPos >= 0 && rec.notesPos <= size);
    FUZZ_CHECK(rec.notesEnd >= 0 && rec.notesEnd <= size);
    if (rec.has(ReportItem::Notes)) {
        FUZZ_CHECK(rec.notesPos >= kPreambleSize && rec.notesPos < rec.notesEnd);
    }

    if (rec.problem.stopped()) {
        FUZZ_CHECK(rec.problem.offset >= 0 && rec.problem.offset <= size);
        FUZZ_CHECK(!rec.problem.what.isEmpty());
    } else {
        FUZZ_CHECK(rec.lastItem == ReportItem::Samples);
    }

    for (const QString* text :
         {&f.machineId, &f.modelText, &f.pistonArea, &f.employeeId, &f.jobNumber, &f.material,
          &f.pipeSize, &f.wall, &f.drag, &f.extHeaterTemp, &f.heaterTemp, &f.location, &f.notes,
          &f.identity, &f.reserve}) {
        FUZZ_CHECK(isStoredString(*text));
    }
    for (const auto* four : {&f.interfacial, &f.recommended}) {
        for (const QString& text : *four) FUZZ_CHECK(isStoredString(text));
    }
    FUZZ_CHECK(f.summaryLine.size() <= kMaxSummaryChars);

    FUZZ_CHECK(rec.headerLines.size() <= kMaxHeaderLines);
    FUZZ_CHECK(!rec.pressureUnitText.isEmpty());
    FUZZ_CHECK(std::isfinite(rec.psiPerUnit) && rec.psiPerUnit > 0);
}

// The document decodes again into the record it already holds when the search range changes:
// nothing of the earlier decode may survive.
void checkRedecode(const QByteArray& image, const JointRecord& fresh) {
    JointRecord again;
    again.searchRangePercent = fresh.searchRangePercent == 100 ? 50 : 100;
    decodeReport(image, again);
    again.searchRangePercent = fresh.searchRangePercent;
    decodeReport(image, again);
    FUZZ_CHECK(again.lastItem == fresh.lastItem);
    FUZZ_CHECK(again.problem.item == fresh.problem.item);
    FUZZ_CHECK(again.problem.offset == fresh.problem.offset);
    FUZZ_CHECK(again.notesPos == fresh.notesPos && again.notesEnd == fresh.notesEnd);
    FUZZ_CHECK(again.time == fresh.time && again.pressure == fresh.pressure);
    FUZZ_CHECK(again.maxPressure == fresh.maxPressure);
    FUZZ_CHECK(again.heaterRemoval == fresh.heaterRemoval);
    FUZZ_CHECK(again.headerLines == fresh.headerLines);
}

bool onPage(PagePoint p) {
    return p.x >= -kPageSlack && p.x <= kPageWidth + kPageSlack && p.y <= kPageSlack &&
           p.y >= -kPageHeight - kPageSlack;
}

bool inside(PagePoint p, const PageRect& r) {
    return p.x >= r.left && p.x <= r.right && p.y <= r.top && p.y >= r.bottom;
}

void checkPage(const PageDrawing& page) {
    FUZZ_CHECK(page.items.size() <= kMaxPageItems);
    FUZZ_CHECK(page.plots.size() <= 3);
    for (const PlotGeometry& g : page.plots) {
        FUZZ_CHECK(g.timeStep > 0 && g.pressureStep > 0 && g.pressureTop > 0);
        FUZZ_CHECK(g.pressureTopPsi > 0);
    }
    // A curve stays inside the frame of its plot.
    auto insideSomePlot = [&page](PagePoint p) {
        return std::any_of(page.plots.begin(), page.plots.end(),
                           [p](const PlotGeometry& g) { return inside(p, g.rect); });
    };
    size_t curvePoints = 0;
    for (const PageItem& item : page.items) {
        if (const auto* line = std::get_if<LineItem>(&item)) {
            FUZZ_CHECK(onPage(line->from) && onPage(line->to));
        } else if (const auto* frame = std::get_if<FrameItem>(&item)) {
            FUZZ_CHECK(onPage({frame->rect.left, frame->rect.top}));
            FUZZ_CHECK(onPage({frame->rect.right, frame->rect.bottom}));
        } else if (const auto* curve = std::get_if<PolylineItem>(&item)) {
            curvePoints += curve->points.size();
            for (PagePoint p : curve->points) FUZZ_CHECK(insideSomePlot(p));
        } else if (const auto* text = std::get_if<TextItem>(&item)) {
            FUZZ_CHECK(onPage(text->at));
        } else if (const auto* bitmap = std::get_if<BitmapItem>(&item)) {
            FUZZ_CHECK(onPage({bitmap->rect.left, bitmap->rect.top}));
            FUZZ_CHECK(onPage({bitmap->rect.right, bitmap->rect.bottom}));
        }
    }
    // Each plot draws each sample at most once.
    FUZZ_CHECK(curvePoints <= 3 * static_cast<size_t>(kMaxSamples));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No copy: a read past the last byte lands outside the fuzzer's buffer, where the address
    // sanitizer sees it.
    const QByteArray image =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const int first = size > 0 ? data[0] : 0;
    const int percent = 5 + first % 96;
    const Medium medium = first >= 128 ? Medium::Paper : Medium::Screen;

    JointRecord rec;
    rec.searchRangePercent = percent;
    decodeReport(image, rec);
    checkRecord(image, rec, percent);
    checkRedecode(image, rec);
    checkPage(buildReportPage(rec, kPath, kMetrics, medium));
    return 0;
}
