// The icon's images, drawn pixel by pixel on the standard sixteen-colour palette.
#include "icon.h"

#include "palette.h"

namespace {

// Entries of the standard colours.
constexpr uint kBlack = 0, kLightGrey = 7, kDarkGrey = 8, kCyan = 14, kWhite = 15;

// '.' clear, 'K' black, 'D' dark grey, 'L' light grey, 'C' cyan, 'W' white.
const char *const kIcon32[32] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "...........KKKKKKKKKKKKKKKKKKKK.",
    "..........KCCCCCCCCCCCCCCCKWLKK.",
    "..........KCCCCCCCCCCCCCCCKLLKKD",
    ".........KCCCCCCCCCCCCCCCKKKKKDD",
    ".........KKKKKKKKKKKKKKKKKKKKKDD",
    "........KWWWWWWWWWWWWWWWWWWWKDD.",
    "........KWWWWWWWWWWWWWWWWWWWKDD.",
    ".......KWWLLLLLLLLLLLLLLWWWKDD..",
    ".......KWWWWWWWWWWWWWWWWWWWKDD..",
    "......KWWLLLLLLLLLLLLWWWWWKDD...",
    "......KWWWWWWWWWWWWWWWWWWWKDD...",
    ".....KWWLLLLLLLLLLLLLLLWWKDD....",
    ".....KWWWWWWWWWWWWWWWWWWWKDD....",
    "....KWWLLLLLLLLLLWWWWWWWKDD.....",
    "....KWWWWWWWWWWWWWWWWWWWKDD.....",
    "...KWWWWWWWWWWWWWWWWWWWKDD......",
    "...KWWWWWWWWWWWWWWWWWWWKDD......",
    "..KWWWWWWWWWWWWWWWWWWWKDD.......",
    "..KKKKKKKKKKKKKKKKKKKKKDD.......",
    "...DDDDDDDDDDDDDDDDDDDDD........",
    "....DDDDDDDDDDDDDDDDDDD.........",
    "................................",
    "................................",
    "................................",
    "................................",
};

const char *const kIcon16[16] = {
    "................",
    "................",
    "................",
    "......KKKKKKKKKK",
    ".....KCCCCCCCKWK",
    ".....KKKKKKKKKKD",
    "....KWWWWWWWWKDD",
    "....KWLLLLLWWKD.",
    "...KWWWWWWWWKDD.",
    "...KWLLLLWWWKD..",
    "..KWWWWWWWWKDD..",
    "..KWWWWWWWWKD...",
    ".KKKKKKKKKKDD...",
    "..DDDDDDDDDD....",
    "................",
    "................",
};

uint sixteenColourIndex(char c)
{
    switch (c) {
    case 'K': return kBlack;
    case 'D': return kDarkGrey;
    case 'L': return kLightGrey;
    case 'C': return kCyan;
    case 'W': return kWhite;
    default: return kBlack;
    }
}

template<size_t N>
IconImage fromArt(const char *const (&art)[N], bool twoColours)
{
    const int size = int(N);
    IconImage icon { QImage(size, size, QImage::Format_Indexed8), QImage(size, size, QImage::Format_Mono) };
    icon.colours.setColorTable(twoColours ? blackAndWhite() : standardColours());
    icon.transparent.setColorTable(blackAndWhite());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const char c = art[y][x];
            bool clear = c == '.';
            uint index = 0;
            if (!twoColours) {
                index = clear ? 0 : sixteenColourIndex(c);
            } else {
                // In black and white the title bar is solid black, the page details white,
                // and the shadow a half-tone of black.
                switch (c) {
                case 'W':
                case 'L':
                    index = c == 'L' && (x + y) % 2 ? 0 : 1;
                    break;
                case 'D':
                    clear = (x + y) % 2 != 0;
                    index = 0;
                    break;
                default:
                    index = 0;
                    break;
                }
            }
            icon.colours.setPixel(x, y, index);
            icon.transparent.setPixel(x, y, clear ? 1u : 0u);
        }
    return icon;
}

} // namespace

QList<IconImage> iconImages()
{
    return { fromArt(kIcon32, true), fromArt(kIcon32, false), fromArt(kIcon16, false) };
}

QImage iconWithAlpha(const IconImage &icon)
{
    QImage out(icon.colours.size(), QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, icon.transparent.pixelIndex(x, y) ? qRgba(0, 0, 0, 0) : icon.colours.pixel(x, y));
    return out;
}
