#include "ui/page_output.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

#include "app_info.h"
#include "evaluation/evaluation.h"
#include "page/certificate_page.h"
#include "page/evaluation_page.h"
#include "page/report_page.h"
#include "report/record_files.h"
#include "report/vr5xp_doc.h"
#include "ui/page_painter.h"

namespace vr5 {

namespace {

bool refuseProtected(const QString& path, QString* error) {
    if (!isProtectedFile(path)) return false;
    if (error) {
        *error = recordFileRefusal(path);
    }
    return true;
}

}  // namespace

const PageMetrics& pageMetrics() {
    static const PageMetrics metrics = measurePageMetrics();
    return metrics;
}

PageDrawing buildDocumentPage(const CVR5XPDoc& doc, Medium medium) {
    if (!doc.hasReport()) return {};
    if (doc.hasCalibration()) return buildCertificatePage(doc.calibration(), pageMetrics(), medium);
    // The Analyzer works on the report's own layout, so it wins while it is open.
    if (doc.evaluation().active && !doc.analyzer().active) {
        const JointRecord& rec = doc.record();
        return buildEvaluationPage(rec, evaluateJoint(rec, doc.evaluation().procedure), doc.path(),
                                   pageMetrics(), medium);
    }
    return buildReportPage(doc.record(), doc.path(), pageMetrics(), medium, doc.analyzer());
}

QImage renderPageImage(const PageDrawing& drawing, double dpi) {
    const int width = static_cast<int>(std::lround(kPageWidth * dpi / 1000.0));
    const int height = static_cast<int>(std::lround(kPageHeight * dpi / 1000.0));
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, drawing, PageTransform::forDpi(dpi));
    return image;
}

bool isProtectedFile(const QString& path) {
    return isRecordFile(path);
}

bool writePngFile(const QImage& image, const QString& path, QString* error) {
    if (refuseProtected(path, error)) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void setUpPdfWriter(QPdfWriter& writer, const QString& title,
                    const std::optional<QPageLayout>& paper) {
    if (paper) {
        writer.setPageSize(paper->pageSize());
        writer.setPageOrientation(paper->orientation());
    } else {
        writer.setPageSize(QPageSize(QPageSize::Letter));
    }
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(kPdfDpi);
    writer.setTitle(title);
    writer.setCreator(QString::fromUtf8(kAppTitle));
}

bool writePdfFile(const PageDrawing& drawing, const QString& path, const QString& title,
                  QString* error, const std::optional<QPageLayout>& paper) {
    if (refuseProtected(path, error)) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        setUpPdfWriter(writer, title, paper);
        QPainter painter(&writer);
        if (!painter.isActive()) {
            if (error)
                *error = QStringLiteral("Cannot write %1: the PDF could not be started").arg(path);
            file.cancelWriting();
            return false;
        }
        paintPage(painter, drawing, PageTransform::forDpi(kPdfDpi));
    }
    if (!file.commit()) {
        if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace vr5
