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
    }
    return {"Arial", false, false, 1000};
}

}  // namespace vr5
