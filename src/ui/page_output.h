#pragma once

#include <QImage>
#include <QPageLayout>
#include <QString>
#include <optional>

#include "page/page_drawing.h"

class QPdfWriter;

namespace vr5 {

class CVR5XPDoc;

// The character measures of this machine's fonts, measured once.
const PageMetrics& pageMetrics();

// The page of the open report (its evaluation while the evaluation is on), or the certificate of
// the open calibration file, for a medium; empty when nothing is open.
PageDrawing buildDocumentPage(const CVR5XPDoc& doc, Medium medium);

// The page as a letter-size image at the given resolution, on white.
QImage renderPageImage(const PageDrawing& drawing, double dpi);

// An output file the program must never write over: a report or a calibration file.
bool isProtectedFile(const QString& path);

// Write whole-then-rename; on failure `error` says why and nothing is left behind.
bool writePngFile(const QImage& image, const QString& path, QString* error);
// The resolution of the PDF files the program writes.
inline constexpr int kPdfDpi = 1200;

// A PDF writer set for the program's pages: borderless, at kPdfDpi, on letter paper or on the
// paper a print dialog chose.
void setUpPdfWriter(QPdfWriter& writer, const QString& title,
                    const std::optional<QPageLayout>& paper = {});

// On letter paper, or on the paper a print dialog chose.
bool writePdfFile(const PageDrawing& drawing, const QString& path, const QString& title,
                  QString* error, const std::optional<QPageLayout>& paper = {});

}  // namespace vr5
