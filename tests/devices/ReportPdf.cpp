#include "ReportPdf.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <iostream>

namespace {

// The tool's path, or empty after saying once that it is missing.
QString tool(const char* name, const char* skipped) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty()) {
        static QStringList told;
        if (!told.contains(QLatin1String(name))) {
            told << QLatin1String(name);
            std::cerr << name << " is not installed (poppler-utils): " << skipped << " skipped\n";
        }
    }
    return path;
}

std::optional<QByteArray> run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return p.readAllStandardOutput();
}

}  // namespace

ReportPdf RenderReportPdf(const ReportModel& model, const QString& name) {
    ReportPdf out;
    const QString dir = QStringLiteral(ARM_BIN_DIR "/../screens/reports");
    QDir().mkpath(dir);
    const QString stem = dir + QLatin1Char('/') + name;
    for (const QString& old : QDir(dir).entryList({name + QStringLiteral("-*.png")}))
        QFile::remove(dir + QLatin1Char('/') + old);
    if (!WriteReportPdf(model, stem + QStringLiteral(".pdf"), &out.error, &out.pages)) return out;
    out.path = stem + QStringLiteral(".pdf");

    const QString toPng = tool("pdftoppm", "page pictures");
    if (!toPng.isEmpty() && run(toPng, {QStringLiteral("-png"), QStringLiteral("-r"),
                                        QStringLiteral("100"), out.path, stem})) {
        for (const QString& png :
             QDir(dir).entryList({name + QStringLiteral("-*.png")}, QDir::Files, QDir::Name))
            out.pictures << dir + QLatin1Char('/') + png;
    }
    out.text = PdfText(out.path);
    return out;
}

std::optional<QString> PdfText(const QString& path) {
    const QString toText = tool("pdftotext", "checks of the printed text");
    if (toText.isEmpty()) return std::nullopt;
    const auto bytes = run(toText, {path, QStringLiteral("-")});
    return bytes ? QString::fromUtf8(*bytes) : QString();
}

int CountWord(const QString& text, const QString& word) {
    const QRegularExpression re(QStringLiteral("(?<!\\S)") + QRegularExpression::escape(word) +
                                QStringLiteral("(?!\\S)"));
    int n = 0;
    for (auto it = re.globalMatch(text); it.hasNext(); it.next()) ++n;
    return n;
}
