// Turns README.md into the user guide the program opens with Help > User Guide: one HTML page
// that shows the README's pictures from a docs/ folder beside it.
//   make_user_guide README.md OUT.html
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
    // The conversion measures no screen; it runs where there is none (a build machine).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("usage: make_user_guide README.md OUT.html\n", stderr);
        return 2;
    }
    QFile in(args[1]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QTextDocument document;
    document.setMarkdown(QString::fromUtf8(in.readAll()));
    document.setMetaInformation(QTextDocument::DocumentTitle,
                                QStringLiteral("Tarnell VR5-XP User Guide"));
    QString html = document.toHtml();
    // Pages read on any screen: a readable measure and pictures that shrink with the window.
    html.replace(QStringLiteral("</head>"),
                 QStringLiteral("<meta name=\"viewport\" content=\"width=device-width\">\n"
                                "<style>body { max-width: 60em; margin: 1em auto; padding: 0 1em; "
                                "font-family: sans-serif; } img { max-width: 100%; height: auto; }"
                                " pre { background: #f4f4f4; padding: 0.5em; }</style>\n</head>"));
    // The body's size is the reader's browser's, not the converter's small default.
    html.replace(QRegularExpression(QStringLiteral("<body style=\"[^\"]*\">")),
                 QStringLiteral("<body>"));
    QSaveFile out(args[2]);
    if (!out.open(QIODevice::WriteOnly) || out.write(html.toUtf8()) < 0 || !out.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
