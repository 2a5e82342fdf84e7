// A PDF file read back with poppler's tools: its pages as text (pdftotext -layout),
// its page count and size (pdfinfo), its fonts (pdffonts) and images (pdfimages).
#pragma once

#include <QString>
#include <QStringList>

namespace qr::test {

struct PdfFacts {
    int pages = 0;
    double widthPoints = 0;
    double heightPoints = 0;
    QStringList pageTexts; // one per page, as laid out
    struct Font {
        QString name;
        bool embedded = false;
    };
    std::vector<Font> fonts;
    int images = 0;
};

// Reads the file; a tool that fails leaves its part empty (and the test fails on it).
PdfFacts readPdf(const QString& file);

// How often `wanted` occurs in `text`.
int occurrences(const QString& text, const QString& wanted);

} // namespace qr::test
