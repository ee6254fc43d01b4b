// The stored pictures, image lists and icon, read through the program's own loader.
#include "assets.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

namespace {

using Pixels = QSet<QPoint>;

// "row:first-last row:first-last ..." as a set of white pixels.
Pixels runs(const QString &table)
{
    Pixels out;
    const QStringList items = table.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        static const QRegularExpression re(QStringLiteral("^(\\d+):(\\d+)-(\\d+)$"));
        const auto m = re.match(item);
        Q_ASSERT_X(m.hasMatch(), "runs", qPrintable(item));
        for (int x = m.captured(2).toInt(); x <= m.captured(3).toInt(); ++x)
            out.insert(QPoint(x, m.captured(1).toInt()));
    }
    return out;
}

const QString kUpKey = QStringLiteral(
    "2:82-88 3:81-90 4:79-92 5:78-93 6:76-95 7:75-96 8:73-98 9:71-100 10:70-101 11:68-103 12:67-104 "
    "13:65-106 14:63-108 15:62-109 16:60-111 17:59-112 18:57-114 19:56-116 20:54-117 21:52-119 "
    "22:51-120 23:49-122 24:48-124 25:46-125 26:45-126 27:45-126");
const QString kDownKey = QStringLiteral(
    "79:44-126 80:45-125 81:47-123 82:48-122 83:50-120 84:51-118 85:53-117 86:55-115 87:56-114 "
    "88:58-112 89:59-110 90:61-109 91:62-107 92:64-106 93:66-104 94:67-102 95:69-101 96:70-99 "
    "97:72-98 98:74-96 99:75-94 100:77-93 101:78-91 102:80-90 103:81-88 104:84-85");
const QString kHomeKey = QStringLiteral(
    "31:53-117 32:50-120 33:48-121 34:47-123 35:46-123 70:46-123 71:47-123 72:48-122 73:49-121 "
    "74:51-119 75:56-114");

Pixels leftKey()
{
    static const int first[] = { 37, 36, 34, 32, 30, 28, 27, 25, 23, 21, 19, 18, 16, 14, 12, 11, 9,  7,  5,  4,  2,  2,
                                 2,  2,  3,  5,  7,  8,  10, 12, 14, 15, 17, 19, 21, 23, 24, 26, 28, 30, 31, 33, 35, 37 };
    Pixels out;
    for (int row = 31; row <= 74; ++row)
        for (int x = first[row - 31]; x <= (row == 31 || row == 74 ? 40 : 41); ++x)
            out.insert(QPoint(x, row));
    return out;
}

Pixels rightKey()
{
    static const int last[] = { 133, 135, 137, 139, 141, 142, 144, 146, 148, 149, 151, 153, 155, 157, 158,
                                160, 162, 164, 165, 167, 168, 168, 168, 168, 166, 165, 163, 161, 159, 158,
                                156, 154, 152, 150, 149, 147, 145, 143, 141, 140, 138, 136, 134, 132 };
    Pixels out;
    for (int row = 31; row <= 74; ++row)
        for (int x = (row == 31 || row == 74 ? 130 : 129); x <= last[row - 31]; ++x)
            out.insert(QPoint(x, row));
    return out;
}

Pixels homeKey()
{
    Pixels out = runs(kHomeKey);
    for (int row = 36; row <= 69; ++row)
        for (int x = 46; x <= 124; ++x)
            out.insert(QPoint(x, row));
    return out;
}

Pixels keyPiece(const QString &key)
{
    if (key == QLatin1String("up"))
        return runs(kUpKey);
    if (key == QLatin1String("down"))
        return runs(kDownKey);
    if (key == QLatin1String("left"))
        return leftKey();
    if (key == QLatin1String("right"))
        return rightKey();
    return homeKey();
}

Pixels checkDisc()
{
    Pixels out;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 26; ++x)
            if ((x - 12.5) * (x - 12.5) + (y - 12.5) * (y - 12.5) <= 144.5)
                out.insert(QPoint(x, y));
    for (const QPoint p : { QPoint(4, 4), QPoint(21, 4), QPoint(4, 21), QPoint(21, 21) })
        out.remove(p);
    return out;
}

Pixels ovalShape()
{
    static const int left[] = { 60, 54, 46, 40, 35, 31, 27, 24, 21, 18, 16, 13, 11, 10, 8,  7,  5,
                                4,  3,  2,  2,  1,  0,  0,  0,  0,  0,  0,  0,  1,  2,  2,  3,  4,
                                5,  7,  8,  10, 11, 13, 16, 18, 21, 24, 27, 31, 35, 40, 47, 54, 60 };
    Pixels out;
    for (int y = 0; y < 51; ++y)
        for (int x = left[y]; x <= 163 - left[y]; ++x)
            out.insert(QPoint(x, y));
    return out;
}

Pixels padShape()
{
    return runs(kUpKey) | runs(kDownKey) | leftKey() | rightKey() | homeKey();
}

Pixels whitePixels(const QImage &mask)
{
    Pixels out;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if (mask.pixel(x, y) != qRgb(0, 0, 0))
                out.insert(QPoint(x, y));
    return out;
}

bool touches(const Pixels &set, QPoint p)
{
    return set.contains(p + QPoint(1, 0)) || set.contains(p - QPoint(1, 0)) || set.contains(p + QPoint(0, 1))
        || set.contains(p - QPoint(0, 1));
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({ std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
}

QRect boundsOf(const QList<QPoint> &points)
{
    QRect r;
    for (const QPoint p : points)
        r |= QRect(p, QSize(1, 1));
    return r;
}

// Pixels of `image` that differ from `base` by more than `levels` in some channel.
QList<QPoint> differing(const QImage &image, const QImage &base, int levels)
{
    QList<QPoint> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (channelDistance(image.pixel(x, y), base.pixel(x, y)) > levels)
                out.append(QPoint(x, y));
    return out;
}

QList<QPoint> blackPixels(const QImage &face, QRect area)
{
    QList<QPoint> out;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(face.pixel(x, y)) <= 16)
                out.append(QPoint(x, y));
    return out;
}

QRgb nearest(const QImage &image, const QList<QPoint> &where, QRgb colour, QPoint *at = nullptr)
{
    QRgb best = 0;
    int bestDistance = 1000;
    for (const QPoint p : where) {
        const int d = channelDistance(image.pixel(p), colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = image.pixel(p);
            if (at)
                *at = p;
        }
    }
    return best;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Little-endian numbers in a file's bytes; 0 past its end, so that a short file fails the
// comparison rather than being read beyond.
quint32 le32(const QByteArray &b, int at)
{
    return at >= 0 && at <= b.size() - 4 ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}
quint16 le16(const QByteArray &b, int at)
{
    return at >= 0 && at <= b.size() - 2 ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}

const QList<QRgb> kSystemHead = { qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),    qRgb(128, 128, 0),
                                  qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),  qRgb(192, 192, 192),
                                  qRgb(192, 220, 192), qRgb(166, 202, 240) };
const QList<QRgb> kSystemTail = { qRgb(255, 251, 240), qRgb(160, 160, 164), qRgb(128, 128, 128), qRgb(255, 0, 0),
                                  qRgb(0, 255, 0),     qRgb(255, 255, 0),   qRgb(0, 0, 255),     qRgb(255, 0, 255),
                                  qRgb(0, 255, 255),   qRgb(255, 255, 255) };

enum class Palette { Mask, System, GreyRamp, None };

} // namespace

Q_DECLARE_METATYPE(Palette)

class tst_Pictures : public QObject
{
    Q_OBJECT

private slots:
    void storedForm_data();
    void storedForm();
    void maskPixels_data();
    void maskPixels();
    void maskEdgeCases_data();
    void maskEdgeCases();
    void padMaskPieces_data();
    void padMaskPieces();
    void ballRing_data();
    void ballRing();
    void checkImages();
    void optionImages_data();
    void optionImages();
    void padFaceAndImageOne();
    void padLitImages_data();
    void padLitImages();
    void ovalFaces_data();
    void ovalFaces();
    void ovalCaptionMovesWhole();
    void buttonFaces_data();
    void buttonFaces();
    void buttonCaptionStaysPut_data();
    void buttonCaptionStaysPut();
    void icon();
    void loader();
    void drawingIsReproducible();
};

void tst_Pictures::storedForm_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("bits");
    QTest::addColumn<Palette>("palette");

    QTest::newRow("PicM: check and option mask") << "PicM" << QSize(26, 26) << 1 << Palette::Mask;
    QTest::newRow("pic2: oval mask") << "pic2" << QSize(164, 51) << 1 << Palette::Mask;
    QTest::newRow("Picture2: pad mask") << "Picture2" << QSize(171, 106) << 1 << Palette::Mask;
    QTest::newRow("pic3: oval released") << "pic3" << QSize(164, 51) << 8 << Palette::GreyRamp;
    QTest::newRow("pic4: oval pressed") << "pic4" << QSize(164, 51) << 8 << Palette::GreyRamp;
    for (const char *name : { "Picture8", "Picture3", "Picture5", "Picture6" })
        QTest::newRow(name) << name << QSize(90, 35) << 24 << Palette::None;
    QTest::newRow("Picture1: pad face") << "Picture1" << QSize(171, 106) << 8 << Palette::System;
    for (int i = 1; i <= 6; ++i) {
        const QString one = QStringLiteral("ImageList1-%1").arg(i), two = QStringLiteral("ImageList2-%1").arg(i);
        QTest::newRow(qPrintable(one)) << one << QSize(171, 106) << 8 << Palette::System;
        QTest::newRow(qPrintable(two)) << two << QSize(26, 26) << 8 << Palette::System;
    }
}

void tst_Pictures::storedForm()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(int, bits);
    QFETCH(Palette, palette);

    // The file itself: an uncompressed bottom-up bitmap of the stated depth.
    const QByteArray bytes = fileBytes(Assets::picturePath(name));
    QVERIFY2(bytes.size() > 54, qPrintable(name));
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(le32(bytes, 14), 40u);
    QCOMPARE(int(le32(bytes, 18)), size.width());
    QCOMPARE(qint32(le32(bytes, 22)), size.height()); // positive: rows stored bottom-up
    QCOMPARE(int(le16(bytes, 28)), bits);
    QCOMPARE(le32(bytes, 30), 0u);
    const int rowBytes = ((size.width() * bits + 31) / 32) * 4;
    const int paletteEntries = bits == 24 ? 0 : 1 << bits;
    QCOMPARE(int(le32(bytes, 10)), 54 + 4 * paletteEntries);
    QCOMPARE(int(bytes.size()), 54 + 4 * paletteEntries + rowBytes * size.height());

    // As the program sees it.
    const QImage image = Assets::loadPicture(name);
    QCOMPARE(image.size(), size);
    switch (palette) {
    case Palette::Mask: {
        QCOMPARE(image.format(), QImage::Format_Mono);
        const QList<QRgb> table = image.colorTable();
        QCOMPARE(QSet<QRgb>(table.begin(), table.end()), (QSet<QRgb> { qRgb(0, 0, 0), qRgb(255, 255, 255) }));
        // In the file, entry 0 is black and entry 1 white.
        QCOMPARE(bytes.mid(54, 8), QByteArray("\0\0\0\0\xff\xff\xff\0", 8));
        break;
    }
    case Palette::System: {
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        const QList<QRgb> table = image.colorTable();
        QCOMPARE(table.size(), 256);
        QCOMPARE(table.mid(0, 10), kSystemHead);
        QCOMPARE(table.mid(246, 10), kSystemTail);
        break;
    }
    case Palette::GreyRamp: {
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        const QList<QRgb> table = image.colorTable();
        QCOMPARE(table.size(), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(table.at(i), qRgb(i, i, i));
        break;
    }
    case Palette::None:
        QVERIFY(!image.hasAlphaChannel());
        QCOMPARE(image.depth(), 32);
        break;
    }
}

void tst_Pictures::maskPixels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Pixels>("white");
    QTest::addColumn<int>("count");

    QTest::newRow("PicM: the disc") << "PicM" << checkDisc() << 456;
    QTest::newRow("PicM: its row table") << "PicM"
                                         << runs(QStringLiteral("1:9-16 2:7-18 3:6-19 4:5-20 5:4-21 6:3-22 7:2-23 "
                                                                "8:2-23 9:1-24 10:1-24 11:1-24 12:1-24 13:1-24 "
                                                                "14:1-24 15:1-24 16:1-24 17:2-23 18:2-23 19:3-22 "
                                                                "20:4-21 21:5-20 22:6-19 23:7-18 24:9-16"))
                                         << 456;
    QTest::newRow("pic2: the oval") << "pic2" << ovalShape() << 6610;
    QTest::newRow("Picture2: five keys") << "Picture2" << padShape() << 7901;
}

void tst_Pictures::maskPixels()
{
    QFETCH(QString, name);
    QFETCH(Pixels, white);
    QFETCH(int, count);

    // The picture's own count of white pixels first, then each pixel against the shape.
    const QImage mask = Assets::loadPicture(name);
    QCOMPARE(whitePixels(mask).size(), count);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb expected = white.contains(QPoint(x, y)) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            if (mask.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("%1 (%2, %3) should be %4").arg(name).arg(x).arg(y)
                                     .arg(expected == qRgb(0, 0, 0) ? "black" : "white")));
        }
}

void tst_Pictures::maskEdgeCases_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("white");

    QTest::newRow("PicM (0, 0): corner") << "PicM" << QPoint(0, 0) << false;
    QTest::newRow("PicM (12, 0): top row") << "PicM" << QPoint(12, 0) << false;
    QTest::newRow("PicM (4, 4): the cut diagonal pixel") << "PicM" << QPoint(4, 4) << false;
    QTest::newRow("PicM (12, 1): top of the disc") << "PicM" << QPoint(12, 1) << true;
    QTest::newRow("PicM (1, 12): left of the disc") << "PicM" << QPoint(1, 12) << true;
    QTest::newRow("PicM (5, 4): beside the cut pixel") << "PicM" << QPoint(5, 4) << true;
    QTest::newRow("pic2 (0, 22): left edge") << "pic2" << QPoint(0, 22) << true;
    QTest::newRow("pic2 (163, 28): right edge") << "pic2" << QPoint(163, 28) << true;
    QTest::newRow("pic2 (0, 21): above the left edge") << "pic2" << QPoint(0, 21) << false;
    QTest::newRow("pic2 row 0, column 60") << "pic2" << QPoint(60, 0) << true;
    QTest::newRow("pic2 row 0, column 59") << "pic2" << QPoint(59, 0) << false;
    QTest::newRow("pic2 row 2 begins at 46") << "pic2" << QPoint(46, 2) << true;
    QTest::newRow("pic2 row 48 does not") << "pic2" << QPoint(46, 48) << false;
    QTest::newRow("pic2 row 48 begins at 47") << "pic2" << QPoint(47, 48) << true;
    QTest::newRow("Picture2 row 52, column 2: left tip") << "Picture2" << QPoint(2, 52) << true;
    QTest::newRow("Picture2 row 52, column 41: left key's edge") << "Picture2" << QPoint(41, 52) << true;
    for (int x = 42; x <= 45; ++x)
        QTest::addRow("Picture2 row 52, column %d: gap between left and centre", x) << "Picture2" << QPoint(x, 52) << false;
    QTest::newRow("Picture2 row 52, column 46: centre key") << "Picture2" << QPoint(46, 52) << true;
    QTest::newRow("Picture2 row 52, column 128: gap before right") << "Picture2" << QPoint(128, 52) << false;
    QTest::newRow("Picture2 row 52, column 129: right key") << "Picture2" << QPoint(129, 52) << true;
    QTest::newRow("Picture2 row 52, column 168: right tip") << "Picture2" << QPoint(168, 52) << true;
    QTest::newRow("Picture2 row 52, column 169: beyond the tip") << "Picture2" << QPoint(169, 52) << false;
    QTest::newRow("Picture2 (85, 27): up key's last row") << "Picture2" << QPoint(85, 27) << true;
    QTest::newRow("Picture2 (85, 79): down key's first row") << "Picture2" << QPoint(85, 79) << true;
    QTest::newRow("Picture2 (85, 28): gap under up") << "Picture2" << QPoint(85, 28) << false;
    QTest::newRow("Picture2 (85, 78): gap above down") << "Picture2" << QPoint(85, 78) << false;
}

void tst_Pictures::maskEdgeCases()
{
    QFETCH(QString, name);
    QFETCH(QPoint, pixel);
    QFETCH(bool, white);
    QCOMPARE(Assets::loadPicture(name).pixel(pixel) != qRgb(0, 0, 0), white);
}

void tst_Pictures::padMaskPieces_data()
{
    QTest::addColumn<QRect>("zone");
    QTest::addColumn<QString>("piece");
    QTest::addColumn<int>("count");

    // Each key's white pixels lie in its own zone of the pad; the corners hold none.
    QTest::newRow("up zone") << QRect(QPoint(42, 0), QPoint(128, 27)) << "up" << 1209;
    QTest::newRow("left zone") << QRect(QPoint(0, 28), QPoint(41, 78)) << "left" << 1032;
    QTest::newRow("home zone") << QRect(QPoint(42, 28), QPoint(128, 78)) << "home" << 3482;
    QTest::newRow("right zone") << QRect(QPoint(129, 28), QPoint(170, 78)) << "right" << 1033;
    QTest::newRow("down zone") << QRect(QPoint(42, 79), QPoint(128, 105)) << "down" << 1145;
    QTest::newRow("upper-left corner") << QRect(QPoint(0, 0), QPoint(41, 27)) << "" << 0;
    QTest::newRow("upper-right corner") << QRect(QPoint(129, 0), QPoint(170, 27)) << "" << 0;
    QTest::newRow("lower-left corner") << QRect(QPoint(0, 79), QPoint(41, 105)) << "" << 0;
    QTest::newRow("lower-right corner") << QRect(QPoint(129, 79), QPoint(170, 105)) << "" << 0;
}

void tst_Pictures::padMaskPieces()
{
    QFETCH(QRect, zone);
    QFETCH(QString, piece);
    QFETCH(int, count);

    const Pixels white = whitePixels(Assets::loadPicture(QStringLiteral("Picture2")));
    Pixels inZone;
    for (const QPoint p : white)
        if (zone.contains(p))
            inZone.insert(p);
    QCOMPARE(inZone.size(), count);
    if (!piece.isEmpty())
        QCOMPARE(inZone, keyPiece(piece));
}

void tst_Pictures::ballRing_data()
{
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<bool>("checkFace");

    QTest::newRow("image 1: unchecked") << 1 << 25 << true;
    QTest::newRow("image 2: red star, one row shorter") << 2 << 24 << false;
    QTest::newRow("image 3: checked") << 3 << 25 << true;
    QTest::newRow("image 4: option not selected") << 4 << 24 << false;
    QTest::newRow("image 5: option pressed") << 5 << 24 << false;
    QTest::newRow("image 6: option selected") << 6 << 24 << false;
}

void tst_Pictures::ballRing()
{
    QFETCH(int, image);
    QFETCH(int, lastRow);
    QFETCH(bool, checkFace);

    const QImage face = Assets::loadPicture(QStringLiteral("ImageList2-%1").arg(image));
    const Pixels disc = checkDisc();
    QList<QPoint> ball, beyond;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 26; ++x) {
            const QPoint p(x, y);
            if (face.pixel(p) == qRgb(192, 192, 192))
                continue;
            ball.append(p);
            if (!disc.contains(p)) {
                beyond.append(p);
                QVERIFY2(touches(disc, p), qPrintable(QStringLiteral("(%1, %2) lies more than a pixel beyond the disc").arg(x).arg(y)));
            }
        }
    const QRect bounds = boundsOf(ball);
    QCOMPARE(bounds.top(), 1);
    QCOMPARE(bounds.bottom(), lastRow);
    if (image == 2)
        return; // never shown on a control, so no mask reads it
    QVERIFY2(beyond.size() >= 21 && beyond.size() <= 26, qPrintable(QString::number(beyond.size())));
    const bool inLastRow = std::any_of(beyond.begin(), beyond.end(), [](QPoint p) { return p.y() == 25; });
    const bool inLastColumn = std::any_of(beyond.begin(), beyond.end(), [](QPoint p) { return p.x() == 25; });
    QCOMPARE(inLastRow, checkFace);
    QCOMPARE(inLastColumn, !checkFace);
}

void tst_Pictures::checkImages()
{
    const QImage one = Assets::loadPicture(QStringLiteral("ImageList2-1"));
    const QImage two = Assets::loadPicture(QStringLiteral("ImageList2-2"));
    const QImage three = Assets::loadPicture(QStringLiteral("ImageList2-3"));

    // The unchecked face: sixteen levels a channel, with a few faint reddish specks.
    int reddish = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 26; ++x) {
            const QRgb c = one.pixel(x, y);
            QVERIFY2(qRed(c) % 16 == 0 && qGreen(c) % 16 == 0 && qBlue(c) % 16 == 0,
                     qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            if (qRed(c) > qGreen(c) && qGreen(c) == qBlue(c)) {
                ++reddish;
                QVERIFY(qRed(c) - qGreen(c) <= 32);
            }
        }
    QVERIFY(reddish >= 1 && reddish <= 10);

    // The star's heart: dark, red and green.
    const QList<QPoint> heart1 = { QPoint(12, 13), QPoint(13, 13) };
    const QList<QPoint> heart2 = { QPoint(12, 12), QPoint(13, 12), QPoint(12, 13), QPoint(13, 13) };
    QVERIFY(qGray(nearest(one, heart1, qRgb(0, 0, 0))) < 80);
    QVERIFY(channelDistance(nearest(two, heart2, qRgb(208, 0, 0)), qRgb(208, 0, 0)) <= 4);
    QVERIFY(channelDistance(nearest(three, heart1, qRgb(0, 160, 0)), qRgb(0, 160, 0)) <= 4);

    // Checking changes the star and little else.
    const QList<QPoint> changed = differing(three, one, 0);
    QCOMPARE(changed.size(), 118);
    for (const QPoint p : changed) {
        const double r = std::hypot(p.x() - 12.5, p.y() - 12.5);
        if (r > 9.5)
            QVERIFY2(channelDistance(three.pixel(p), one.pixel(p)) <= 16, qPrintable(QStringLiteral("ring (%1, %2)").arg(p.x()).arg(p.y())));
    }
    // The green star has its highlight at the upper left.
    QPoint light, dark;
    const QList<QPoint> star = changed;
    int lightest = -1, darkest = 1000;
    for (const QPoint p : star) {
        const int g = qGray(three.pixel(p));
        if (g > lightest) { lightest = g; light = p; }
        if (g < darkest) { darkest = g; dark = p; }
    }
    QVERIFY(light.x() + light.y() < dark.x() + dark.y());
}

void tst_Pictures::optionImages_data()
{
    QTest::addColumn<int>("image");
    QTest::addColumn<QRect>("glass");
    QTest::addColumn<int>("ringLevels");

    QTest::newRow("image 5: narrow stripe") << 5 << QRect(QPoint(7, 8), QPoint(20, 18)) << 8;
    QTest::newRow("image 6: wide lens") << 6 << QRect(QPoint(6, 7), QPoint(21, 18)) << 0;
}

void tst_Pictures::optionImages()
{
    QFETCH(int, image);
    QFETCH(QRect, glass);
    QFETCH(int, ringLevels);

    const QImage plain = Assets::loadPicture(QStringLiteral("ImageList2-4"));
    const QImage face = Assets::loadPicture(QStringLiteral("ImageList2-%1").arg(image));

    // Away from the middle of the ball the face keeps the plain one's pixels.
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 26; ++x)
            if (std::hypot(x - 12.5, y - 12.5) > 10.5)
                QVERIFY2(channelDistance(face.pixel(x, y), plain.pixel(x, y)) <= ringLevels,
                         qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));

    const QList<QPoint> blue = differing(face, plain, 8);
    QCOMPARE(boundsOf(blue), glass);
    QPoint paleAt, deepAt;
    QVERIFY(channelDistance(nearest(face, blue, qRgb(214, 222, 255), &paleAt), qRgb(214, 222, 255)) <= 6);
    QVERIFY(channelDistance(nearest(face, blue, qRgb(0, 51, 255), &deepAt), qRgb(0, 51, 255)) <= 6);
    QVERIFY(paleAt.x() + paleAt.y() < deepAt.x() + deepAt.y());

    // The plain face shows a dark hairline seam crossing the ball from upper left to lower right.
    int dark = 0;
    const double slope = std::tan(35.5 * M_PI / 180);
    for (int x = 5; x <= 21; ++x) {
        const int row = int(std::floor(13.0 + (x + 0.5 - 13.45) * slope));
        int darkest = 255;
        for (int y = row - 1; y <= row + 1; ++y)
            darkest = std::min(darkest, qGray(plain.pixel(x, y)));
        dark += darkest < 100 ? 1 : 0;
    }
    QVERIFY2(dark >= 13, qPrintable(QString::number(dark)));
}

void tst_Pictures::padFaceAndImageOne()
{
    const QImage face = Assets::loadPicture(QStringLiteral("Picture1"));
    const QImage one = Assets::loadPicture(QStringLiteral("ImageList1-1"));
    const QList<QPoint> shade = differing(one, face, 0);
    QCOMPARE(shade.size(), 79);
    for (const QPoint p : shade) {
        QCOMPARE(face.pixel(p), qRgb(204, 204, 204));
        QCOMPARE(one.pixel(p), qRgb(206, 204, 204));
    }

    // Raised keys on grey 191, their outline one pixel beyond the mask in places.
    const Pixels keys = padShape();
    int spill = 0;
    for (int y = 0; y < 106; ++y)
        for (int x = 0; x < 171; ++x) {
            const QPoint p(x, y);
            if (keys.contains(p))
                continue;
            if (face.pixel(p) != qRgb(191, 191, 191)) {
                ++spill;
                QVERIFY2(touches(keys, p), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            }
        }
    QCOMPARE(spill, 460);

    // Each key: a highlight at its upper left, darker grey at its lower right.
    for (const char *key : { "up", "left", "home", "right", "down" }) {
        const Pixels piece = keyPiece(QString::fromLatin1(key));
        int lightest = 0, darkest = 255;
        for (const QPoint p : piece) {
            const QRgb c = face.pixel(p);
            QCOMPARE(qRed(c), qBlue(c));
            lightest = std::max(lightest, qGray(c));
            darkest = std::min(darkest, qGray(c));
        }
        QVERIFY2(lightest >= 235 && darkest <= 150, key);
    }
}

void tst_Pictures::padLitImages_data()
{
    QTest::addColumn<int>("image");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QRect>("surface");
    QTest::addColumn<QRgb>("light");
    QTest::addColumn<QRgb>("deep");

    const QRgb pale = qRgb(218, 248, 218);
    QTest::newRow("image 2: Up") << 2 << "up" << QRect(QPoint(54, 5), QPoint(115, 24)) << pale << qRgb(43, 213, 43);
    QTest::newRow("image 3: Right") << 3 << "right" << QRect(QPoint(133, 37), QPoint(162, 69)) << pale << QRgb(0);
    QTest::newRow("image 4: Down") << 4 << "down" << QRect(QPoint(55, 81), QPoint(116, 100)) << pale << qRgb(79, 220, 79);
    QTest::newRow("image 5: Left") << 5 << "left" << QRect(QPoint(9, 37), QPoint(38, 69)) << pale << QRgb(0);
    QTest::newRow("image 6: Home") << 6 << "home" << QRect(QPoint(49, 33), QPoint(121, 72)) << qRgb(253, 245, 245) << qRgb(219, 75, 75);
}

void tst_Pictures::padLitImages()
{
    QFETCH(int, image);
    QFETCH(QString, key);
    QFETCH(QRect, surface);
    QFETCH(QRgb, light);
    QFETCH(QRgb, deep);

    const QImage one = Assets::loadPicture(QStringLiteral("ImageList1-1"));
    const QImage lit = Assets::loadPicture(QStringLiteral("ImageList1-%1").arg(image));
    const QList<QPoint> changed = differing(lit, one, 6);
    QCOMPARE(boundsOf(changed), surface);
    const Pixels piece = keyPiece(key);
    for (const QPoint p : changed)
        QVERIFY2(piece.contains(p), qPrintable(QStringLiteral("(%1, %2) outside the key").arg(p.x()).arg(p.y())));

    QCOMPARE(lit.pixel(0, 0), qRgb(192, 192, 192));
    QCOMPARE(lit.pixel(170, 105), qRgb(192, 192, 192));
    QCOMPARE(one.pixel(0, 0), qRgb(191, 191, 191));

    // Lightest at the upper left of the surface.
    QPoint first = changed.first();
    for (const QPoint p : changed)
        if (p.x() + p.y() < first.x() + first.y())
            first = p;
    QVERIFY2(channelDistance(lit.pixel(first), light) <= 6, qPrintable(QString::number(lit.pixel(first), 16)));

    double r = 0, g = 0, b = 0;
    for (const QPoint p : changed) {
        const QRgb c = lit.pixel(p);
        r += qRed(c);
        g += qGreen(c);
        b += qBlue(c);
        if (key == QLatin1String("home"))
            QVERIFY(qRed(c) > qGreen(c));
        else
            QVERIFY(qGreen(c) > qRed(c) && qRed(c) == qBlue(c));
    }
    if (key == QLatin1String("home")) {
        const double n = changed.size();
        QVERIFY(channelDistance(qRgb(int(r / n), int(g / n), int(b / n)), qRgb(236, 172, 172)) <= 8);
        // Deepest at its right.
        const QList<QPoint> column = { QPoint(121, 50), QPoint(121, 52), QPoint(121, 55) };
        QVERIFY(channelDistance(nearest(lit, column, deep), deep) <= 8);
    } else if (deep != 0) {
        QVERIFY(channelDistance(nearest(lit, changed, deep), deep) <= 4);
    }
}

void tst_Pictures::ovalFaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("spill");
    QTest::addColumn<QRect>("text");
    QTest::addColumn<bool>("pressed");

    QTest::newRow("pic3: released") << "pic3" << 138 << QRect(QPoint(31, 17), QPoint(125, 30)) << false;
    QTest::newRow("pic4: pressed") << "pic4" << 62 << QRect(QPoint(34, 19), QPoint(128, 32)) << true;
}

void tst_Pictures::ovalFaces()
{
    QFETCH(QString, name);
    QFETCH(int, spill);
    QFETCH(QRect, text);
    QFETCH(bool, pressed);

    const QImage face = Assets::loadPicture(name);
    const Pixels oval = ovalShape();
    int beyond = 0;
    for (int y = 0; y < 51; ++y)
        for (int x = 0; x < 164; ++x) {
            const QPoint p(x, y);
            QCOMPARE(qRed(face.pixel(p)), qBlue(face.pixel(p)));
            if (oval.contains(p))
                continue;
            if (face.pixel(p) != qRgb(191, 191, 191)) {
                ++beyond;
                QVERIFY2(touches(oval, p), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            }
        }
    QCOMPARE(beyond, spill);
    QCOMPARE(face.pixel(0, 0), qRgb(191, 191, 191));
    QCOMPARE(face.pixel(163, 50), qRgb(191, 191, 191));
    QCOMPARE(face.pixel(81, 10), qRgb(198, 198, 198));
    QCOMPARE(face.pixel(15, 25), qRgb(198, 198, 198));

    QCOMPARE(boundsOf(blackPixels(face, QRect(8, 6, 148, 39))), text);

    // The rim, sampled one and two pixels in from the edge along the upper-left and lower-right arcs.
    auto top = [&](int x) { int y = 0; while (!oval.contains(QPoint(x, y))) ++y; return y; };
    auto bottom = [&](int x) { int y = 50; while (!oval.contains(QPoint(x, y))) --y; return y; };
    for (int x : { 8, 15, 25, 40 }) {
        const int edge = qGray(face.pixel(x, top(x))), inner = qGray(face.pixel(x, top(x) + 1));
        if (!pressed) {
            QVERIFY2(edge >= 245, qPrintable(QStringLiteral("white highlight at column %1: %2").arg(x).arg(edge)));
        } else {
            QVERIFY2(inner >= 105 && inner <= 140, qPrintable(QStringLiteral("shade at column %1: %2").arg(x).arg(inner)));
            QVERIFY2(edge < inner, qPrintable(QStringLiteral("outer line at column %1").arg(x)));
        }
    }
    for (int x : { 155, 148, 138, 123 }) {
        const int inner = qGray(face.pixel(x, bottom(x) - 1)), deeper = qGray(face.pixel(x, bottom(x) - 2));
        if (!pressed)
            QVERIFY2(std::abs(inner - 65) <= 18, qPrintable(QStringLiteral("dark arc at column %1: %2").arg(x).arg(inner)));
        else
            QVERIFY2(std::abs(std::max(inner, deeper) - 220) <= 10,
                     qPrintable(QStringLiteral("light arc at column %1: %2").arg(x).arg(std::max(inner, deeper))));
    }
}

void tst_Pictures::ovalCaptionMovesWhole()
{
    const QImage released = Assets::loadPicture(QStringLiteral("pic3"));
    const QImage pressed = Assets::loadPicture(QStringLiteral("pic4"));
    // The caption with its shadow, on the flat body of the button.
    const QRect area(QPoint(26, 13), QPoint(132, 37));
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (released.pixel(x, y) != qRgb(198, 198, 198))
                ++ink;
            if (pressed.pixel(x + 3, y + 2) != released.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pressed (%1, %2) differs from released (%3, %4)")
                                     .arg(x + 3).arg(y + 2).arg(x).arg(y)));
        }
    QVERIFY(ink > 500);
    // The shadow falls below and to the right of the letters: the stem of the "l" in "Click".
    QVERIFY(qGray(released.pixel(QPoint(46, 32))) < qGray(released.pixel(QPoint(44, 15))));
}

void tst_Pictures::buttonFaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QRect>("caption");

    const QRect exit(QPoint(5, 17), QPoint(37, 29)), about(QPoint(5, 16), QPoint(58, 29));
    QTest::newRow("Picture8: Exit released") << "Picture8" << false << exit;
    QTest::newRow("Picture3: Exit pressed") << "Picture3" << true << exit;
    QTest::newRow("Picture5: About released") << "Picture5" << false << about;
    QTest::newRow("Picture6: About pressed") << "Picture6" << true << about;
}

void tst_Pictures::buttonFaces()
{
    QFETCH(QString, name);
    QFETCH(bool, pressed);
    QFETCH(QRect, caption);

    const QImage face = Assets::loadPicture(name);
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 90; ++x) {
            const QRgb c = face.pixel(x, y);
            QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
        }
    QCOMPARE(boundsOf(blackPixels(face, face.rect())), caption);

    auto shade = [&](int x, int y) { return qGray(face.pixel(x, y)); };
    const int mid = 70; // clear of the caption
    if (!pressed) {
        QVERIFY(std::abs(shade(mid, 0) - 248) <= 4);
        QVERIFY(std::abs(shade(mid, 31) - 122) <= 4);
        for (int y = 1; y <= 31; ++y) {
            const int step = shade(mid, y - 1) - shade(mid, y);
            QVERIFY2(step >= 3 && step <= 6, qPrintable(QStringLiteral("row %1 falls by %2").arg(y).arg(step)));
        }
        for (int y = 32; y <= 34; ++y)
            QVERIFY(shade(mid, y) >= 120 && shade(mid, y) <= 136);
        // The right edge darkens towards the border.
        for (int y : { 5, 20 }) {
            QVERIFY(shade(87, y) < shade(mid, y));
            QVERIFY(shade(88, y) < shade(87, y));
            QVERIFY(shade(89, y) < shade(88, y));
        }
    } else {
        QVERIFY(std::abs(shade(mid, 0) - 216) <= 4);
        QVERIFY(std::abs(shade(mid, 2) - 135) <= 4);
        QVERIFY(shade(mid, 1) < shade(mid, 0) && shade(mid, 2) < shade(mid, 1));
        QVERIFY(std::abs(shade(mid, 3) - 127) <= 4);
        QVERIFY(std::abs(shade(mid, 31) - 255) <= 4);
        for (int y = 4; y <= 31; ++y) {
            const int step = shade(mid, y) - shade(mid, y - 1);
            QVERIFY2(step >= 3 && step <= 6, qPrintable(QStringLiteral("row %1 rises by %2").arg(y).arg(step)));
        }
        QVERIFY(std::abs(shade(mid, 32) - 244) <= 4);
        QVERIFY(std::abs(shade(mid, 33) - 207) <= 4);
        QVERIFY(std::abs(shade(mid, 34) - 163) <= 4);
        for (int y : { 5, 20 }) {
            QVERIFY(shade(89, y) < shade(mid, y));
            QVERIFY(shade(mid, y) - shade(89, y) <= 16);
        }
    }
}

void tst_Pictures::buttonCaptionStaysPut_data()
{
    QTest::addColumn<QString>("released");
    QTest::addColumn<QString>("pressed");
    QTest::newRow("Exit") << "Picture8" << "Picture3";
    QTest::newRow("About") << "Picture5" << "Picture6";
}

void tst_Pictures::buttonCaptionStaysPut()
{
    QFETCH(QString, released);
    QFETCH(QString, pressed);
    const QImage up = Assets::loadPicture(released);
    const QImage down = Assets::loadPicture(pressed);
    QCOMPARE(blackPixels(up, up.rect()), blackPixels(down, down.rect()));
}

void tst_Pictures::icon()
{
    const QByteArray ico = fileBytes(QStringLiteral(":/icons/quorvel.ico"));
    QVERIFY(ico.size() > 6);
    QCOMPARE(le16(ico, 0), quint16(0));
    QCOMPARE(le16(ico, 2), quint16(1));
    QCOMPARE(le16(ico, 4), quint16(3));
    struct Entry { int size, colours, bits; };
    const Entry expected[] = { { 32, 2, 1 }, { 32, 16, 4 }, { 16, 16, 4 } };
    for (int i = 0; i < 3; ++i) {
        const int e = 6 + 16 * i;
        QCOMPARE(int(uchar(ico.at(e))), expected[i].size);
        QCOMPARE(int(uchar(ico.at(e + 1))), expected[i].size);
        QCOMPARE(int(uchar(ico.at(e + 2))), expected[i].colours);
        QCOMPARE(int(le16(ico, e + 6)), expected[i].bits);
        const int at = int(le32(ico, e + 12));
        QCOMPARE(int(le32(ico, at)), 40);
        QCOMPARE(int(le32(ico, at + 8)), 2 * expected[i].size); // colours and transparency mask
        if (expected[i].colours == 16) {
            static const QRgb standard[16] = {
                qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
            };
            for (int c = 0; c < 16; ++c) {
                const int p = at + 40 + 4 * c;
                QCOMPARE(qRgb(uchar(ico.at(p + 2)), uchar(ico.at(p + 1)), uchar(ico.at(p))), standard[c]);
            }
        }
    }

    QImageReader reader(QStringLiteral(":/icons/quorvel.ico"));
    QCOMPARE(reader.imageCount(), 3);
    const QSet<QRgb> motif = { qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(192, 192, 192), qRgb(0, 255, 255),
                               qRgb(255, 255, 255) };
    for (int i = 1; i <= 2; ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.width(), expected[i].size);
        QSet<QRgb> used;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    used.insert(image.pixel(x, y));
        QCOMPARE(used, motif);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);

        // The desktop icon theme's picture is the same image.
        const QImage png = QImage(QStringLiteral(":/icons/program-%1.png").arg(expected[i].size)).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(png.size(), image.size());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb a = image.pixel(x, y), b = png.pixel(x, y);
                QCOMPARE(qAlpha(a), qAlpha(b));
                if (qAlpha(a))
                    QCOMPARE(a, b);
            }
    }
}

void tst_Pictures::loader()
{
    QCOMPARE(Assets::picturePath(u"PicM"), QStringLiteral(":/pictures/PicM.bmp"));
    QVERIFY(Assets::loadPicture(u"NoSuchPicture").isNull());
    QStringList expected = { "PicM", "pic2", "Picture2", "pic3", "pic4", "Picture8", "Picture3",
                             "Picture5", "Picture6", "Picture1" };
    for (int i = 1; i <= 6; ++i)
        expected << QStringLiteral("ImageList1-%1").arg(i) << QStringLiteral("ImageList2-%1").arg(i);
    QStringList names = Assets::pictureNames();
    std::sort(expected.begin(), expected.end());
    QCOMPARE(names, expected);
}

void tst_Pictures::drawingIsReproducible()
{
    QTemporaryDir out;
    QVERIFY(out.isValid());
    QProcess draw;
    draw.start(QStringLiteral(QUORVEL_DRAWPICTURES), { out.path() });
    QVERIFY2(draw.waitForFinished(120000), "drawpictures did not finish");
    QVERIFY2(draw.exitStatus() == QProcess::NormalExit && draw.exitCode() == 0,
             draw.readAllStandardError().constData());

    auto listing = [](const QString &root) {
        QStringList files;
        for (const QString &folder : { QStringLiteral("pictures"), QStringLiteral("icon") }) {
            QDirIterator it(root + QLatin1Char('/') + folder, QDir::Files);
            while (it.hasNext())
                files << folder + QLatin1Char('/') + QFileInfo(it.next()).fileName();
        }
        files.sort();
        return files;
    };
    const QString committed = QStringLiteral(QUORVEL_ASSETS_DIR);
    const QStringList drawn = listing(out.path());
    QCOMPARE(drawn, listing(committed));
    QStringList different;
    for (const QString &file : drawn)
        if (fileBytes(out.path() + QLatin1Char('/') + file) != fileBytes(committed + QLatin1Char('/') + file))
            different << file;
    QVERIFY2(different.isEmpty(),
             qPrintable(QStringLiteral("drawpictures no longer gives the committed files: ") + different.join(u", ")
                        + QStringLiteral(" (regenerate with drawpictures assets/ and look at the result)")));
}

QTEST_MAIN(tst_Pictures)
#include "tst_pictures.moc"
