#include "tests/app/print/pdf_reading.h"

#include <QProcess>
#include <QRegularExpression>

namespace qr::test {

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

PdfFacts readPdf(const QString& file)
{
    PdfFacts facts;
    const QString info = run(QStringLiteral(QR_PDFINFO), {file});
    const auto pages =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption).match(info);
    if (pages.hasMatch())
        facts.pages = pages.captured(1).toInt();
    const auto size = QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                         QRegularExpression::MultilineOption)
                          .match(info);
    if (size.hasMatch()) {
        facts.widthPoints = size.captured(1).toDouble();
        facts.heightPoints = size.captured(2).toDouble();
    }

    // Pages end with a form feed; the last one is followed by nothing.
    QStringList texts = run(QStringLiteral(QR_PDFTOTEXT), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                           QStringLiteral("UTF-8"), file, QStringLiteral("-")})
                            .split(QChar(u'\f'));
    if (!texts.isEmpty() && texts.last().trimmed().isEmpty())
        texts.removeLast();
    facts.pageTexts = texts;

    // name type encoding emb sub uni object ID: two heading lines, then one per font.
    const QStringList fontLines = run(QStringLiteral(QR_PDFFONTS), {file}).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype k = 2; k < fontLines.size(); ++k) {
        const QStringList words = fontLines[k].split(u' ', Qt::SkipEmptyParts);
        if (words.size() >= 7)
            facts.fonts.push_back({words.first(), words[words.size() - 5] == QStringLiteral("yes")});
    }
    const QStringList imageLines =
        run(QStringLiteral(QR_PDFIMAGES), {QStringLiteral("-list"), file}).split(u'\n', Qt::SkipEmptyParts);
    facts.images = int(std::max<qsizetype>(0, imageLines.size() - 2));
    return facts;
}

int occurrences(const QString& text, const QString& wanted) { return int(text.count(wanted)); }

} // namespace qr::test
