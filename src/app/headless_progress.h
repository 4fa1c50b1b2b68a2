#pragma once

#include <QString>
#include <QTextStream>

namespace vr5 {

// The text of a progress line that a terminal shows in place: each step returns to the start of
// the line and blanks what the previous step left beyond its own end; clearing blanks it all.
class ProgressLine {
public:
    // Lines are kept within this many characters, so that a long file name never wraps: a line
    // that wrapped could not be overwritten.
    static constexpr qsizetype kWidth = 79;

    // "\rEvaluating 3 of 40: name.tjr" for the file at `index` (from 0); only the file's name is
    // shown, shortened in the middle when the line would be too long.
    QString step(const QString& verb, qsizetype index, qsizetype count, const QString& path);
    // Blanks the line and returns to its start; empty when nothing shows.
    QString clear();

private:
    qsizetype shown_ = 0;
};

// True when the stream writes to a terminal (a console on Windows).
bool writesToTerminal(const QTextStream& stream);

// The progress of a long command on its error stream, shown only when that stream is a terminal:
// scripts and tests that read the messages get them unchanged.
class TerminalProgress {
public:
    TerminalProgress(QTextStream& err, QString verb, qsizetype count);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void step(qsizetype index, const QString& path);
    // Before any other message, so that it starts on a clean line.
    void clear();

private:
    QTextStream& err_;
    QString verb_;
    qsizetype count_;
    bool active_;
    ProgressLine line_;
};

}  // namespace vr5
