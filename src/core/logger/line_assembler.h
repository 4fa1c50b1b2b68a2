#pragma once

#include <QByteArray>

namespace vr5 {

// Collects the logger's bytes into reply lines: a line ends at a line feed, carriage returns
// are dropped wherever they occur, and a line keeps its first kMaxLength characters (the bytes
// after them are dropped). A completed line stays readable, whole, until the next line ends.
class LineAssembler {
public:
    static constexpr int kMaxLength = 2999;
    static constexpr const char* kFirstByteRepaired = "First byte was 0xFF.  Changed to 'P'";

    enum class Fed {
        Byte,          // the byte was taken into the line
        LineReady,     // a line has just ended
        LineRepaired,  // a line has just ended whose first byte 0xFF became 'P'
    };

    Fed feed(unsigned char byte);

    // Tests and clears the line-ready flag.
    bool takeLine();
    bool lineReady() const { return ready_; }
    // The last completed line.
    const QByteArray& line() const { return line_; }
    // Forgets the bytes of a line under way; a completed line stays.
    void dropPartial() { length_ = 0; }
    void clear();

private:
    char buffer_[kMaxLength + 1] = {};
    int length_ = 0;  // bytes of the line under way
    QByteArray line_;
    bool ready_ = false;
};

}  // namespace vr5
