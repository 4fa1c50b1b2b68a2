#pragma once

#include <QString>
#include <QStringList>

#include "setup/setup_context.h"

namespace vr5 {

// The Recommended Gauge Pressures page: the gauge pressures of the four phases, worked out and
// remembered as the page opens; its buttons only move on.
class RecPressurePage {
public:
    static constexpr const char* kCaption = "Recommended Gauge Pressures";
    static constexpr int kPhaseCount = 4;
    // The font of both columns.
    static constexpr const char* kFontFamily = "Tahoma";
    static constexpr int kFontPixelSize = 24;

    explicit RecPressurePage(SetupContext context) : c_(context) {}

    // Works out the four pressures in the order bead, soak, fuse, cool and stores each, with
    // its whole-number part as the demo pressure of its phase.
    void load();

    // The pressures as worked out, bead first.
    const QStringList& pressures() const { return pressures_; }
    // The left column: "Bead:", "Soak:", "Fuse:", "Cool:" on four lines.
    static QString phaseLabels();
    // The right column: the pressures on four lines.
    QString pressureLines() const { return pressures_.join(u'\n'); }

    // "Next >>" and "<< Back" close the page; the values were stored on opening.
    bool accept() { return true; }

private:
    SetupContext c_;
    QStringList pressures_;
};

}  // namespace vr5
