#include "page/certificate_page.h"

#include <QByteArray>
#include <algorithm>

#include "app_info.h"
#include "page/report_page.h"
#include "text/number_text.h"

namespace vr5 {

namespace {

constexpr const char* kTitle = "TARNELL FUSILOG CERTIFICATE of CALIBRATION";
constexpr const char* kTemperatureHeading = "TEMPERATURE SCANNER CALIBRATION";
constexpr const char* kPressureHeading = "PRESSURE PROBE CALIBRATION";
constexpr const char* kTargetColumn = "Target:";
constexpr const char* kMeasuredColumn = "Measured:";
constexpr const char* kResultColumn = "Result:";
constexpr const char* kTemperatureNist =
    "NIST (National Institute of Standards and Technology) Certified Standard Utilized to Verify "
    "Target Temperatures:";
constexpr const char* kPressureNist =
    "NIST (National Institute of Standards and Technology) Certified Standard Utilized to Verify "
    "Target Pressures:";
constexpr const char* kSummaryHeading = "Calibration Summary:";
constexpr const char* kStatement[4] = {
    ", certifies that the instrument listed above meets or exceeds all published",
    "specifications and has been calibrated using standards and instruments whose accuracies are "
    "traceable",
    "to the National Institute of Standards and Technology (NIST) to standardize measureable "
    "conditions created",
    "in our facility for the purpose of conducting automated calibration procedures.",
};

// Columns of the page, in page units from its left edge.
constexpr int kLabelRight = 2500;
constexpr int kValueLeft = 2520;
constexpr int kTargetX = 2750;
constexpr int kMeasuredX = 4000;
constexpr int kResultX = 5250;
constexpr int kNoteX = 1500;  // NIST lines, calibrator lines, the statement
constexpr int kSummaryX = 3600;
// Texts from the file stop this far inside the frame, or short of the next column.
constexpr int kColumnGap = 50;
constexpr int kTextRight = kCertificateFrame.right - kColumnGap;
constexpr int kMeasuredRight = kResultX - kColumnGap;

// The logo's pixel size, as the report page draws it: at half that in page units.
constexpr int kLogoPixelsWide = 4037;
constexpr int kLogoPixelsHigh = 1476;
constexpr int kLogoTop = -9200;
// The air between the certification statement at its lowest and the logo, and above the
// statement.
constexpr int kAboveLogo = 100;
constexpr int kAboveStatement = 300;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// As much of a text as a column `width` wide could show: no character of the faces is narrower
// than an eighth of the font's height, so a field of millions of characters costs no more to
// draw than one that fills its column. The painter cuts what is left at the column's edge.
QString cutToColumn(const QString& s, FontRole font, int width) {
    const int em = std::max(1, fontSpec(font).heightInPageUnits());
    qsizetype keep = static_cast<qsizetype>(std::max(0, width)) * 8 / em + 1;
    if (keep >= s.size()) return s;
    if (s[keep - 1].isHighSurrogate()) --keep;  // never half a character
    return s.left(keep);
}

class CertificateBuilder {
public:
    CertificateBuilder(const CalibrationRecord& rec, const PageMetrics& m, Medium medium)
        : rec_(rec), m_(m), medium_(medium) {}

    PageDrawing build() {
        page_.items.emplace_back(FrameItem{kCertificateFrame, kCertificatePen});
        y_ = -1150;
        put(kPageWidth / 2, text(kTitle), FontRole::CertificateTitle, kBlack, HAlign::Center);
        y_ -= certificateTextHeight(FontRole::CertificateTitle) + 150;
        rule();
        y_ -= 100;

        using F = CalibrationRecord;
        identification("Model:", rec_.field(F::LoggerModel));
        identification("VR5 S/N:", rec_.field(F::LoggerSerial));
        identification("PPC S/N:", rec_.field(F::ProcessorBoardSerial));
        identification("Pressure Xdcr S/N:", rec_.field(F::PressureTransducerSerial));
        identification("Date and Time:", dateWithNextDue(rec_.field(F::CalibrationDate)));
        identification("Technician:", rec_.field(F::Technician));
        identification("Company:", rec_.field(F::Company));
        y_ -= 50;
        rule();
        y_ -= 350;

        const auto& t = rec_.temperatureResults;
        section(kTemperatureHeading,
                {{{"400\u00B0F", t[0]},
                  {"440\u00B0F", t[1]},
                  {"500\u00B0F", t[2]},
                  {"540\u00B0F", t[3]}}},
                kTemperatureNist,
                QStringLiteral("Temperature Calibrator Model: ") +
                    calibrator(F::TemperatureCalibratorModel, F::TemperatureCalibratorSerial,
                               F::TemperatureCalibratorCertificate, F::TemperatureCalibratorExpiry),
                FontRole::CertificateText);
        y_ -= 300;
        const auto& p = rec_.pressureResults;
        section(
            kPressureHeading,
            {{{"50psi", p[3]}, {"250psi", p[2]}, {"750psi", p[1]}, {"1500psi", p[0]}}},
            kPressureNist,
            QStringLiteral("Pressure Calibrator Model: ") +
                calibrator(F::PressureCalibratorModel, F::PressureCalibratorSerial,
                           F::PressureCalibratorCertificate, F::PressureCalibratorExpiry),
            medium_ == Medium::Paper ? FontRole::CertificateText : FontRole::CertificateSmallText);

        y_ -= 300;
        summary();

        const int statementHeight = certificateTextHeight(FontRole::CertificateText);
        y_ -= kAboveStatement;
        for (int i = 0; i < 4; ++i) {
            const QString line =
                i == 0 ? text(kMakerName) + text(kStatement[0]) : text(kStatement[i]);
            put(kNoteX, line, FontRole::CertificateText);
            y_ -= statementHeight;
        }

        page_.items.emplace_back(TextItem{{kCertificateFrame.left + m_.smallMaxWidth / 2,
                                           kCertificateFrame.bottom - m_.smallCh / 4},
                                          identificationLine(),
                                          FontRole::Small});
        const int w = kLogoPixelsWide / 2;
        const int h = kLogoPixelsHigh / 2;
        const int left = (kPageWidth - w) / 2;
        page_.items.emplace_back(
            BitmapItem{{left, kLogoTop, left + w, kLogoTop - h}, BitmapId::Logo, kLogoGreen});
        return std::move(page_);
    }

private:
    struct Check {
        const char* target;
        const QString& measured;
    };

    void put(int x, const QString& s, FontRole font, Rgb color = kBlack,
             HAlign align = HAlign::Left) {
        page_.items.emplace_back(TextItem{{x, y_}, s, font, color, align, VAlign::Top});
    }

    // A text from the file, cut at `right`.
    void putCut(int x, const QString& s, FontRole font, Rgb color, int right) {
        page_.items.emplace_back(TextItem{{x, y_},
                                          cutToColumn(s, font, right - x),
                                          font,
                                          color,
                                          HAlign::Left,
                                          VAlign::Top,
                                          right});
    }

    // The heading and as many of the station's summary lines as fit above the certification
    // statement, which must stay clear of the logo: a log may hold thousands. When some are
    // left out, the last line that fits says how many.
    void summary() {
        const int height = certificateTextHeight(FontRole::CertificateSummary);
        const int step = height + 10;
        put(kSummaryX, text(kSummaryHeading), FontRole::CertificateSummary);
        y_ -= step;
        // The lines that leave the statement below them at or above its lowest place.
        const int lowestStatement =
            kLogoTop + kAboveLogo + 4 * certificateTextHeight(FontRole::CertificateText);
        const qsizetype room = std::max(0, (y_ - kAboveStatement - lowestStatement) / step);
        const QStringList& lines = rec_.summaryLines;
        const qsizetype shown =
            lines.size() <= room ? lines.size() : std::max<qsizetype>(0, room - 1);
        for (qsizetype i = 0; i < shown; ++i) {
            putCut(kSummaryX, lines[i], FontRole::CertificateSummary, kBlack, kTextRight);
            y_ -= step;
        }
        if (shown < lines.size() && room > 0) {
            put(kSummaryX, QStringLiteral("(%1 more lines not shown)").arg(lines.size() - shown),
                FontRole::CertificateSummary);
            y_ -= step;
        }
    }

    void rule() {
        page_.items.emplace_back(FrameItem{
            {kCertificateFrame.left, y_, kCertificateFrame.right, y_ - 10}, kCertificatePen});
    }

    void identification(const char* label, const QString& value) {
        put(kLabelRight, text(label), FontRole::CertificateRow, kBlack, HAlign::Right);
        putCut(kValueLeft, value, FontRole::CertificateRow, kCertificateBlue, kTextRight);
        y_ -= certificateTextHeight(FontRole::CertificateRow) + 10;
    }

    QString calibrator(CalibrationRecord::Field model, CalibrationRecord::Field serial,
                       CalibrationRecord::Field certificate, CalibrationRecord::Field expiry) {
        return rec_.field(model) + QStringLiteral("    S/N: ") + rec_.field(serial) +
               QStringLiteral("    Calibration Certificate: ") + rec_.field(certificate) +
               QStringLiteral("    Expires: ") + rec_.field(expiry);
    }

    // Heading, column headings, the four checks, the NIST line and the calibrator's line.
    void section(const char* heading, const std::array<Check, 4>& checks, const char* nist,
                 const QString& calibratorLine, FontRole calibratorFont) {
        put(kTargetX, text(heading), FontRole::CertificateHeading);
        y_ -= certificateTextHeight(FontRole::CertificateHeading) + 10;
        const int rowHeight = certificateTextHeight(FontRole::CertificateRow);
        put(kTargetX, text(kTargetColumn), FontRole::CertificateRow);
        put(kMeasuredX, text(kMeasuredColumn), FontRole::CertificateRow);
        put(kResultX, text(kResultColumn), FontRole::CertificateRow);
        y_ -= rowHeight + 10;
        for (const Check& c : checks) {
            put(kTargetX, text(c.target), FontRole::CertificateRow, kCertificateBlue);
            putCut(kMeasuredX, c.measured, FontRole::CertificateRow, kCertificateBlue,
                   kMeasuredRight);
            const bool failed = c.measured == QLatin1String(kNoResult);
            put(kResultX, text(failed ? kFailed : kPassed), FontRole::CertificateRow,
                failed ? kCertificateRed : kCertificateBlue);
            y_ -= rowHeight + 10;
        }
        // The NIST line is bold on paper only; its height sets the step of both lines.
        const FontRole nistFont =
            medium_ == Medium::Paper ? FontRole::CertificateBoldText : FontRole::CertificateText;
        const int nistHeight = certificateTextHeight(nistFont);
        put(kNoteX, text(nist), nistFont);
        y_ -= nistHeight + 10;
        putCut(kNoteX, calibratorLine, calibratorFont, kBlack, kTextRight);
        y_ -= nistHeight + 10;
    }

    const CalibrationRecord& rec_;
    const PageMetrics& m_;
    Medium medium_;
    PageDrawing page_;
    int y_ = -1000;
};

}  // namespace

int certificateTextHeight(FontRole role) {
    const FontSpec face = fontSpec(role);
    // Units per em of the cell (ascent + descent) of Arial and of Courier New, whose metrics the
    // Liberation faces share.
    const bool mono = QByteArray(face.family) == "Courier New";
    const int cell = mono ? 1705 + 615 : 1854 + 434;
    return (face.heightInPageUnits() * cell + 1024) / 2048;
}

QString dateWithNextDue(const QString& calibrationDate) {
    const QByteArray latin = calibrationDate.toLatin1();
    const qint64 year = readLeadingInt(latin.constData(), latin.size());
    return calibrationDate + QStringLiteral(" (Next calibration due: ") +
           QString::number(year + 1) + calibrationDate.mid(4, 6) + u')';
}

PageDrawing buildCertificatePage(const CalibrationRecord& rec, const PageMetrics& m,
                                 Medium medium) {
    return CertificateBuilder(rec, m, medium).build();
}

}  // namespace vr5
