#pragma once

#include <QString>
#include <cstdint>
#include <limits>
#include <variant>
#include <vector>

namespace vr5 {

// A point on the page in units of 0.001 inch; the top-left corner of a letter page is (0, 0)
// and y grows upwards, so every y on the page is negative.
struct PagePoint {
    int x = 0;
    int y = 0;
    bool operator==(const PagePoint&) const = default;
};

struct PageRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // top > bottom
    bool operator==(const PageRect&) const = default;
};

inline constexpr int kPageWidth = 8500;
inline constexpr int kPageHeight = 11000;

using Rgb = uint32_t;  // 0xRRGGBB
inline constexpr Rgb rgb(int r, int g, int b) {
    return (static_cast<Rgb>(r) << 16) | (static_cast<Rgb>(g) << 8) | static_cast<Rgb>(b);
}
inline constexpr Rgb kBlack = 0x000000;

struct Pen {
    Rgb color = kBlack;
    int width = 0;  // page units; 0 draws one device pixel wide
    bool operator==(const Pen&) const = default;
};

enum class FontRole {
    Main,
    Small,
    Title,
    Watermark,
    // The calibration certificate's own faces.
    CertificateTitle,      // "Arial Bold Italic" 1600
    CertificateHeading,    // "Arial Bold" 1200: section headings
    CertificateRow,        // "Arial Bold" 1000: identification rows, column headings, checks
    CertificateText,       // "Arial" 800
    CertificateBoldText,   // "Arial Bold" 800
    CertificateSmallText,  // "Arial" 700
    CertificateSummary,    // "Courier New" 800
};
inline constexpr int kFontRoleCount = static_cast<int>(FontRole::CertificateSummary) + 1;

// How a font role is made: a face and a size in tenths of a point, converted as the screen
// converts it (96 dots per inch), so its height in page units is 96 * size / 720.
struct FontSpec {
    const char* family;
    bool bold;
    bool italic;
    int tenthsOfPoint;
    int heightInPageUnits() const { return 96 * tenthsOfPoint / 720; }
};
FontSpec fontSpec(FontRole role);

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center };

struct LineItem {
    PagePoint from, to;
    Pen pen;
};
struct FrameItem {  // an unfilled rectangle
    PageRect rect;
    Pen pen;
};
struct PolylineItem {
    std::vector<PagePoint> points;
    Pen pen;
};
inline constexpr int kNoRightEdge = std::numeric_limits<int>::max();
struct TextItem {
    PagePoint at;  // the anchor the alignment refers to; VAlign::Top puts the text cell's top here
    QString text;
    FontRole font = FontRole::Main;
    Rgb color = kBlack;
    HAlign halign = HAlign::Left;
    VAlign valign = VAlign::Top;
    int rightEdge = kNoRightEdge;  // nothing of the text is drawn right of this x
};
enum class BitmapId { Logo };
struct BitmapItem {
    PageRect rect;
    BitmapId id;
    Rgb ink = kBlack;  // the colour the picture's dark pixels come out in
};

struct FilledRectItem {  // a rectangle filled with one colour, no outline
    PageRect rect;
    Rgb fill = kBlack;
};

using PageItem =
    std::variant<LineItem, FrameItem, PolylineItem, TextItem, BitmapItem, FilledRectItem>;

// Character measures of the fonts, in page units, taken from the real fonts by the caller.
struct PageMetrics {
    int cw = 59;            // main font: average character width
    int ch = 153;           // main font: line height (cell height plus external leading)
    int smallMaxWidth = 0;  // small font: widest character
    int smallCh = 92;       // small font: line height
};

// Where the two media differ.
enum class Medium { Screen, Paper };

// The ranges a plot was drawn with, kept beside the items for whoever needs to map back.
struct PlotGeometry {
    int kind = 0;  // 0 front-end, 1 heater removal, 2 summary
    PageRect rect;
    int timeStart = 0, timeEnd = 1, timeStep = 1;
    // The pressure scale, in units of 10^-pressureDecimals of the display unit: whole units
    // (0 decimals) unless they would label fewer than two grid lines.
    int pressureTop = 1, pressureStep = 1;
    int pressureDecimals = 0;
    int pressureTopPsi = 1;            // the top in psi, truncated: what whole units map with
    double pressureTopPsiExact = 1.0;  // the top in psi: what a decimal scale maps with
};

struct PageDrawing {
    std::vector<PageItem> items;
    std::vector<PlotGeometry> plots;
};

}  // namespace vr5
