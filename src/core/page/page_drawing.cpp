#include "page/page_drawing.h"

namespace vr5 {

FontSpec fontSpec(FontRole role) {
    switch (role) {
        case FontRole::Main:
            return {"Arial", false, false, 1000};
        case FontRole::Small:
            return {"Arial", false, false, 600};
        case FontRole::Title:
            return {"Arial", true, false, 1600};
        case FontRole::Watermark:
            return {"Arial", true, false, 16000};
        case FontRole::CertificateTitle:
            return {"Arial", true, true, 1600};
        case FontRole::CertificateHeading:
            return {"Arial", true, false, 1200};
        case FontRole::CertificateRow:
            return {"Arial", true, false, 1000};
        case FontRole::CertificateText:
            return {"Arial", false, false, 800};
        case FontRole::CertificateBoldText:
            return {"Arial", true, false, 800};
        case FontRole::CertificateSmallText:
            return {"Arial", false, false, 700};
        case FontRole::CertificateSummary:
            return {"Courier New", false, false, 800};
    }
    return {"Arial", false, false, 1000};
}

}  // namespace vr5
