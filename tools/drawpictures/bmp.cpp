// Windows bitmap and icon encoders.
#include "bmp.h"

#include <QtEndian>

#include <stdexcept>

namespace {

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

int rowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// An icon image's bits per pixel: 1 for two colours, 4 for sixteen.
int iconBits(const QImage &colours) { return colours.colorCount() <= 2 ? 1 : 4; }

// BITMAPINFOHEADER; `rows` is the height field (twice the height inside an icon).
void putInfoHeader(QByteArray &out, int width, int rows, int bits, int imageBytes, int colours)
{
    put32(out, 40);
    put32(out, quint32(width));
    put32(out, quint32(rows));
    put16(out, 1);
    put16(out, quint16(bits));
    put32(out, 0); // BI_RGB: uncompressed
    put32(out, quint32(imageBytes));
    put32(out, 0);
    put32(out, 0);
    put32(out, quint32(colours));
    put32(out, 0);
}

void putPalette(QByteArray &out, const QList<QRgb> &table, int entries)
{
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < table.size() ? table.at(i) : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
}

// Pixel rows, bottom row first, each padded to four bytes.
QByteArray pixelRows(const QImage &image, int bits)
{
    const int stride = rowBytes(image.width(), bits);
    QByteArray data(stride * image.height(), char(0));
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<uchar *>(data.data()) + (image.height() - 1 - y) * stride;
        for (int x = 0; x < image.width(); ++x) {
            switch (bits) {
            case 1:
                if (image.pixelIndex(x, y))
                    row[x / 8] |= uchar(0x80 >> (x % 8));
                break;
            case 4:
                row[x / 2] |= uchar(image.pixelIndex(x, y) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = uchar(image.pixelIndex(x, y));
                break;
            case 24: {
                const QRgb c = image.pixel(x, y);
                row[3 * x] = uchar(qBlue(c));
                row[3 * x + 1] = uchar(qGreen(c));
                row[3 * x + 2] = uchar(qRed(c));
                break;
            }
            }
        }
    }
    return data;
}

} // namespace

QByteArray bmpFile(const QImage &image)
{
    int bits = 0, colours = 0;
    switch (image.format()) {
    case QImage::Format_Mono:
        bits = 1;
        colours = 2;
        break;
    case QImage::Format_Indexed8:
        bits = 8;
        colours = 256;
        break;
    case QImage::Format_RGB32:
        bits = 24;
        break;
    default:
        throw std::invalid_argument("picture in a format that is not stored");
    }
    const QByteArray pixels = pixelRows(image, bits);
    const int offset = 14 + 40 + 4 * colours;

    QByteArray out;
    out.append("BM", 2);
    put32(out, quint32(offset + pixels.size()));
    put32(out, 0);
    put32(out, quint32(offset));
    putInfoHeader(out, image.width(), image.height(), bits, int(pixels.size()), colours);
    putPalette(out, image.colorTable(), colours);
    out.append(pixels);
    return out;
}

QByteArray icoFile(const QList<IconImage> &images)
{
    QList<QByteArray> bodies;
    for (const IconImage &icon : images) {
        const int bits = iconBits(icon.colours);
        QByteArray body;
        const QByteArray xorRows = pixelRows(icon.colours, bits);
        const QByteArray andRows = pixelRows(icon.transparent, 1);
        putInfoHeader(body, icon.colours.width(), 2 * icon.colours.height(), bits,
                      int(xorRows.size() + andRows.size()), 0);
        putPalette(body, icon.colours.colorTable(), 1 << bits);
        body.append(xorRows);
        body.append(andRows);
        bodies.append(body);
    }

    QByteArray out;
    put16(out, 0);
    put16(out, 1); // icon, not cursor
    put16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage &img = images.at(i).colours;
        const int colours = int(img.colorCount());
        out.append(char(img.width() & 0xff));
        out.append(char(img.height() & 0xff));
        out.append(char(colours >= 256 ? 0 : colours));
        out.append(char(0));
        put16(out, 1);
        put16(out, quint16(iconBits(img)));
        put32(out, quint32(bodies.at(i).size()));
        put32(out, offset);
        offset += quint32(bodies.at(i).size());
    }
    for (const QByteArray &body : bodies)
        out.append(body);
    return out;
}
