// Outline text: the glyphs of Liberation Sans, unhinted, filled at 8x and reduced.
#include "text.h"

#include "fontfile.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <stdexcept>

namespace {

constexpr double kDesignSize = 2048; // the font's units per em
constexpr int kSamples = 8;

const QRawFont &captionFont()
{
    // Outlines are taken at the font's own design size, where hinting cannot move them.
    static const QRawFont font(QString::fromLatin1(kFontFile), kDesignSize, QFont::PreferNoHinting);
    return font;
}

QPainterPath captionPath(const QString &text, const CaptionStyle &style)
{
    const QRawFont &font = captionFont();
    const double scale = style.pixelSize / kDesignSize;
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs, QRawFont::SeparateAdvances);
    QPainterPath path;
    double x = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        QTransform t;
        t.translate(x, 0);
        t.scale(scale * style.stretch, scale);
        path.addPath(t.map(font.pathForGlyph(glyphs.at(i))));
        x += advances.at(i).x() * scale * style.stretch + style.tracking;
    }
    return path;
}

} // namespace

void requireCaptionFont()
{
    if (!QFile::exists(QString::fromLatin1(kFontFile)) || !captionFont().isValid())
        throw std::runtime_error(std::string("cannot load the caption font ") + kFontFile + " (Debian package "
                                 + kFontPackage + ")");
}

Ink captionInk(const QString &text, const CaptionStyle &style, QPointF origin, int width, int height)
{
    QImage big(width * kSamples, height * kSamples, QImage::Format_Grayscale8);
    big.fill(0);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.scale(kSamples, kSamples);
        p.translate(origin);
        p.fillPath(captionPath(text, style), Qt::white);
    }
    Ink ink { width, height, std::vector<double>(size_t(width * height)) };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int j = 0; j < kSamples; ++j) {
                const uchar *row = big.constScanLine(y * kSamples + j);
                for (int i = 0; i < kSamples; ++i)
                    sum += row[x * kSamples + i] ? 1 : 0;
            }
            const double c = double(sum) / (kSamples * kSamples);
            // Small type reads better with firm cores: pixels covered to 80 % are solid,
            // the rest keep a soft edge that never reaches solid black.
            ink.alpha[size_t(y * width + x)] = c >= 0.8 ? 1.0 : std::min(c * 1.05, 0.78);
        }
    return ink;
}
