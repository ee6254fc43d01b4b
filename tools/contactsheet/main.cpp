// contactsheet: every stored picture at 4x with its name under it, on one PNG page.
#include "fontfile.h"
#include "picturelist.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

#include <stdexcept>

namespace {

constexpr int kScale = 4;
constexpr int kGap = 24;
constexpr int kPageWidth = 2160;
constexpr int kLabelHeight = 40;
constexpr int kMinCellWidth = 200; // room for a caption under a narrow picture
constexpr int kSquare = 8; // of the checkerboard behind clear icon pixels

struct Entry
{
    QString file; // relative to the assets folder; "icon/quorvel.ico#1" picks an icon image
    QString caption;
};

// The listed pictures, a row of the list to a line of the page (a long row goes on over more
// lines), the icon's images after the last. An image list's picture is captioned with the
// list's name and the image's number.
QList<QList<Entry>> sheetRows()
{
    QList<QList<Entry>> rows;
    for (const QList<ListedPicture> &listed : listedPictureRows()) {
        QList<Entry> &row = rows.emplace_back();
        for (const ListedPicture &p : listed)
            row.append({ QStringLiteral("pictures/%1.bmp").arg(p.name), QString(p.name).replace(u'-', u' ') + p.note });
    }
    if (rows.isEmpty())
        rows.emplace_back();
    rows.last() += QList<Entry> { { "icon/quorvel.ico#0", "icon 32, 2 colours" },
                                  { "icon/quorvel.ico#1", "icon 32, 16 colours" },
                                  { "icon/quorvel.ico#2", "icon 16, 16 colours" } };
    return rows;
}

QImage load(const QDir &assets, const QString &file)
{
    const qsizetype hash = file.indexOf(QLatin1Char('#'));
    QImageReader reader(assets.filePath(hash < 0 ? file : file.left(hash)));
    if (hash >= 0)
        reader.jumpToImage(file.mid(hash + 1).toInt());
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char *argv[])
{
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: contactsheet ASSETS-FOLDER OUTPUT.png\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const QDir assets(QString::fromLocal8Bit(argv[1]));
    QList<QList<Entry>> rows;
    try {
        rows = sheetRows();
    } catch (const std::exception &e) {
        err << "contactsheet: " << e.what() << '\n';
        return 1;
    }

    QFont font;
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFile));
    if (id >= 0)
        font.setFamily(QFontDatabase::applicationFontFamilies(id).value(0));
    font.setPixelSize(17);

    // Place every picture, left to right, each row of the list starting a new line.
    struct Placed
    {
        QImage image;
        QRect at;
        QString caption;
        QRect label;
    };
    QList<Placed> placed;
    int x = kGap, y = kGap, lineHeight = 0, width = 0;
    const auto newLine = [&] {
        x = kGap;
        y += lineHeight + kGap;
        lineHeight = 0;
    };
    for (const QList<Entry> &row : rows) {
        for (const Entry &e : row) {
            QImage image = load(assets, e.file);
            if (image.isNull()) {
                err << "contactsheet: cannot read " << e.file << '\n';
                return 1;
            }
            const QSize size = image.size() * kScale;
            const int cell = std::max(size.width(), kMinCellWidth);
            if (x > kGap && x + cell > kPageWidth)
                newLine();
            const QRect at(QPoint(x, y), size);
            placed.append({ image, at, e.caption, QRect(at.left(), at.bottom() + 6, cell, kLabelHeight - 8) });
            x += cell + kGap;
            width = std::max(width, x);
            lineHeight = std::max(lineHeight, size.height() + kLabelHeight);
        }
        newLine();
    }

    QImage page(width, y, QImage::Format_RGB32);
    page.fill(QColor(232, 232, 232));
    QPainter p(&page);
    p.setFont(font);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const Placed &pl : placed) {
        // Transparent icon pixels show as a checkerboard.
        p.save();
        p.setClipRect(pl.at);
        for (int cy = 0; cy < pl.at.height(); cy += kSquare)
            for (int cx = 0; cx < pl.at.width(); cx += kSquare)
                p.fillRect(pl.at.x() + cx, pl.at.y() + cy, kSquare, kSquare,
                           ((cx + cy) / kSquare) % 2 ? QColor(255, 255, 255) : QColor(204, 204, 204));
        p.restore();
        p.drawImage(pl.at, pl.image.scaled(pl.at.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.setPen(QColor(32, 32, 32));
        p.drawText(pl.label, Qt::AlignLeft | Qt::AlignTop, pl.caption);
    }
    p.end();
    if (!page.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        err << "contactsheet: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
