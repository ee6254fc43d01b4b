// An oval button with a raised rim (released) or a sunken one (pressed) and a shadowed caption.
#include "oval.h"

#include "canvas.h"
#include "masks.h"
#include "palette.h"

#include <cmath>
#include <numeric>

namespace {

constexpr int kWidth = kOvalWidth, kHeight = kOvalHeight;
constexpr double kCx = kWidth / 2.0, kCy = kHeight / 2.0;
constexpr double kBody = 198, kCorner = 191;
constexpr double kRim = 4.0;
constexpr int kPressShiftX = 3, kPressShiftY = 2;

struct Outline
{
    double a, b; // semi-axes of the drawn edge
    int spill; // pixels of the edge that fall outside the mask
};

Outline outlineFor(ButtonState state)
{
    // The pressed button sits a little deeper, so less of its edge spills past the mask.
    return state == ButtonState::Released ? Outline { 82.45, 26.2, 138 } : Outline { 82.25, 26.0, 62 };
}

// Distance inward from the edge of the ellipse, and the outward normal there.
double depth(double u, double v, const Outline &o, double &nx, double &ny)
{
    const double dx = (u - kCx) / o.a, dy = (v - kCy) / o.b;
    const double rho = std::sqrt(dx * dx + dy * dy);
    const double gx = dx / o.a, gy = dy / o.b;
    const double g = std::sqrt(gx * gx + gy * gy);
    nx = gx / g;
    ny = gy / g;
    return (1.0 - rho) / (g / std::max(rho, 1e-9));
}

double shade(double u, double v, ButtonState state, const Outline &o)
{
    double nx, ny;
    const double d = std::max(0.0, depth(u, v, o, nx, ny));
    if (d >= kRim)
        return kBody;
    // How squarely the rim faces the light from the upper left.
    const double s = std::clamp(-(nx + ny) / std::sqrt(2.0) * 1.45, -1.0, 1.0);
    const double profile = 1.0 - smoothstep(kRim - 2.0, kRim, d);
    if (state == ButtonState::Released) {
        const double lit = s > 0 ? 255.0 - kBody : kBody - 65.0;
        double v0 = kBody + s * lit * profile;
        // A soft dark line on the shadowed side of the outer edge.
        if (s < 0)
            v0 -= (1.0 - smoothstep(0.0, 1.2, d)) * 20.0 * -s;
        return v0;
    }
    const double turned = s > 0 ? kBody - 118.0 : 222.0 - kBody;
    const double v0 = kBody - s * turned * profile;
    // The outer line of the sunken rim.
    const double line = 1.0 - smoothstep(0.6, 1.4, d);
    return v0 + (62.0 - v0) * line;
}

double ellipseCoverage(int x, int y, const Outline &o)
{
    return coverage(x, y, 8, [&](double u, double v) {
        const double dx = (u - kCx) / o.a, dy = (v - kCy) / o.b;
        return dx * dx + dy * dy <= 1.0;
    });
}

// Alpha 0..1 of the shadow under the caption: the ink spread softly below and to the right.
std::vector<double> shadowOf(const Ink &ink)
{
    static const double kernel[5][5] = {
        { 0.00, 0.02, 0.04, 0.02, 0.00 },
        { 0.02, 0.10, 0.20, 0.10, 0.02 },
        { 0.04, 0.20, 0.55, 0.20, 0.04 },
        { 0.02, 0.10, 0.20, 0.10, 0.02 },
        { 0.00, 0.02, 0.04, 0.02, 0.00 },
    };
    std::vector<double> out(ink.alpha.size(), 0.0);
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x) {
            double s = 0;
            for (int j = 0; j < 5; ++j)
                for (int i = 0; i < 5; ++i)
                    // Centred one pixel below and to the right of the letters.
                    s += kernel[j][i] * ink.at(x - (i - 2) - 1, y - (j - 2) - 1);
            out[size_t(y * ink.width + x)] = std::min(1.0, s / 1.2);
        }
    return out;
}

} // namespace

const CaptionPlacement &ovalCaption()
{
    static const CaptionPlacement c { QStringLiteral("Click here!"), { 19.6, 0.50, 1.0 }, { 30.125, 31.0 } };
    return c;
}

QImage ovalFace(ButtonState state)
{
    const Outline o = outlineFor(state);
    const PixelSet mask = ovalMaskShape();
    const PixelSet ring = mask.outerRing();

    // The edge pixels beyond the mask: the ones the drawn ellipse covers most.
    struct Candidate
    {
        int x, y;
        double cover;
    };
    std::vector<Candidate> candidates;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (ring.has(x, y))
                candidates.push_back({ x, y, ellipseCoverage(x, y, o) });
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &l, const Candidate &r) { return l.cover > r.cover; });

    Canvas canvas(kWidth, kHeight, grey(kCorner));
    auto faceAt = [&](int x, int y) {
        return supersample(x, y, 4, [&](double u, double v) { return grey(shade(u, v, state, o)); });
    };
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (mask.has(x, y))
                canvas.at(x, y) = faceAt(x, y);
    for (int i = 0; i < o.spill && i < int(candidates.size()); ++i) {
        const Candidate &c = candidates[size_t(i)];
        // Never fade all the way into the corner grey: the pixel is part of the edge.
        const double cover = std::max(c.cover, 0.12);
        Rgb v = mix(grey(kCorner), faceAt(c.x, c.y), cover);
        if (channel(v.g) == int(kCorner))
            v = grey(v.g < kCorner ? kCorner - 1 : kCorner + 1);
        canvas.at(c.x, c.y) = v;
    }

    // Caption: shadow first, then the ink, both moved together when pressed.
    const CaptionPlacement &cap = ovalCaption();
    const Ink ink = captionInk(cap.text, cap.style, cap.origin, kWidth, kHeight);
    const std::vector<double> shadow = shadowOf(ink);
    const int sx = state == ButtonState::Pressed ? kPressShiftX : 0;
    const int sy = state == ButtonState::Pressed ? kPressShiftY : 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int fx = x - sx, fy = y - sy;
            if (fx < 0 || fy < 0 || fx >= kWidth || fy >= kHeight)
                continue;
            const double sh = shadow[size_t(fy * kWidth + fx)];
            const double a = ink.at(fx, fy);
            if (sh == 0 && a == 0)
                continue;
            const double v = kBody * (1.0 - 0.42 * sh) * (1.0 - a);
            canvas.at(x, y) = grey(v);
        }
    return greyRampPicture(canvas);
}
