#include "page/evaluation_page.h"

#include <algorithm>
#include <cmath>

#include "page/report_page.h"
#include "report/report_strings.h"
#include "text/tick_format.h"

namespace vr5 {

namespace {

constexpr int kLeft = 500;
constexpr int kRight = 8000;
constexpr int kRightColumn = 4250;  // the header box's second column
constexpr int kValueIndent = 1600;  // from a header label to its value
// The phase table's columns.
constexpr int kStartX = 2600;
constexpr int kDurationX = 4100;
constexpr int kMeanX = 5700;
// The check table's columns.
constexpr int kMeasuredX = 2300;
constexpr int kLimitX = 3600;
constexpr int kResultX = 6300;
// The summary plot's box: below the tables, and never into the foot of the page.
constexpr int kPlotBoxTop = -5250;
constexpr int kPlotBoxHeight = 2800;
constexpr int kLowestPlotBottom = -8500;
// A phase too short to show at the plot's scale is still drawn this wide.
constexpr int kThinnestShade = 12;
constexpr int kSwatchWidth = 200;
constexpr int kLegendStep = 1480;
constexpr double kMmPerInch = 25.4;
// The logo's pixel size, as the report page draws it: at half that in page units.
constexpr int kLogoPixelsWide = 4037;
constexpr int kLogoPixelsHigh = 1476;

const QString kDash = QStringLiteral("\u2014");

constexpr int kMostExtraDecimals = 4;

// The decimals a value is shown with: fewer the larger it is.
int defaultDecimals(double value) {
    const double size = std::abs(value);
    return size >= 100 ? 0 : size >= 10 ? 1 : size >= 1 ? 2 : 3;
}

// A value with its usual decimals and `extra` more, without trailing zeros.
QString numberWithDecimals(double value, int extra) {
    if (!std::isfinite(value)) return kDash;
    if (std::abs(value) >= 1e9) return QString::number(value, 'g', 6);
    QString shown = QString::number(value, 'f', defaultDecimals(value) + extra);
    if (shown.contains(u'.')) {
        while (shown.endsWith(u'0')) shown.chop(1);
        if (shown.endsWith(u'.')) shown.chop(1);
    }
    if (shown == u"-0") shown = QStringLiteral("0");
    return shown;
}

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString millimetres(const std::optional<double>& mm) {
    if (!mm || !std::isfinite(*mm) || *mm <= 0) return text(kNotKnown);
    return QString::number(*mm, 'f', 1) + QStringLiteral(" mm (") +
           QString::number(*mm / kMmPerInch, 'f', 3) + QStringLiteral(" in)");
}

QString withUnit(double value, const QString& unit) {
    const QString number = evaluationNumber(value);
    return unit.isEmpty() ? number : number + u' ' + unit;
}

QString measuredText(const Check& c) {
    if (!c.measured || !std::isfinite(*c.measured)) return kDash;
    const double value = *c.measured;
    // Rounded for the page, a value just past its limit must not read as lying on it (450.4 °F
    // against at most 450 °F is not "450 °F"): decimals are added until the shown value says
    // what the mark says.
    const AppliedLimit& l = c.limit;
    if (c.result != CheckResult::NotChecked) {
        for (int extra = 0; extra <= kMostExtraDecimals; ++extra) {
            const int decimals = std::min(defaultDecimals(value) + extra, 15);
            const double scale = std::pow(10.0, decimals);
            const double shown = std::round(value * scale) / scale;
            const bool outside = (l.min && shown < *l.min) || (l.max && shown > *l.max);
            if (outside == (c.result == CheckResult::Outside)) {
                const QString number = numberWithDecimals(value, extra);
                return c.unit.isEmpty() ? number : number + u' ' + c.unit;
            }
        }
    }
    return withUnit(value, c.unit);
}

QString limitText(const AppliedLimit& l) {
    const bool low = l.min && std::isfinite(*l.min);
    const bool high = l.max && std::isfinite(*l.max);
    if (!l.reason.isEmpty() || (!low && !high)) return kDash;
    if (low && high) {
        return evaluationNumber(*l.min) + QStringLiteral("\u2013") + withUnit(*l.max, l.unit);
    }
    if (low) return QStringLiteral("at least ") + withUnit(*l.min, l.unit);
    return QStringLiteral("at most ") + withUnit(*l.max, l.unit);
}

struct Mark {
    QString text;
    Rgb color;
};

Mark resultMark(CheckResult result) {
    switch (result) {
        case CheckResult::Within:
            return {text(kWithinMark), kWithinColor};
        case CheckResult::Outside:
            return {text(kOutsideMark), kOutsideColor};
        case CheckResult::NotChecked:
            break;
    }
    return {text(kNotCheckedMark), kNotCheckedColor};
}

Mark verdictMark(Verdict verdict) {
    switch (verdict) {
        case Verdict::Within:
            return {QStringLiteral("Within the procedure's limits"), kWithinColor};
        case Verdict::Outside:
            return {QStringLiteral("OUTSIDE the procedure's limits"), kOutsideColor};
        case Verdict::Demo:
            return {text(kDemoVerdict), kNotCheckedColor};
        case Verdict::Incomplete:
            break;
    }
    return {QStringLiteral("Incomplete: not every check could be made"), kNotCheckedColor};
}

// Seconds on the record's clock as its ticks, kept well inside int.
int secondsToTicks(double seconds) {
    if (!std::isfinite(seconds)) return 0;
    const double ticks = std::clamp(seconds * kTicksPerSecond, 0.0, 1e9);
    return static_cast<int>(std::lround(ticks));
}

// Longer than any logger can record: a value no page should show.
constexpr double kLongestSeconds = 1e7;

bool usableSpan(const PhaseSpan& span) {
    return std::isfinite(span.startS) && std::isfinite(span.endS) && span.startS >= 0 &&
           span.endS >= span.startS && span.endS <= kLongestSeconds;
}

QString durationText(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds > kLongestSeconds) return kDash;
    QString shown = QString::number(seconds, 'f', 1) + QStringLiteral(" s");
    if (seconds >= 120) {
        shown +=
            QStringLiteral(" (") + QString::number(seconds / 60, 'f', 1) + QStringLiteral(" min)");
    }
    return shown;
}

class EvaluationBuilder {
public:
    EvaluationBuilder(const JointRecord& rec, const Evaluation& e, const PageMetrics& m,
                      Medium medium)
        : rec_(rec), e_(e), m_(m), medium_(medium) {}

    PageDrawing take() { return std::move(page_); }

    void titleBlock(const QString& path) {
        if (rec_.isDemo()) {
            add(TextItem{{kPageWidth / 2, -600},
                         text(str::kDemo),
                         FontRole::Watermark,
                         kWatermarkColor,
                         HAlign::Center,
                         VAlign::Top});
        }
        add(TextItem{{kPageWidth / 2, -200},
                     text(str::kPageTitle),
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
            const int logoLeft = (kPageWidth - w) / 2;
            add(BitmapItem{{logoLeft, -9900, logoLeft + w, -9900 - h}, BitmapId::Logo});
        }
    }

    void header() {
        const int top = -600;
        int y = top - m_.ch / 4;
        add(TextItem{{left(), y}, text(kEvaluationHeading), FontRole::CertificateHeading});
        y -= m_.ch * 3 / 2;
        QString procedure = e_.procedure.name.isEmpty() ? e_.procedure.id : e_.procedure.name;
        if (!e_.procedure.edition.isEmpty()) {
            procedure += QStringLiteral(", edition ") + e_.procedure.edition;
        }
        // The procedure's name may be long: it has the whole width.
        labelled({left(), y}, QStringLiteral("Procedure:"), procedure, kRight - m_.cw);
        y -= m_.ch;
        const QString rows[3][4] = {
            {QStringLiteral("Job:"), rec_.fields.jobNumber, QStringLiteral("Outside diameter:"),
             millimetres(e_.pipe.diameterMm)},
            {QStringLiteral("Joint:"), QString::number(rec_.fields.jointNumber),
             QStringLiteral("Wall thickness:"), millimetres(e_.pipe.wallMm)},
            {QStringLiteral("Date:"), dateText(), QString(), QString()},
        };
        for (const auto& row : rows) {
            labelled({left(), y}, row[0], row[1], kRightColumn - m_.cw);
            if (!row[2].isEmpty()) {
                labelled({kRightColumn + m_.cw, y}, row[2], row[3], kRight - m_.cw);
            }
            y -= m_.ch;
        }
        y -= m_.ch / 2;
        const Mark verdict = verdictMark(e_.verdict);
        add(TextItem{{left(), y}, QStringLiteral("Verdict:"), FontRole::CertificateHeading});
        add(TextItem{
            {left() + kValueIndent, y}, verdict.text, FontRole::CertificateHeading, verdict.color});
        y -= m_.ch * 3 / 2;
        // Why the verdict is not one a joint's record would have.
        QStringList why;
        if (e_.demo) why << text(kDemoLine);
        if (!e_.materialProblem.isEmpty()) {
            QString material = e_.materialProblem;
            material[0] = material[0].toUpper();
            why << material + QStringLiteral(": its limits are not checked.");
        }
        for (const QString& line : why) {
            TextItem item{
                {left() + kValueIndent, y + m_.ch / 3}, line, FontRole::Small, kNotCheckedColor};
            item.rightEdge = kRight - m_.cw / 2;
            add(std::move(item));
            y -= m_.smallCh;
        }
        add(FrameItem{{kLeft, top, kRight, y}, kBoxPen});
        y_ = y - m_.ch / 2;
    }

    void phases() {
        const int top = y_;
        int y = top - m_.ch / 6;
        const QString pressure =
            QStringLiteral("Mean gauge pressure (") + rec_.pressureUnitText + u')';
        y = columnHeadings(y, {{left(), QStringLiteral("Phases")},
                               {kStartX, QStringLiteral("Start")},
                               {kDurationX, QStringLiteral("Duration")},
                               {kMeanX, pressure}});
        for (int i = 0; i < kPhaseCount; ++i) {
            const Phase phase = static_cast<Phase>(i);
            add(TextItem{{left(), y}, phaseName(phase), FontRole::Main});
            const auto& span = e_.phases[static_cast<size_t>(i)];
            if (!span) {
                add(TextItem{{kStartX, y}, text(kPhaseNotFound), FontRole::Main, kNotCheckedColor});
            } else {
                const bool startKnown = std::isfinite(span->startS) && span->startS >= 0 &&
                                        span->startS <= kLongestSeconds;
                add(TextItem{{kStartX, y},
                             startKnown ? formatTicks(secondsToTicks(span->startS)) : kDash,
                             FontRole::Main});
                add(TextItem{
                    {kDurationX, y}, durationText(span->endS - span->startS), FontRole::Main});
                const double perUnit = rec_.psiPerUnit > 0 ? rec_.psiPerUnit : 1.0;
                const QString mean = std::isfinite(span->meanPsi)
                                         ? evaluationNumber(span->meanPsi / perUnit)
                                         : kDash;
                add(TextItem{{kMeanX, y}, mean, FontRole::Main});
            }
            y -= m_.ch;
        }
        y -= m_.ch / 4;
        add(FrameItem{{kLeft, top, kRight, y}, kBoxPen});
        y_ = y - m_.ch / 2;
    }

    void checks() {
        const int top = y_;
        int y = top - m_.ch / 6;
        y = columnHeadings(y, {{left(), QStringLiteral("Checks")},
                               {kMeasuredX, QStringLiteral("Measured")},
                               {kLimitX, QStringLiteral("Limit")},
                               {kResultX, QStringLiteral("Result")}});
        bool commonPractice = false;
        // A check's row, then in small print where its limit comes from and, when it could not
        // be made, why.
        const int smallIndent = left() + 2 * m_.cw;
        const int smallEdge = kRight - m_.cw / 2;
        for (const Check& c : e_.checks) {
            cell({left(), y}, checkTitle(c.name), kMeasuredX);
            cell({kMeasuredX, y}, measuredText(c), kLimitX);
            QString limit = limitText(c.limit);
            if (c.limit.status == LimitStatus::CommonPractice && c.limit.applies()) {
                limit += u' ' + text(kCommonPracticeMark);
                commonPractice = true;
            }
            cell({kLimitX, y}, limit, kResultX);
            const Mark mark = resultMark(c.result);
            TextItem result{{kResultX, y}, mark.text, FontRole::Main, mark.color};
            result.rightEdge = smallEdge;
            add(std::move(result));
            y -= m_.ch;
            if (!c.limit.source.isEmpty()) {
                TextItem source{
                    {smallIndent, y}, QStringLiteral("Source: ") + c.limit.source, FontRole::Small};
                source.rightEdge = smallEdge;
                add(std::move(source));
                y -= m_.smallCh;
            }
            if (c.result == CheckResult::NotChecked) {
                const QString why = !c.reason.isEmpty() ? c.reason : c.limit.reason;
                if (!why.isEmpty()) {
                    TextItem reason{{smallIndent, y},
                                    QStringLiteral("Not checked: ") + why,
                                    FontRole::Small,
                                    kNotCheckedColor};
                    reason.rightEdge = smallEdge;
                    add(std::move(reason));
                    y -= m_.smallCh;
                }
            }
            y -= m_.smallCh / 3;
        }
        add(FrameItem{{kLeft, top, kRight, y}, kBoxPen});
        y -= m_.smallCh / 4;
        if (commonPractice) {
            add(TextItem{{left(), y}, text(kCommonPracticeNote), FontRole::Small});
            y -= m_.smallCh;
        }
        y_ = y - m_.ch / 2;
    }

    void summaryPlot() {
        const int top = std::min(kPlotBoxTop, y_);
        const PageRect box{kLeft, top, kRight, std::max(top - kPlotBoxHeight, kLowestPlotBottom)};
        add(FrameItem{box, kBoxPen});
        PageDrawing plot = buildSummaryPlot(rec_, box, m_, medium_);
        // The shading goes under the grid and the curve.
        if (!plot.plots.empty()) shade(plot.plots.front());
        for (PageItem& item : plot.items) page_.items.push_back(std::move(item));
        for (const PlotGeometry& g : plot.plots) page_.plots.push_back(g);
        legend(box.bottom - m_.ch / 2);
        y_ = box.bottom - 2 * m_.ch;
    }

    void footNote() { add(TextItem{{left(), y_}, text(kEvaluationNote), FontRole::Main}); }

private:
    template <typename T>
    void add(T item) {
        page_.items.emplace_back(std::move(item));
    }

    int left() const { return kLeft + m_.cw; }

    // A label and its value; the value is cut at `edge`.
    void labelled(PagePoint at, const QString& label, const QString& value, int edge) {
        add(TextItem{at, label, FontRole::Main});
        cell({at.x + kValueIndent, at.y}, value, edge + m_.cw / 2);
    }

    // A table cell's text, cut short of the next column.
    void cell(PagePoint at, const QString& value, int nextColumn) {
        TextItem item{at, value, FontRole::Main};
        item.rightEdge = nextColumn - m_.cw / 2;
        add(std::move(item));
    }

    // A table's headings in bold with a rule under them; gives where the first row goes.
    int columnHeadings(int y, std::initializer_list<std::pair<int, QString>> columns) {
        for (const auto& [x, heading] : columns) {
            add(TextItem{{x, y}, heading, FontRole::CertificateRow});
        }
        const int rule = y - m_.ch - m_.ch / 16;
        add(LineItem{{kLeft, rule}, {kRight, rule}, kBoxPen});
        return rule - m_.ch / 8;
    }

    QString dateText() const {
        const ReportFields& f = rec_.fields;
        if (f.year == 0) return QString();
        const QChar zero(u'0');
        return QStringLiteral("%1/%2/%3 %4:%5")
            .arg(f.year)
            .arg(f.month, 2, 10, zero)
            .arg(f.day, 2, 10, zero)
            .arg(f.hour, 2, 10, zero)
            .arg(f.minute, 2, 10, zero);
    }

    void shade(const PlotGeometry& g) {
        const PageRect& r = g.rect;
        const int smallCw = m_.cw * 6 / 10;
        for (int i = 0; i < kPhaseCount; ++i) {
            const auto& span = e_.phases[static_cast<size_t>(i)];
            if (!span || !usableSpan(*span)) continue;
            const Phase phase = static_cast<Phase>(i);
            int x0 = plotTimeX(g, secondsToTicks(span->startS));
            int x1 = plotTimeX(g, secondsToTicks(span->endS));
            if (x1 - x0 < kThinnestShade) {
                x1 = std::min(x0 + kThinnestShade, r.right);
                x0 = std::max(x1 - kThinnestShade, r.left);
            }
            add(FilledRectItem{{x0, r.top, x1, r.bottom}, phaseShade(phase)});
            // Named in the band when the name fits; the legend names it in any case.
            const QString name = phaseName(phase);
            if (static_cast<int>(name.size()) * smallCw + m_.cw <= x1 - x0) {
                add(TextItem{{(x0 + x1) / 2, r.top - m_.smallCh / 4},
                             name,
                             FontRole::Small,
                             kBlack,
                             HAlign::Center,
                             VAlign::Top});
            }
        }
    }

    void legend(int y) {
        const int swatchHeight = m_.ch * 2 / 3;
        for (int i = 0; i < kPhaseCount; ++i) {
            const Phase phase = static_cast<Phase>(i);
            const int x = left() + i * kLegendStep;
            const PageRect swatch{x, y, x + kSwatchWidth, y - swatchHeight};
            add(FilledRectItem{swatch, phaseShade(phase)});
            add(FrameItem{swatch, kBoxPen});
            QString name = phaseName(phase);
            TextItem label{{x + kSwatchWidth + m_.cw, y - swatchHeight / 2},
                           name,
                           FontRole::Main,
                           e_.phases[static_cast<size_t>(i)] ? kBlack : kNotCheckedColor,
                           HAlign::Left,
                           VAlign::Center};
            label.rightEdge = x + kLegendStep - m_.cw / 2;
            add(std::move(label));
        }
    }

    const JointRecord& rec_;
    const Evaluation& e_;
    const PageMetrics& m_;
    Medium medium_;
    PageDrawing page_;
    int y_ = 0;  // where the next section starts
};

}  // namespace

Rgb phaseShade(Phase phase) {
    switch (phase) {
        case Phase::BeadUp:
            return rgb(200, 220, 255);
        case Phase::HeatSoak:
            return rgb(255, 222, 185);
        case Phase::Open:
            return rgb(235, 205, 250);
        case Phase::BuildUp:
            return rgb(255, 245, 170);
        case Phase::Cooling:
            return rgb(205, 240, 205);
    }
    return rgb(230, 230, 230);
}

QString checkTitle(const QString& name) {
    static const struct {
        const char* name;
        const char* title;
    } kTitles[] = {
        {"heater_temperature", "Heater temperature"},
        {"interfacial_pressure", "Interfacial pressure"},
        {"heat_soak_time", "Heat soak time"},
        {"open_time", "Open (changeover) time"},
        {"build_up_time", "Pressure build-up time"},
        {"cooling_time", "Cooling time"},
        {"fusion_pressure", "Fusion pressure"},
        {"bead_up_pressure", "Bead-up pressure"},
        {"heat_soak_pressure", "Heat soak pressure"},
    };
    for (const auto& t : kTitles) {
        if (name == QLatin1String(t.name)) return QString::fromLatin1(t.title);
    }
    return name;
}

QString evaluationNumber(double value) {
    return numberWithDecimals(value, 0);
}

PageDrawing buildEvaluationPage(const JointRecord& rec, const Evaluation& e, const QString& path,
                                const PageMetrics& m, Medium medium) {
    EvaluationBuilder b(rec, e, m, medium);
    // Like the report page: a file whose header could not be read has no page.
    if (rec.headerLines.size() < 2) return b.take();
    b.titleBlock(path);
    b.header();
    b.phases();
    b.checks();
    b.summaryPlot();
    b.footNote();
    return b.take();
}

}  // namespace vr5
