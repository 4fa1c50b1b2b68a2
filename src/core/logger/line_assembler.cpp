#include "logger/line_assembler.h"

namespace vr5 {

LineAssembler::Fed LineAssembler::feed(unsigned char byte) {
    if (byte == '\n') {
        // The line reads as a zero-terminated text: a NUL from the link ends it.
        line_ = QByteArray(buffer_, static_cast<int>(qstrnlen(buffer_, length_)));
        length_ = 0;
        ready_ = true;
        if (!line_.isEmpty() && static_cast<unsigned char>(line_[0]) == 0xFF) {
            line_[0] = 'P';
            return Fed::LineRepaired;
        }
        return Fed::LineReady;
    }
    if (byte == '\r') return Fed::Byte;
    buffer_[length_] = static_cast<char>(byte);
    ++length_;
    if (length_ > kMaxLength) length_ = kMaxLength;
    return Fed::Byte;
}

bool LineAssembler::takeLine() {
    const bool was = ready_;
    ready_ = false;
    return was;
}

void LineAssembler::clear() {
    length_ = 0;
    line_.clear();
    ready_ = false;
}

}  // namespace vr5
