// Palette building and colour reduction for the 8-bit pictures.
#include "palette.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <stdexcept>

const QList<QRgb> &standardColours()
{
    static const QList<QRgb> colours = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return colours;
}

const QList<QRgb> &blackAndWhite()
{
    static const QList<QRgb> colours = { qRgb(0, 0, 0), qRgb(255, 255, 255) };
    return colours;
}

namespace {

// The twenty static colours a Windows palette keeps: the sixteen standard colours, with two
// more after their first eight (the head, at the palette's start) and two more before their
// last eight (the tail, at its end).
const QList<QRgb> &systemColoursHead()
{
    static const QList<QRgb> colours = standardColours().first(8) + QList<QRgb> { qRgb(192, 220, 192), qRgb(166, 202, 240) };
    return colours;
}

const QList<QRgb> &systemColoursTail()
{
    static const QList<QRgb> colours = QList<QRgb> { qRgb(255, 251, 240), qRgb(160, 160, 164) } + standardColours().sliced(8);
    return colours;
}

// A system-colour palette: the head, the picture's own colours, entries left unused, the tail.
constexpr int kPaletteEntries = 256;
const QRgb kUnusedEntry = qRgb(0, 0, 0);
int firstOwnEntry() { return int(systemColoursHead().size()); }
int ownEntries() { return kPaletteEntries - int(systemColoursHead().size() + systemColoursTail().size()); }

struct Weighted
{
    QRgb colour;
    int count;
};

int distance2(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

int channelOf(QRgb c, int ch) { return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c); }

// Median cut over a weighted colour list; returns at most `entries` representative colours.
QList<QRgb> medianCut(std::vector<Weighted> colours, int entries)
{
    std::vector<std::vector<Weighted>> boxes { std::move(colours) };
    auto spread = [](const std::vector<Weighted> &box, int &widest) {
        int best = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (const Weighted &w : box) {
                lo = std::min(lo, channelOf(w.colour, ch));
                hi = std::max(hi, channelOf(w.colour, ch));
            }
            if (hi - lo > best) {
                best = hi - lo;
                widest = ch;
            }
        }
        return best;
    };
    while (int(boxes.size()) < entries) {
        int pick = -1, pickSpread = 0, pickChannel = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[size_t(i)].size() < 2)
                continue;
            int ch = 0;
            const int s = spread(boxes[size_t(i)], ch);
            if (s > pickSpread) {
                pick = i;
                pickSpread = s;
                pickChannel = ch;
            }
        }
        if (pick < 0)
            break;
        std::vector<Weighted> box = std::move(boxes[size_t(pick)]);
        std::sort(box.begin(), box.end(), [pickChannel](const Weighted &a, const Weighted &b) {
            const int ka = channelOf(a.colour, pickChannel), kb = channelOf(b.colour, pickChannel);
            return ka != kb ? ka < kb : a.colour < b.colour;
        });
        long total = 0;
        for (const Weighted &w : box)
            total += w.count;
        long run = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < box.size(); ++i) {
            run += box[i].count;
            cut = i + 1;
            if (2 * run >= total)
                break;
        }
        boxes[size_t(pick)].assign(box.begin(), box.begin() + long(cut));
        boxes.emplace_back(box.begin() + long(cut), box.end());
    }
    QList<QRgb> out;
    for (const auto &box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const Weighted &w : box) {
            r += qRed(w.colour) * double(w.count);
            g += qGreen(w.colour) * double(w.count);
            b += qBlue(w.colour) * double(w.count);
            n += w.count;
        }
        out.append(toQRgb({ r / n, g / n, b / n }));
    }
    return out;
}

bool darkerFirst(QRgb a, QRgb b)
{
    const int la = qRed(a) * 299 + qGreen(a) * 587 + qBlue(a) * 114;
    const int lb = qRed(b) * 299 + qGreen(b) * 587 + qBlue(b) * 114;
    return la != lb ? la < lb : a < b;
}

} // namespace

QImage systemPalettePicture(const Canvas &canvas, const QImage *base, const PixelSet *changed,
                            const QList<QRgb> &exact)
{
    const int w = canvas.width(), h = canvas.height();
    std::vector<QRgb> wanted(size_t(w * h));
    std::vector<bool> fixedPixel(size_t(w * h), false);
    QSet<QRgb> fixedColours(exact.begin(), exact.end());
    QHash<QRgb, int> freeCounts;

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y * w + x);
            if (base && !(changed && changed->has(x, y))) {
                wanted[i] = base->pixel(x, y) | 0xff000000u;
                fixedPixel[i] = true;
                fixedColours.insert(wanted[i]);
            } else {
                wanted[i] = toQRgb(canvas.at(x, y));
            }
        }
    for (size_t i = 0; i < wanted.size(); ++i)
        if (!fixedPixel[i] && !fixedColours.contains(wanted[i]))
            ++freeCounts[wanted[i]];

    if (fixedColours.size() > ownEntries())
        throw std::runtime_error("too many colours kept from the base picture");

    QList<QRgb> own(fixedColours.begin(), fixedColours.end());
    const int room = ownEntries() - int(own.size());
    if (freeCounts.size() <= room) {
        for (auto it = freeCounts.cbegin(); it != freeCounts.cend(); ++it)
            own.append(it.key());
    } else {
        std::vector<Weighted> list;
        for (auto it = freeCounts.cbegin(); it != freeCounts.cend(); ++it)
            list.push_back({ it.key(), it.value() });
        std::sort(list.begin(), list.end(), [](const Weighted &a, const Weighted &b) { return a.colour < b.colour; });
        const QList<QRgb> reduced = medianCut(std::move(list), room);
        for (QRgb c : reduced)
            if (!own.contains(c))
                own.append(c);
    }
    std::sort(own.begin(), own.end(), darkerFirst);

    QList<QRgb> table = systemColoursHead();
    table.append(own);
    while (table.size() < kPaletteEntries - systemColoursTail().size())
        table.append(kUnusedEntry);
    table.append(systemColoursTail());

    QHash<QRgb, int> indexOf;
    for (int i = 0; i < int(own.size()); ++i)
        indexOf.insert(own.at(i), firstOwnEntry() + i);

    QImage out(w, h, QImage::Format_Indexed8);
    out.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = wanted[size_t(y * w + x)];
            auto it = indexOf.constFind(c);
            int index = 0;
            if (it != indexOf.cend()) {
                index = it.value();
            } else {
                int best = -1;
                for (int i = 0; i < int(own.size()); ++i)
                    if (best < 0 || distance2(own.at(i), c) < distance2(own.at(best), c))
                        best = i;
                index = firstOwnEntry() + best;
            }
            out.setPixel(x, y, uint(index));
        }
    return out;
}

int firstUnusedEntry(const QImage &picture)
{
    // The picture's own colours fill the entries from the first own one on, darkest first.
    const QList<QRgb> table = picture.colorTable();
    int entry = firstOwnEntry() + ownEntries() - 1;
    while (entry > firstOwnEntry() && table.at(entry - 1) == kUnusedEntry)
        --entry;
    return table.at(entry) == kUnusedEntry ? entry : -1;
}

QImage greyRampPicture(const Canvas &canvas)
{
    QList<QRgb> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.append(qRgb(i, i, i));
    QImage out(canvas.width(), canvas.height(), QImage::Format_Indexed8);
    out.setColorTable(ramp);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            out.setPixel(x, y, uint(channel(canvas.at(x, y).g)));
    return out;
}
