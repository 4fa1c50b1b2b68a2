#include "report/report_text.h"

#include "report/report_strings.h"
#include "text/machine_tests.h"

namespace vr5 {

namespace {

const QString kInchMark = QStringLiteral("\"");

QString colon(const QString& value) {
    return QStringLiteral(": ") + value;
}

QString areaUnitText(int unit) {
    return unit == 1 ? QStringLiteral("cm\u00B2") : QStringLiteral("in\u00B2");
}

QString sizeUnitText(int unit) {
    switch (unit) {
        case 1:
            return kInchMark + QStringLiteral(" DIPS");
        case 2:
            return kInchMark + QStringLiteral(" O.D.");
        case 3:
            return QStringLiteral("mm O.D.");
        case 4:
            return QStringLiteral("mm JIS");
        default:
            return kInchMark + QStringLiteral(" IPS");
    }
}

QString wallUnitText(int unit) {
    switch (unit) {
        case 1:
            return kInchMark + QStringLiteral(" WT");
        case 2:
            return QStringLiteral("mm WT");
        default:
            return QStringLiteral("DR");
    }
}

// Builds the list, numbering labels as it goes.
class HeaderBuilder {
public:
    explicit HeaderBuilder(const JointRecord& rec) : rec_(rec) {}

    // A numbered label followed by its value on the same row.
    void numbered(const char* format, const QString& value) {
        lines_ << number(format);
        lines_ << value;
    }
    // A numbered label and its value in one entry.
    void numberedInline(const char* format, const QString& tail) {
        lines_ << number(format) + tail;
    }
    void heading(const QString& text, bool advance) {
        lines_ << text;
        if (advance) ++n_;
    }
    void blank(bool advance) {
        lines_ << QString();
        if (advance) ++n_;
    }
    void columnBreak() {
        lines_ << QStringLiteral("^");
        ++n_;
    }
    void plain(const QString& text) {
        lines_ << text;
        ++n_;
    }
    int n() const { return n_; }
    QStringList take() { return std::move(lines_); }

    // The value of a word item, or an empty value when the decoder never reached it.
    QString wordValue(ReportItem item, const QString& formatted) const {
        return rec_.has(item) ? formatted : colon(QString());
    }

private:
    QString number(const char* format) { return QString::asprintf(format, n_++); }

    const JointRecord& rec_;
    QStringList lines_;
    int n_ = 1;
};

}  // namespace

ReportMachineKind reportMachineKind(const QString& modelText) {
    const QString value = colon(modelText);
    ReportMachineKind kind;
    kind.mechanical =
        value == QLatin1String(str::kMechanicalModelValue) || isMechanicalModelText(value);
    kind.suffix = value.endsWith(u" ZX");
    kind.directArea = IsDirectAreaMachine(value);
    return kind;
}

QString reservePipeAreaText(const QString& reserve) {
    const qsizetype tilde = reserve.indexOf(u'~');
    return tilde < 0 ? QString() : reserve.left(tilde);
}

bool reserveHasFittingLabelFlag(const QString& reserve) {
    const qsizetype tilde = reserve.indexOf(u'~');
    return reserve.indexOf(u"+F^", tilde < 0 ? 0 : tilde) >= 0;
}

QString identityLineText(const QString& s) {
    auto at = [&s](qsizetype i) { return s.mid(i, 1); };
    QString program;
    if (s.startsWith(u"VR5X")) {
        program = QStringLiteral("xp");
    } else if (s.startsWith(u"VR5P")) {
        program = QStringLiteral("en");
    } else if (s.startsWith(u"V5")) {
        program = s.mid(2, 2);
    }
    QString version;
    if (!program.isEmpty()) {
        program += s.mid(5, 5);
        if (s.mid(11, 4) == u"TVR5") {
            version = s.mid(11, 16);
        } else {
            version = s.mid(11, 4) + QStringLiteral(" v") + at(15) + u'.' + at(16) + u'.' + at(17) +
                      QStringLiteral(" c") + s.mid(18, 4) + u'/' + s.mid(22, 2) + u'/' +
                      s.mid(24, 2) + u' ';
        }
    }
    if (version.startsWith(u"TVR5")) version += QStringLiteral("    ");
    return version + program;
}

QStringList wrapNotes(const QString& notes, int width) {
    const int w = width;
    QString text = notes;
    text.remove(u'\r');

    QStringList raw;
    qsizetype lf;
    while ((lf = text.indexOf(u'\n')) >= 0) {
        raw << text.left(lf);
        text = text.mid(lf + 1);
    }
    if (!text.isEmpty()) {
        if (text.contains(u' ') || text.size() <= w) {
            raw << text;
        } else {
            for (qsizetype i = 0; i < text.size(); i += w - 1) raw << text.mid(i, w - 1);
        }
    }

    QStringList wrapped;
    for (QString line : raw) {
        while (line.size() >= w) {
            qsizetype cut;
            const qsizetype lastBlank = line.lastIndexOf(u' ', w);
            if (lastBlank >= 0) {
                cut = lastBlank + 1;
            } else if (line.indexOf(u' ') >= 0) {
                cut = w;  // the first blank lies beyond the width
            } else {
                cut = w - 1;
            }
            wrapped << line.left(cut);
            line = line.mid(cut);
        }
        wrapped << line;
    }
    return wrapped;
}

QStringList fitNotes(const QString& notes, int rows, int width) {
    QStringList lines = wrapNotes(notes, width);
    if (lines.size() <= rows) return lines;
    QString runOn = notes;
    runOn.remove(u'\r');
    QStringList parts = runOn.split(u'\n', Qt::SkipEmptyParts);
    for (QString& part : parts) part = part.trimmed();
    parts.removeAll(QString());
    lines = wrapNotes(parts.join(QStringLiteral(" / ")), width);
    if (lines.size() <= rows) return lines;
    lines = lines.mid(0, std::max(rows, 0));
    if (!lines.isEmpty()) {
        QString& last = lines.last();
        last = last.left(std::max(0, width - 4)).trimmed() + QStringLiteral(" ...");
    }
    return lines;
}

QStringList buildReportHeaderLines(const JointRecord& rec) {
    const ReportFields& f = rec.fields;
    const ReportMachineKind kind = reportMachineKind(f.modelText);
    const QString unit = rec.pressureUnitText;
    HeaderBuilder h(rec);

    h.numbered(str::kDateTime,
               h.wordValue(ReportItem::DateTime,
                           QString::asprintf(": %04d/%02d/%02d  %02d:%02d:%02d", f.year, f.month,
                                             f.day, f.hour, f.minute, f.second)));
    h.numbered(str::kJointNumber,
               h.wordValue(ReportItem::JointNumber, QString::asprintf(": %d", f.jointNumber)));
    h.numbered(str::kJobNumber, colon(f.jobNumber));
    h.numbered(str::kEmployeeId, colon(f.employeeId));
    h.numbered(str::kMachineId, colon(f.machineId));
    h.numbered(str::kMachModel, colon(f.modelText));
    if (kind.suffix && !kind.mechanical) {
        h.numbered(str::kPistonArea,
                   QStringLiteral(": %1 %2").arg(f.pistonArea, areaUnitText(f.pistonAreaUnit)));
    }
    h.numbered(str::kPipeMaterial, colon(f.material));
    if (kind.mechanical || kind.suffix) {
        h.numbered(str::kFittingType, colon(f.pipeSize));
        h.numbered(str::kPipeSize, colon(f.wall));
    } else {
        const QString wallUnit = wallUnitText(f.wallUnit);
        const QString size =
            colon(f.pipeSize) + sizeUnitText(f.pipeSizeUnit) + QStringLiteral("  ");
        h.numbered(str::kPipeSize, wallUnit.contains(u"DR") ? size + QStringLiteral("DR ") + f.wall
                                                            : size + f.wall + u' ' + wallUnit);
    }
    if (kind.directArea) h.numbered(str::kPipeArea, colon(reservePipeAreaText(f.reserve)));
    h.blank(true);

    if (kind.mechanical) {
        h.heading(QLatin1String(str::kPressuresHeading) + unit + QStringLiteral("):"), true);
        h.blank(false);
        h.numbered(str::kBead, colon(f.interfacial[0]));
        h.numbered(str::kFuse, colon(f.interfacial[1]));
        h.columnBreak();
        h.heading(QLatin1String(str::kRecordedDataMech), false);
    } else {
        auto phases = [&](const std::array<QString, 4>& values) {
            h.numbered(str::kBead, colon(values[0]));
            h.numbered(str::kSoak, colon(values[1]));
            h.numbered(str::kFuse, colon(values[2]));
            if (!kind.suffix) h.numbered(str::kCool, colon(values[3]));
        };
        if (reserveHasFittingLabelFlag(f.reserve)) {
            h.heading(QLatin1String(str::kFittingLabelHeading), true);
        } else {
            h.heading(QLatin1String(str::kInterfacialHeading) + unit + QStringLiteral("):"), true);
        }
        phases(f.interfacial);
        h.columnBreak();
        h.heading(QLatin1String(str::kRecommendedHeading) + unit + QStringLiteral("):"), true);
        phases(f.recommended);
        h.blank(true);
        h.heading(QLatin1String(str::kRecordedData), false);
        h.numberedInline(str::kDragPressure, f.drag);
    }
    h.numberedInline(str::kFusilogProbe, colon(f.heaterTemp));
    h.numberedInline(str::kExternalProbe, colon(f.extHeaterTemp));
    h.numberedInline("%2d. ", identityLineText(f.identity));

    const QStringList notes = wrapNotes(f.notes);
    if (!notes.isEmpty()) {
        h.numberedInline(str::kNotes, QString());
        for (const QString& line : notes) h.plain(QStringLiteral("          ") + line);
    }
    return h.take();
}

QString reportDateText(const ReportFields& f) {
    if (f.year == 0) return {};
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(f.year, 4, 10, QChar(u'0'))
        .arg(f.month, 2, 10, QChar(u'0'))
        .arg(f.day, 2, 10, QChar(u'0'))
        .arg(f.hour, 2, 10, QChar(u'0'))
        .arg(f.minute, 2, 10, QChar(u'0'))
        .arg(f.second, 2, 10, QChar(u'0'));
}

// The value the report page shows beside a numbered label ("Pipe Size"), without its ": ".
QString reportHeaderValue(const JointRecord& rec, QLatin1String label) {
    const QStringList& lines = rec.headerLines;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].endsWith(QStringLiteral(". ") + label) && lines[i + 1].startsWith(u": "))
            return lines[i + 1].mid(2).trimmed();
    }
    return {};
}

}  // namespace vr5
