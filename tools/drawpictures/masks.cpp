// The masks are data: one white run per row, typed from the drawings of the controls.
#include "masks.h"

#include "palette.h"

#include <array>

namespace {

struct Run
{
    int row, first, last;
};

constexpr Run kCheck[] = {
    { 1, 9, 16 },  { 2, 7, 18 },  { 3, 6, 19 },  { 4, 5, 20 },  { 5, 4, 21 },  { 6, 3, 22 },
    { 7, 2, 23 },  { 8, 2, 23 },  { 9, 1, 24 },  { 10, 1, 24 }, { 11, 1, 24 }, { 12, 1, 24 },
    { 13, 1, 24 }, { 14, 1, 24 }, { 15, 1, 24 }, { 16, 1, 24 }, { 17, 2, 23 }, { 18, 2, 23 },
    { 19, 3, 22 }, { 20, 4, 21 }, { 21, 5, 20 }, { 22, 6, 19 }, { 23, 7, 18 }, { 24, 9, 16 },
};

// The oval: row y is white from column L to its mirror image, column kOvalWidth - 1 - L.
constexpr std::array<int, kOvalHeight> kOvalLeft = {
    60, 54, 46, 40, 35, 31, 27, 24, 21, 18, 16, 13, 11, 10, 8, 7, 5, 4, 3, 2, 2, 1, 0, 0, 0, 0,
    0,  0,  0,  1,  2,  2,  3,  4,  5,  7,  8,  10, 11, 13, 16, 18, 21, 24, 27, 31, 35, 40, 47, 54, 60,
};

constexpr Run kUpKey[] = {
    { 2, 82, 88 },   { 3, 81, 90 },   { 4, 79, 92 },   { 5, 78, 93 },   { 6, 76, 95 },   { 7, 75, 96 },
    { 8, 73, 98 },   { 9, 71, 100 },  { 10, 70, 101 }, { 11, 68, 103 }, { 12, 67, 104 }, { 13, 65, 106 },
    { 14, 63, 108 }, { 15, 62, 109 }, { 16, 60, 111 }, { 17, 59, 112 }, { 18, 57, 114 }, { 19, 56, 116 },
    { 20, 54, 117 }, { 21, 52, 119 }, { 22, 51, 120 }, { 23, 49, 122 }, { 24, 48, 124 }, { 25, 46, 125 },
    { 26, 45, 126 }, { 27, 45, 126 },
};

constexpr Run kDownKey[] = {
    { 79, 44, 126 },  { 80, 45, 125 },  { 81, 47, 123 },  { 82, 48, 122 }, { 83, 50, 120 }, { 84, 51, 118 },
    { 85, 53, 117 },  { 86, 55, 115 },  { 87, 56, 114 },  { 88, 58, 112 }, { 89, 59, 110 }, { 90, 61, 109 },
    { 91, 62, 107 },  { 92, 64, 106 },  { 93, 66, 104 },  { 94, 67, 102 }, { 95, 69, 101 }, { 96, 70, 99 },
    { 97, 72, 98 },   { 98, 74, 96 },   { 99, 75, 94 },   { 100, 77, 93 }, { 101, 78, 91 }, { 102, 80, 90 },
    { 103, 81, 88 },  { 104, 84, 85 },
};

// The left and right keys' rows.
constexpr int kSideKeyTop = 31, kSideKeyBottom = 74;

// The left key's runs end at column 41 (40 in its first and last row).
constexpr std::array<int, kSideKeyBottom - kSideKeyTop + 1> kLeftKeyFirst = {
    37, 36, 34, 32, 30, 28, 27, 25, 23, 21, 19, 18, 16, 14, 12, 11, 9,  7,  5,  4,  2,  2,
    2,  2,  3,  5,  7,  8,  10, 12, 14, 15, 17, 19, 21, 23, 24, 26, 28, 30, 31, 33, 35, 37,
};

// The right key's runs start at column 129 (130 in its first and last row).
constexpr std::array<int, kSideKeyBottom - kSideKeyTop + 1> kRightKeyLast = {
    133, 135, 137, 139, 141, 142, 144, 146, 148, 149, 151, 153, 155, 157, 158, 160, 162, 164, 165, 167, 168, 168,
    168, 168, 166, 165, 163, 161, 159, 158, 156, 154, 152, 150, 149, 147, 145, 143, 141, 140, 138, 136, 134, 132,
};

constexpr Run kHomeKey[] = {
    { 31, 53, 117 }, { 32, 50, 120 }, { 33, 48, 121 }, { 34, 47, 123 }, { 35, 46, 123 },
    { 70, 46, 123 }, { 71, 47, 123 }, { 72, 48, 122 }, { 73, 49, 121 }, { 74, 51, 119 }, { 75, 56, 114 },
};
constexpr int kHomeFullFirstRow = 36, kHomeFullLastRow = 69, kHomeFullFirst = 46, kHomeFullLast = 124;

void addRun(PixelSet &set, int row, int first, int last)
{
    for (int x = first; x <= last; ++x)
        set.set(x, row);
}

template<size_t N>
void addRuns(PixelSet &set, const Run (&runs)[N])
{
    for (const Run &r : runs)
        addRun(set, r.row, r.first, r.last);
}

} // namespace

PixelSet checkMaskShape()
{
    PixelSet set(kBallSize, kBallSize);
    addRuns(set, kCheck);
    return set;
}

PixelSet ovalMaskShape()
{
    PixelSet set(kOvalWidth, kOvalHeight);
    for (int y = 0; y < kOvalHeight; ++y)
        addRun(set, y, kOvalLeft[size_t(y)], kOvalWidth - 1 - kOvalLeft[size_t(y)]);
    return set;
}

PixelSet padKeyShape(PadKey key)
{
    PixelSet set(kPadWidth, kPadHeight);
    switch (key) {
    case PadKey::Up:
        addRuns(set, kUpKey);
        break;
    case PadKey::Down:
        addRuns(set, kDownKey);
        break;
    case PadKey::Left:
    case PadKey::Right:
        for (int row = kSideKeyTop; row <= kSideKeyBottom; ++row) {
            const size_t i = size_t(row - kSideKeyTop);
            const bool end = row == kSideKeyTop || row == kSideKeyBottom;
            if (key == PadKey::Left)
                addRun(set, row, kLeftKeyFirst[i], end ? 40 : 41);
            else
                addRun(set, row, end ? 130 : 129, kRightKeyLast[i]);
        }
        break;
    case PadKey::Home:
        addRuns(set, kHomeKey);
        for (int row = kHomeFullFirstRow; row <= kHomeFullLastRow; ++row)
            addRun(set, row, kHomeFullFirst, kHomeFullLast);
        break;
    }
    return set;
}

PixelSet padMaskShape()
{
    PixelSet set(kPadWidth, kPadHeight);
    for (PadKey key : { PadKey::Up, PadKey::Left, PadKey::Home, PadKey::Right, PadKey::Down }) {
        const PixelSet piece = padKeyShape(key);
        for (int y = 0; y < kPadHeight; ++y)
            for (int x = 0; x < kPadWidth; ++x)
                if (piece.has(x, y))
                    set.set(x, y);
    }
    return set;
}

QImage maskPicture(const PixelSet &shape)
{
    QImage out(shape.width(), shape.height(), QImage::Format_Mono);
    out.setColorTable(blackAndWhite());
    for (int y = 0; y < shape.height(); ++y)
        for (int x = 0; x < shape.width(); ++x)
            out.setPixel(x, y, shape.has(x, y) ? 1u : 0u);
    return out;
}
