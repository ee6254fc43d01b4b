// Five raised grey keys with bevelled rims; a pressed key glows green (red for the centre).
#include "pad.h"

#include "canvas.h"
#include "masks.h"
#include "palette.h"

#include <QRect>

#include <stdexcept>
#include <cmath>

namespace {

constexpr int kWidth = kPadWidth, kHeight = kPadHeight;
constexpr int kOutlineSpill = 460; // outline pixels that lie just beyond the keys' mask pieces
const Rgb kBackground = grey(191);
const Rgb kLitBackground = grey(192);
const QRgb kSpeckFrom = qRgb(204, 204, 204);
const QRgb kSpeckTo = qRgb(206, 204, 204);
constexpr int kSpecks = 79;
// The end of the green ramp that lit keys deepen along; only the up key goes that far.
const Rgb kGreenDeepest { 43, 213, 43 };
// The left and right keys light alike.
const Rgb kSideKeysDeepest { 61, 216, 61 };

// One straight side of a key: points inside satisfy n . p + c <= 0; n is the outward normal.
struct Side
{
    double nx, ny, c;
    double inside(double x, double y) const { return -(nx * x + ny * y + c); }
};

Side leftOf(double a, double b) // region right of the line x = a y + b
{
    const double n = std::hypot(1.0, a);
    return { -1 / n, a / n, b / n };
}
Side rightOf(double a, double b) // region left of the line x = a y + b
{
    const double n = std::hypot(1.0, a);
    return { 1 / n, -a / n, -b / n };
}
Side below(double y0) { return { 0, -1, y0 }; }
Side above(double y0) { return { 0, 1, -y0 }; }
Side atLeast(double x0) { return { -1, 0, x0 }; }
Side atMost(double x0) { return { 1, 0, -x0 }; }

enum class Edge { Left, Right };

// The side of a key along its mask piece's left or right edge over rows fromRow..toRow: the
// least-squares line x = a y + b through the pixel-edge points of those rows.
Side fittedSide(const PixelSet &piece, int fromRow, int toRow, Edge edge)
{
    double sy = 0, sx = 0, syy = 0, sxy = 0, n = 0;
    for (int row = fromRow; row <= toRow; ++row) {
        int first = -1, last = -1;
        for (int x = 0; x < piece.width(); ++x)
            if (piece.has(x, row)) {
                if (first < 0)
                    first = x;
                last = x;
            }
        const double y = row + 0.5, x = edge == Edge::Left ? first : last + 1;
        sy += y;
        sx += x;
        syy += y * y;
        sxy += x * y;
        n += 1;
    }
    const double a = (n * sxy - sx * sy) / (n * syy - sy * sy);
    const double b = (sx - a * sy) / n;
    return edge == Edge::Left ? leftOf(a, b) : rightOf(a, b);
}

struct Key
{
    PadKey which;
    PixelSet piece;
    std::vector<Side> sides;
    double cornerRadius = 0; // the centre key's rounded corners
    QRect box; // the centre key's outer rectangle
    QRect litArea; // where the surface (the part that lights) may reach
    double inset = 3; // depth of the rim
    Rgb deepest; // lit colour at the lower-right end of the surface

    // Signed distance inside the key's outline, and the outward normal of the nearest side.
    double inside(double x, double y, double &nx, double &ny) const
    {
        if (cornerRadius > 0) {
            const double l = box.left(), t = box.top(), r = box.right() + 1.0, b = box.bottom() + 1.0;
            const double cx = std::clamp(x, l + cornerRadius, r - cornerRadius);
            const double cy = std::clamp(y, t + cornerRadius, b - cornerRadius);
            const double dx = x - cx, dy = y - cy;
            if (dx != 0 || dy != 0) {
                const double d = std::hypot(dx, dy);
                nx = dx / d;
                ny = dy / d;
                return cornerRadius - d;
            }
            const double dl = x - l, dr = r - x, dt = y - t, db = b - y;
            const double m = std::min({ dl, dr, dt, db });
            nx = m == dl ? -1 : m == dr ? 1 : 0;
            ny = m == dt ? -1 : m == db && nx == 0 ? 1 : 0;
            return m;
        }
        double best = 1e9;
        for (const Side &s : sides) {
            const double d = s.inside(x, y);
            if (d < best) {
                best = d;
                nx = s.nx;
                ny = s.ny;
            }
        }
        return best;
    }
};

std::vector<Key> padKeys()
{
    auto make = [](PadKey which, QRect lit, double inset, Rgb deepest) {
        return Key { which, padKeyShape(which), {}, 0, {}, lit, inset, deepest };
    };

    Key up = make(PadKey::Up, QRect(QPoint(54, 5), QPoint(115, 24)), 3.0, kGreenDeepest);
    up.sides = { fittedSide(up.piece, 2, 26, Edge::Left), fittedSide(up.piece, 2, 26, Edge::Right),
                 below(2), above(28), atLeast(45), atMost(127) };
    Key down = make(PadKey::Down, QRect(QPoint(55, 81), QPoint(116, 100)), 2.2, Rgb { 79, 220, 79 });
    down.sides = { fittedSide(down.piece, 79, 104, Edge::Left), fittedSide(down.piece, 79, 104, Edge::Right),
                   below(79), above(105), atLeast(44), atMost(127) };
    Key left = make(PadKey::Left, QRect(QPoint(9, 37), QPoint(38, 69)), 3.0, kSideKeysDeepest);
    left.sides = { fittedSide(left.piece, 31, 51, Edge::Left), fittedSide(left.piece, 54, 74, Edge::Left),
                   atMost(42), below(31), above(75), atLeast(2) };
    Key right = make(PadKey::Right, QRect(QPoint(133, 37), QPoint(162, 69)), 3.0, kSideKeysDeepest);
    right.sides = { fittedSide(right.piece, 31, 51, Edge::Right), fittedSide(right.piece, 54, 74, Edge::Right),
                    atLeast(129), below(31), above(75), atMost(169) };
    Key home = make(PadKey::Home, QRect(QPoint(49, 33), QPoint(121, 72)), 2.0, Rgb { 219, 75, 75 });
    home.box = QRect(QPoint(46, 31), QPoint(124, 75));
    home.cornerRadius = 7.5;
    return { up, right, down, left, home };
}

constexpr double kLx = -0.7071, kLy = -0.7071; // towards the light, upper left

// Grey of the key's rim at a point `depth` pixels inside its outline.
double rimShade(double depth, double nx, double ny, double inset)
{
    const double facing = std::clamp((nx * kLx + ny * kLy) * 1.3, -1.0, 1.0);
    double v = facing > 0 ? 200 + 52 * facing : 200 + 72 * facing;
    // A slightly rounded rim: flatter towards the surface.
    v = v + (214 - v) * smoothstep(inset - 0.8, inset + 0.4, depth) * 0.35;
    // The outermost pixel: a crisp dark line on the shadowed sides.
    const double outer = 1.0 - smoothstep(0.2, 1.1, depth);
    const double line = facing < 0 ? 78 : 168;
    return v + (line - v) * outer * (facing < 0 ? 1.0 : 0.45);
}

struct Surface
{
    PixelSet pixels;
    double lo = 1e9, hi = -1e9; // range of x + y over the surface, for the gradient
};

Surface surfaceOf(const Key &k)
{
    Surface s { PixelSet(kWidth, kHeight) };
    for (int y = k.litArea.top(); y <= k.litArea.bottom(); ++y)
        for (int x = k.litArea.left(); x <= k.litArea.right(); ++x) {
            double nx, ny;
            if (k.piece.has(x, y) && k.inside(x + 0.5, y + 0.5, nx, ny) >= k.inset) {
                s.pixels.set(x, y);
                s.lo = std::min(s.lo, double(x + y));
                s.hi = std::max(s.hi, double(x + y));
            }
        }
    return s;
}

// Surface shading: 0 at the upper left of the surface, 1 at its lower right.
double gradientAt(const Key &k, const Surface &s, int x, int y)
{
    if (k.which == PadKey::Home) {
        // The wide centre key shades mostly from left to right.
        const QRect &r = k.litArea;
        const double tx = double(x - r.left()) / (r.width() - 1), ty = double(y - r.top()) / (r.height() - 1);
        return std::pow(std::clamp(tx + 0.1 * (ty - 0.5), 0.0, 1.0), 1.3);
    }
    return (x + y - s.lo) / (s.hi - s.lo);
}

Rgb litColour(const Key &k, double t)
{
    if (k.which == PadKey::Home)
        return mix(Rgb { 253, 245, 245 }, k.deepest, t);
    // Pale at the upper left, deepening along one green ramp; each key goes as far as its own end.
    const Rgb pale { 218, 248, 218 };
    const double reach = (pale.r - k.deepest.r) / (pale.r - kGreenDeepest.r);
    return mix(pale, kGreenDeepest, t * reach);
}

struct Drawn
{
    Canvas canvas { kWidth, kHeight, kBackground };
    PixelSet spill { kWidth, kHeight }; // the outline pixels beyond the mask
};

Drawn drawPad(const std::vector<Key> &keys, const std::vector<Surface> &surfaces, int litKey)
{
    Drawn out;
    struct Candidate
    {
        int x, y, key;
        double cover;
    };
    std::vector<Candidate> candidates;
    for (int i = 0; i < int(keys.size()); ++i) {
        const Key &k = keys[size_t(i)];
        const Surface &s = surfaces[size_t(i)];
        const PixelSet ring = k.piece.outerRing();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                if (k.piece.has(x, y)) {
                    Rgb c;
                    if (s.pixels.has(x, y)) {
                        const double t = gradientAt(k, s, x, y);
                        c = i == litKey ? litColour(k, t) : grey(238 - 56 * t);
                    } else {
                        c = supersample(x, y, 4, [&](double u, double v) {
                            double nx = 0, ny = 0;
                            const double d = std::max(0.0, k.inside(u, v, nx, ny));
                            return grey(rimShade(d, nx, ny, k.inset));
                        });
                    }
                    out.canvas.at(x, y) = c;
                } else if (ring.has(x, y)) {
                    const double cover = coverage(x, y, 8, [&](double u, double v) {
                        double nx, ny;
                        return k.inside(u, v, nx, ny) >= -0.45;
                    });
                    if (cover > 0)
                        candidates.push_back({ x, y, i, cover });
                }
            }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.cover > b.cover; });
    for (int i = 0; i < kOutlineSpill && i < int(candidates.size()); ++i) {
        const Candidate &c = candidates[size_t(i)];
        const Key &k = keys[size_t(c.key)];
        double nx = 0, ny = 0;
        k.inside(c.x + 0.5, c.y + 0.5, nx, ny);
        const Rgb edge = grey(rimShade(0, nx, ny, k.inset));
        Rgb v = mix(kBackground, edge, std::max(0.25, c.cover));
        out.canvas.at(c.x, c.y) = v;
        out.spill.set(c.x, c.y);
    }
    return out;
}

} // namespace

PadPictures padPictures()
{
    const std::vector<Key> keys = padKeys();
    std::vector<Surface> surfaces;
    for (const Key &k : keys)
        surfaces.push_back(surfaceOf(k));

    const Drawn released = drawPad(keys, surfaces, -1);
    PadPictures out;
    out.face = systemPalettePicture(released.canvas, nullptr, nullptr, { kSpeckFrom, toQRgb(kBackground) });

    // Image 1 is the face with a faint warm cast on a few of its light-grey pixels.
    QImage image1 = out.face.copy();
    {
        const int warm = firstUnusedEntry(image1);
        if (warm < 0)
            throw std::runtime_error("no palette entry left for the pad's warm grey");
        const int speck = int(image1.colorTable().indexOf(kSpeckFrom));
        image1.setColor(warm, kSpeckTo);
        int n = 0;
        for (int y = 0; y < kHeight && n < kSpecks; ++y)
            for (int x = 0; x < kWidth && n < kSpecks; ++x)
                if (image1.pixelIndex(x, y) == speck) {
                    image1.setPixel(x, y, uint(warm));
                    ++n;
                }
    }
    out.images.append(image1);

    for (int lit = 0; lit < int(keys.size()); ++lit) {
        Drawn d = drawPad(keys, surfaces, lit);
        PixelSet changed = surfaces[size_t(lit)].pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (toQRgb(d.canvas.at(x, y)) == toQRgb(kBackground)) {
                    d.canvas.at(x, y) = kLitBackground;
                    changed.set(x, y);
                }
        out.images.append(systemPalettePicture(d.canvas, &out.face, &changed));
    }
    return out;
}
