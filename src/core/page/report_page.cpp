#include "page/report_page.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app_info.h"
#include "report/report_strings.h"
#include "report/report_text.h"
#include "text/tick_format.h"

namespace vr5 {

namespace {

constexpr std::array<int, 13> kTicks = {1,   2,   5,    10,   20,   50,   100,
                                        200, 500, 1000, 2000, 5000, 10000};
constexpr int kLastTick = 12;
constexpr int kColumnWidth = 3500;
constexpr int kValueIndent = 1000;
const QString kNotesIndent = QStringLiteral("          ");
// The logo's pixel size; it is drawn at half that in page units.
constexpr int kLogoPixelsWide = 4037;
constexpr int kLogoPixelsHigh = 1476;

// A pressure scale finer than this is no scale anyone can read.
constexpr int kMaxScaleDecimals = 6;
constexpr double kMaxScaleUnits = 1e8;

// The label of scale value s, counted in units of 10^-decimals, with as many decimals as the
// step needs (s = 5, 1 decimal, step 5 gives "0.5"; s = 20, 2 decimals, step 20 gives "0.2").
QString scaleLabel(int s, int decimals, int step) {
    if (decimals == 0) return QString::number(s);
    int shown = decimals;
    for (int t = step; shown > 0 && t % 10 == 0; t /= 10) --shown;
    const QString digits = QString::number(s).rightJustified(decimals + 1, u'0');
    QString text = digits.left(digits.size() - decimals);
    if (shown > 0) text += u'.' + digits.mid(digits.size() - decimals, shown);
    return text;
}

// The largest tick-table entry that fits eight times into a, or the first.
int tickIndex(int a) {
    int found = 0;
    for (int i = 0; i <= kLastTick; ++i) {
        if (a / 8 >= kTicks[static_cast<size_t>(i)]) found = i;
    }
    return found;
}

class PageBuilder {
public:
    PageBuilder(const JointRecord& rec, const PageMetrics& m, Medium medium,
                const AnalyzerView& analyzer)
        : rec_(rec), m_(m), medium_(medium), analyzer_(analyzer) {}

    PageDrawing take() { return std::move(page_); }

    void frame() {
        add(FrameItem{kHeaderBox, kBoxPen});
        watermark(-600);
        for (int k = 0; k < 3; ++k) add(FrameItem{plotBox(k), kBoxPen});
    }

    void titleBlock(const QString& path) {
        add(TextItem{{kPageWidth / 2, -200},
                     QString::fromUtf8(str::kPageTitle),
                     FontRole::Title,
                     kBlack,
                     HAlign::Center,
                     VAlign::Top});
        const int x = m_.smallMaxWidth / 2 + 500;
        addPathLine(page_, rec_, path, m_);
        add(TextItem{{x, -9700 - m_.smallCh / 4}, identificationLine(), FontRole::Small});
        if (medium_ == Medium::Paper) {
            const int w = kLogoPixelsWide / 2;
            const int h = kLogoPixelsHigh / 2;
            const int left = (kPageWidth - w) / 2;
            add(BitmapItem{{left, -9900, left + w, -9900 - h}, BitmapId::Logo});
        }
    }

    void headerText() {
        int x = m_.cw + 500;
        const int firstRow = -600 - m_.ch / 4;
        int y = firstRow;
        int lastRow = y;
        const QStringList& lines = rec_.headerLines;
        const qsizetype notesStart = notesLinesStart();
        // A value longer than its column (a text may hold 100 characters) is cut where the next
        // column starts, or at the header box for the last column, not written over them.
        int columnsLeft = static_cast<int>(lines.count(QStringLiteral("^")));
        auto rightEdge = [&] {
            return (columnsLeft > 0 ? x + kColumnWidth : kHeaderBox.right) - m_.cw;
        };
        auto text = [&](PagePoint at, const QString& line) {
            TextItem item{at, line, FontRole::Main};
            item.rightEdge = rightEdge();
            add(std::move(item));
        };
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString& line = lines[i];
            if (i == notesStart) {
                // Notes go on the rows left in the header box, never over the plots below.
                const int rows = std::max(0, (y - kHeaderBox.bottom) / m_.ch);
                for (const QString& note : fitNotes(rec_.fields.notes, rows)) {
                    text({x, y}, kNotesIndent + note);
                    y -= m_.ch;
                }
                break;
            }
            if (line == u"^") {
                x += kColumnWidth;
                y = firstRow;
                --columnsLeft;
            } else if (line.startsWith(u':')) {
                text({x + kValueIndent, lastRow}, line);
            } else {
                if (!line.isEmpty()) text({x, y}, line);
                lastRow = y;
                y -= m_.ch;
            }
        }
    }

    void plot(int kind, const PageRect& r) {
        PlotGeometry g;
        g.kind = kind;
        g.rect = r;
        add(FrameItem{r, gridPen(medium_)});
        watermark(r.top + 500);
        titles(kind, r);
        ranges(g);
        grid(g);
        curve(g);
        page_.plots.push_back(g);
    }

    static PageRect plotRect(const PageRect& box, const PageMetrics& m) {
        return {box.left + 7 * m.cw, box.top - 2 * m.ch, box.right - 2 * m.cw,
                box.bottom + 2 * m.ch};
    }

private:
    template <typename T>
    void add(T item) {
        page_.items.emplace_back(std::move(item));
    }

    void watermark(int top) {
        if (!rec_.isDemo()) return;
        add(TextItem{{kPageWidth / 2, top},
                     QString::fromUtf8(str::kDemo),
                     FontRole::Watermark,
                     kWatermarkColor,
                     HAlign::Center,
                     VAlign::Top});
    }

    void titles(int kind, const PageRect& r) {
        const int y = r.top + m_.ch * 3 / 2;
        const QString unit = rec_.pressureUnitText;
        add(TextItem{{r.left - m_.cw * static_cast<int>(std::min<qsizetype>(unit.size(), 5)), y},
                     unit,
                     FontRole::Main});
        QString title;
        if (kind == 0) {
            title = QString::asprintf(str::kFrontEndPlot, rec_.searchRangePercent);
        } else if (kind == 1) {
            title =
                analyzer_.active ? analyzer_.readout : QString::fromUtf8(str::kHeaterRemovalPlot);
        } else {
            title = QString::asprintf(str::kSummaryPlot, rec_.sampleCount);
        }
        add(TextItem{{(r.left + r.right) / 2, y},
                     title,
                     FontRole::Main,
                     kBlack,
                     HAlign::Center,
                     VAlign::Top});
    }

    int lastTime() const { return rec_.sampleCount > 0 ? rec_.Time(rec_.sampleCount - 1) : 0; }

    int sampleTime(int oneBased) const {
        if (rec_.sampleCount == 0) return 0;
        return rec_.Time(std::clamp(oneBased, 1, rec_.sampleCount) - 1);
    }

    void ranges(PlotGeometry& g) const {
        const int n = rec_.sampleCount;
        int start = 0;
        int end;
        if (g.kind == 2 || n < 2 || lastTime() <= 100) {
            end = lastTime();
        } else {
            end = std::min(rec_.heaterRemoval + 25, rec_.fields.loggedDuration);
            if (g.kind == 1) start = std::max(rec_.heaterRemoval - 100, 0);
        }
        if (end == 0) end = 1;
        if (analyzer_.active && g.kind != 2) {
            start = sampleTime(analyzer_.point1);
            end = sampleTime(analyzer_.point2);
        }
        g.timeStart = start;
        g.timeEnd = end;
        const int span = end - start;
        const int i = tickIndex(span);
        const int ti = kTicks[static_cast<size_t>(i)];
        g.timeStep = (i < kLastTick && span / ti > 8) ? kTicks[static_cast<size_t>(i) + 1] : ti;

        // Whole display units, unless they would label fewer than two grid lines (a report
        // that stays under 2 MPa, say): then tenths, hundredths, ... until two are labelled.
        const int topPsi = rec_.maxPressure != 0 ? rec_.maxPressure : 1;
        pressureScale(g, static_cast<int>(topPsi / rec_.psiPerUnit), 0);
        if (labelledPressureLines(g) >= 2) return;
        double scale = 1.0;
        for (int decimals = 1; decimals <= kMaxScaleDecimals; ++decimals) {
            scale *= 10;
            const double top = topPsi * scale / rec_.psiPerUnit;
            if (top > kMaxScaleUnits) break;  // labels that do not fit at any scale
            PlotGeometry finer = g;
            pressureScale(finer, static_cast<int>(top), decimals);
            if (labelledPressureLines(finer) >= 2) {
                g = finer;
                return;
            }
        }
    }

    // The steps and top of the pressure axis for a top of `top` units of 10^-decimals.
    void pressureScale(PlotGeometry& g, int top, int decimals) const {
        int p = tickIndex(top);
        while (p < kLastTick && top / kTicks[static_cast<size_t>(p)] > 4) ++p;
        const int step = kTicks[static_cast<size_t>(p)];
        top = (top / step) * step + step;
        g.pressureStep = step;
        g.pressureTop = top;
        g.pressureDecimals = decimals;
        g.pressureTopPsiExact = top * rec_.psiPerUnit / std::pow(10.0, decimals);
        g.pressureTopPsi = decimals == 0 ? static_cast<int>(top * rec_.psiPerUnit)
                                         : static_cast<int>(g.pressureTopPsiExact);
    }

    // Where the grid line of scale value s lies.
    int pressureLineY(const PlotGeometry& g, int s) const {
        if (g.pressureDecimals == 0) return mapY(g, static_cast<int>(s * rec_.psiPerUnit));
        return mapY(g, s * rec_.psiPerUnit / std::pow(10.0, g.pressureDecimals));
    }

    bool labelFits(const PlotGeometry& g, int y) const {
        return y <= g.rect.top - m_.ch / 2 && y >= g.rect.bottom + m_.ch / 2;
    }

    int labelledPressureLines(const PlotGeometry& g) const {
        int labelled = 0;
        for (int s = g.pressureStep; s < g.pressureTop; s += g.pressureStep) {
            if (labelFits(g, pressureLineY(g, s))) ++labelled;
        }
        return labelled;
    }

    static int mapX(const PlotGeometry& g, int t) { return plotTimeX(g, t); }

    static int mapY(const PlotGeometry& g, double psi) { return plotPressureY(g, psi); }

    void grid(const PlotGeometry& g) {
        const PageRect& r = g.rect;
        const Pen pen = gridPen(medium_);
        const int labelY = r.bottom - m_.ch / 2;
        const int firstX = r.left - 5 * m_.cw;
        const QString first =
            g.kind == 1 ? formatTicks(g.timeStart) : QString::fromUtf8(str::kFirstTimeLabel);
        add(TextItem{{firstX, labelY}, first, FontRole::Main});
        const int earliest = firstX + (static_cast<int>(first.size()) + 1) * m_.cw;

        const int span = g.timeEnd - g.timeStart;
        for (int s = g.timeStep; s < span; s += g.timeStep) {
            const int x = mapX(g, g.timeStart + s);
            add(LineItem{{x, r.top}, {x, r.bottom}, pen});
            const QString label = formatTicks(g.kind == 1 ? g.timeStart + s : s);
            const int width = static_cast<int>(label.size()) * m_.cw;
            const int lx = x - width / 2 + 1;
            if (lx >= earliest && lx + width < r.right) {
                add(TextItem{{lx, labelY}, label, FontRole::Main});
            }
        }
        for (int s = g.pressureStep; s < g.pressureTop; s += g.pressureStep) {
            const int y = pressureLineY(g, s);
            add(LineItem{{r.left, y}, {r.right, y}, pen});
            if (labelFits(g, y)) {
                add(TextItem{{r.left - m_.cw / 2, y},
                             scaleLabel(s, g.pressureDecimals, g.pressureStep),
                             FontRole::Main,
                             kBlack,
                             HAlign::Right,
                             VAlign::Center});
            }
        }
    }

    void curve(const PlotGeometry& g) {
        const PageRect& r = g.rect;
        if (g.timeEnd < 2) return;
        PolylineItem line{{}, curvePen(medium_)};
        auto flush = [&] {
            if (line.points.size() >= 2) add(line);
            line.points.clear();
        };
        auto extend = [&line](PagePoint p) {
            if (line.points.empty() || !(line.points.back() == p)) line.points.push_back(p);
        };
        for (int i = 1; i < rec_.sampleCount; ++i) {
            const PagePoint from{mapX(g, rec_.Time(i - 1)), mapY(g, rec_.Pressure(i - 1))};
            const PagePoint to{mapX(g, rec_.Time(i)), mapY(g, rec_.Pressure(i))};
            if (g.kind == 1 && to.x == r.left) {
                flush();
                continue;
            }
            if (line.points.empty()) line.points.push_back(from);
            extend(to);
            if (to.x >= r.right) break;
        }
        flush();

        if (analyzer_.active && g.kind != 1) {
            for (int point : {analyzer_.point1, analyzer_.point2}) {
                const int x = mapX(g, sampleTime(point));
                add(LineItem{{x, r.top}, {x, r.bottom}, kAnalyzerPen});
            }
        }
        if (rec_.heaterRemoval != 0) {
            const int x = mapX(g, rec_.heaterRemoval);
            if (x > r.left && x < r.right) {
                add(LineItem{{x, r.top + 40}, {x, r.top - 40}, kMarkerPen});
            }
        }
    }

    // Where the wrapped notes lines begin in the header list (they end it, after their label),
    // or -1 when the report shows none.
    qsizetype notesLinesStart() const {
        const QStringList& lines = rec_.headerLines;
        const qsizetype count = wrapNotes(rec_.fields.notes).size();
        const qsizetype start = lines.size() - count;
        if (count == 0 || start < 1 || !lines[start - 1].endsWith(u"Notes:")) return -1;
        return start;
    }

    const JointRecord& rec_;
    const PageMetrics& m_;
    Medium medium_;
    const AnalyzerView& analyzer_;
    PageDrawing page_;
};

}  // namespace

int plotTimeX(const PlotGeometry& g, int t) {
    const PageRect& r = g.rect;
    const long long span = std::max(g.timeEnd - g.timeStart, 1);
    const long long x = r.left + static_cast<long long>(r.right - r.left) *
                                     (std::max(t, g.timeStart) - g.timeStart) / span;
    return static_cast<int>(std::clamp<long long>(x, r.left, r.right));
}

int plotPressureY(const PlotGeometry& g, double psi) {
    const PageRect& r = g.rect;
    // Whole units map in integers, as they always have; a decimal scale needs the exact top.
    const int y =
        g.pressureDecimals == 0
            ? r.bottom + static_cast<int>(static_cast<long long>(psi) * (r.top - r.bottom) /
                                          std::max(g.pressureTopPsi, 1))
            : r.bottom + static_cast<int>(psi * (r.top - r.bottom) / g.pressureTopPsiExact);
    if (y <= r.bottom) return r.bottom + 1;
    return std::min(y, r.top);
}

PageDrawing buildSummaryPlot(const JointRecord& rec, const PageRect& box, const PageMetrics& m,
                             Medium medium) {
    static const AnalyzerView kNoAnalyzer;
    PageBuilder b(rec, m, medium, kNoAnalyzer);
    b.plot(2, PageBuilder::plotRect(box, m));
    return b.take();
}

PageRect plotBox(int k) {
    return {500, -3300 - 2200 * k, 8000, -5300 - 2200 * k};
}

Pen gridPen(Medium medium) {
    return medium == Medium::Screen ? Pen{rgb(192, 192, 192), 1} : Pen{kBlack, 1};
}

Pen curvePen(Medium medium) {
    return medium == Medium::Screen ? Pen{kBlack, 1} : Pen{kBlack, 5};
}

QString pathLineText(const QString& path, QChar separator) {
    QString shown = path;
    if (shown.size() > 120) {
        const qsizetype slash = std::max(shown.lastIndexOf(u'/'), shown.lastIndexOf(u'\\'));
        shown = shown.mid(slash + 1);
    }
    if (separator != u'/') shown.replace(u'/', separator);
    return shown;
}

void addPathLine(PageDrawing& page, const JointRecord& rec, const QString& path,
                 const PageMetrics& m) {
    TextItem line{
        {m.smallMaxWidth / 2 + 500, -600 + m.smallCh * 5 / 4}, pathLineText(path), FontRole::Small};
    if (rec.problem.isDamaged()) {
        // In the main font, on the row between the title and the header box.
        const QString notice = QString::fromUtf8(kDamagedReportNotice);
        TextItem item{{kHeaderBox.right, kHeaderBox.top + m.ch * 11 / 20},
                      notice,
                      FontRole::Main,
                      kBlack,
                      HAlign::Right,
                      VAlign::Center};
        line.rightEdge = kHeaderBox.right - static_cast<int>(notice.size() + 2) * m.cw;
        page.items.emplace_back(std::move(line));
        page.items.emplace_back(std::move(item));
        return;
    }
    page.items.emplace_back(std::move(line));
}

QString identificationLine() {
    return QString::fromUtf8(kAppTitle) + QStringLiteral("  ") + QString::fromUtf8(kVersionText) +
           QStringLiteral("  ") + QString::fromUtf8(kMakerNotice) + QStringLiteral("  ") +
           QString::fromUtf8(kMakerName) + QStringLiteral("  ") + QString::fromUtf8(kMakerPhone) +
           QStringLiteral("  ") + QString::fromUtf8(kMakerWeb);
}

PageDrawing buildReportPage(const JointRecord& rec, const QString& path, const PageMetrics& m,
                            Medium medium, const AnalyzerView& analyzer) {
    PageBuilder b(rec, m, medium, analyzer);
    if (rec.headerLines.size() < 2) return b.take();
    b.frame();
    b.titleBlock(path);
    b.headerText();
    if (analyzer.active) {
        b.plot(2, PageBuilder::plotRect(plotBox(0), m));
        b.plot(1, PageBuilder::plotRect(plotBox(1), m));
    } else {
        for (int k = 0; k < 3; ++k) b.plot(k, PageBuilder::plotRect(plotBox(k), m));
    }
    return b.take();
}

}  // namespace vr5
