// A steel ball in a sunken ring, lit from the upper left, with a star or a seam cut into it.
#include "balls.h"

#include "canvas.h"
#include "masks.h"
#include "palette.h"

#include <cmath>

namespace {

constexpr int kSize = kBallSize;
constexpr double kRing = 2.0; // width of the sunken ring around the ball
const Rgb kCorner = grey(192);
constexpr double kSeamAngle = 35.5 * M_PI / 180.0;
const double kSeamX = std::cos(kSeamAngle), kSeamY = std::sin(kSeamAngle);

enum class Mark { Star, Seam };
enum class StarColour { Dark, Red, Green };
enum class Glass { None, Stripe, Lens };

struct Ball
{
    double cx, cy, radius; // outer edge of the ring
    Mark mark;
    StarColour star = StarColour::Dark;
    Glass glass = Glass::None;
};

const Rgb kPale { 214, 222, 255 };
const Rgb kDeep { 0, 51, 255 };

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// Polished steel: a sky-and-ground reflection, a soft diffuse term and a tight highlight.
Rgb steel(double nx, double ny)
{
    const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
    const double rx = 2 * nz * nx, ry = 2 * nz * ny, rz = 2 * nz * nz - 1;
    const double horizon = smoothstep(-0.25, 0.3, ry);
    const double sky = 236 - 50 * clamp01(-ry) - 30 * clamp01(rx);
    const double ground = 96 + 60 * clamp01(ry) * clamp01(ry);
    double v = sky + (ground - sky) * horizon;
    const double lx = -0.55, ly = -0.62, lz = 0.56;
    const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
    const double specular = std::pow(std::max(0.0, rx * lx + ry * ly + rz * lz), 28.0);
    v = 0.78 * v + 40 * diffuse + 120 * specular;
    return { v * 0.97, v * 0.99, std::min(255.0, v * 1.03) };
}

// Eight-pointed star of the check faces, centred on the ball: two squares, one turned by 45 degrees.
struct Star
{
    double outer = 6.6;
    double drop = 0.2; // the star sits a little below the ball's middle

    bool contains(double x, double y) const
    {
        const double half = outer * std::sqrt(0.5); // half the side of each square
        const bool upright = std::abs(x) <= half && std::abs(y) <= half;
        const double rx = (x + y) * std::sqrt(0.5), ry = (y - x) * std::sqrt(0.5);
        const bool turned = std::abs(rx) <= half && std::abs(ry) <= half;
        return upright || turned;
    }
};

Rgb starFill(StarColour colour, double x, double y, double wall)
{
    // `wall` is -1 on the shadowed upper-left walls of the cut, +1 on its lit lower-right walls.
    const double t = clamp01(0.5 + (x + y) / 14.0);
    const double heart = clamp01(1.5 - std::hypot(x, y) / 1.6);
    Rgb c;
    switch (colour) {
    case StarColour::Dark:
        c = grey(52 - 14 * t);
        break;
    case StarColour::Red:
        c = mix(mix(Rgb { 240, 110, 110 }, Rgb { 150, 0, 0 }, t), Rgb { 208, 0, 0 }, heart);
        break;
    case StarColour::Green: {
        const double glint = clamp01(1.0 - std::hypot(x + 2.2, y + 2.2) / 2.0);
        c = mix(mix(Rgb { 80, 208, 80 }, Rgb { 0, 112, 0 }, t), Rgb { 0, 160, 0 }, heart);
        c = mix(c, Rgb { 208, 255, 208 }, glint);
        break;
    }
    }
    if (wall > 0)
        return mix(c, grey(235), 0.55 * wall);
    return c * (1.0 + 0.45 * wall);
}

Rgb glassColour(const Ball &ball, double x, double y)
{
    // Position along the seam, -1 at the upper-left end to +1 at the lower-right end.
    const double along = x * kSeamX + y * kSeamY;
    const double across = -x * kSeamY + y * kSeamX;
    const double half = ball.glass == Glass::Lens ? 8.3 : 7.4;
    const double t = clamp01((along / half + 1) / 2);
    Rgb c = mix(kPale, kDeep, smoothstep(0.12, 0.92, t));
    if (ball.glass == Glass::Lens) {
        // A rounded lens: darker towards its rim, with a glint on its upper-left shoulder.
        const double edge = std::hypot(along / 8.3, across / 4.1);
        c = mix(c, c * 0.8, smoothstep(0.75, 1.0, edge) * (1 - t));
        const double glint = clamp01(1.0 - std::hypot(along + 3.3, across + 1.9) / 1.5);
        c = mix(c, Rgb { 255, 255, 255 }, glint * 0.8);
    }
    return c;
}

bool insideGlass(const Ball &ball, double x, double y)
{
    if (ball.glass == Glass::None)
        return false;
    if (ball.glass == Glass::Lens) {
        const double gx = x - 0.5, gy = y; // lens centre (14, 13)
        const double along = gx * kSeamX + gy * kSeamY, across = -gx * kSeamY + gy * kSeamX;
        return (along / 8.5) * (along / 8.5) + (across / 4.14) * (across / 4.14) <= 1.0;
    }
    const double gx = x - 0.5, gy = y - 0.5; // stripe centre (14, 13.5)
    const double along = std::clamp(gx * kSeamX + gy * kSeamY, -6.87, 6.87);
    return std::hypot(gx - along * kSeamX, gy - along * kSeamY) <= 1.21;
}

// Colour of the ball at point (u, v) inside the ring's outer edge.
Rgb ballColour(const Ball &ball, double u, double v)
{
    const double x = u - ball.cx, y = v - ball.cy;
    const double d = std::hypot(x, y);
    const double inner = ball.radius - kRing;
    if (d >= inner) {
        // The sunken ring: its upper-left wall is in shadow, its lower-right wall catches the light.
        const double facing = (x + y) / (std::sqrt(2.0) * std::max(d, 1e-9));
        const double depthIn = (d - inner) / kRing; // 0 at the ball, 1 at the outer edge
        double g = 158 + 78 * facing;
        g = mix(grey(g * 0.55), grey(g), smoothstep(0.0, 0.45, depthIn)).g;
        return grey(g);
    }
    Rgb c = steel(x / inner, y / inner);
    if (ball.mark == Mark::Star) {
        const Star star;
        if (star.contains(x, y - star.drop)) {
            const double sy = y - star.drop;
            const double wall = !star.contains(x + 0.8, sy + 0.8) ? 1.0 : !star.contains(x - 0.8, sy - 0.8) ? -1.0 : 0.0;
            return starFill(ball.star, x, y, wall);
        }
        // The ball's surface darkens a little where it drops into the cut.
        if (star.contains(x + 0.9, y - star.drop + 0.9))
            c = c * 0.8;
    } else {
        if (insideGlass(ball, x, y))
            return glassColour(ball, x - 0.5, y);
        const double across = -x * kSeamY + y * kSeamX;
        const double end = inner - 0.6;
        if (d < end) {
            // A hairline seam: a dark groove with a bright lower lip.
            if (std::abs(across) < 0.42)
                c = grey(40);
            else if (across >= 0.42 && across < 0.95)
                c = mix(c, grey(245), 0.5);
        }
    }
    // The ball's shadow where it meets the ring on the lower right.
    const double rim = smoothstep(inner - 1.2, inner, d);
    return mix(c, c * 0.72, rim);
}

Canvas drawBall(const Ball &ball)
{
    Canvas canvas(kSize, kSize, kCorner);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double cover = coverage(x, y, 8, [&](double u, double v) {
                return std::hypot(u - ball.cx, v - ball.cy) <= ball.radius;
            });
            if (cover == 0)
                continue;
            const Rgb inside = supersample(x, y, 8, [&](double u, double v) {
                const double d = std::hypot(u - ball.cx, v - ball.cy);
                // Keep sampling the ring's colour just past its edge, for the blend below.
                if (d > ball.radius) {
                    const double k = ball.radius / d;
                    u = ball.cx + (u - ball.cx) * k;
                    v = ball.cy + (v - ball.cy) * k;
                }
                return ballColour(ball, u, v);
            });
            canvas.at(x, y) = mix(kCorner, inside, cover);
        }
    return canvas;
}

// The check faces come from a picture of sixteen levels a channel.
Canvas inSixteenths(Canvas c)
{
    auto q = [](double v) { return std::min(240.0, 16.0 * std::round(v / 16.0)); };
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            Rgb &p = c.at(x, y);
            p = { q(p.r), q(p.g), q(p.b) };
        }
    return c;
}

PixelSet differing(const Canvas &a, const Canvas &b)
{
    PixelSet out(a.width(), a.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (toQRgb(a.at(x, y)) != toQRgb(b.at(x, y)))
                out.set(x, y);
    return out;
}

// A few faint reddish specks in the dark star, as the old sixteen-level picture had.
void addSpecks(Canvas &c)
{
    static const int specks[][2] = { { 12, 10 }, { 10, 14 }, { 15, 16 }, { 14, 12 } };
    for (const auto &s : specks)
        c.at(s[0], s[1]).r += 16;
}

} // namespace

QList<QImage> ballImages()
{
    const Ball check { 13.0, 13.5, 12.1, Mark::Star };
    Ball redStar = check;
    redStar.cy = 13.0;
    redStar.radius = 11.7;
    redStar.star = StarColour::Red;
    Ball checked = check;
    checked.star = StarColour::Green;
    const Ball option { 13.45, 13.0, 11.785, Mark::Seam };
    Ball pressed = option;
    pressed.glass = Glass::Stripe;
    Ball selected = option;
    selected.glass = Glass::Lens;

    Canvas unchecked = inSixteenths(drawBall(check));
    addSpecks(unchecked);
    const QImage image1 = systemPalettePicture(unchecked);
    const QImage image2 = systemPalettePicture(inSixteenths(drawBall(redStar)));
    const Canvas checkedCanvas = inSixteenths(drawBall(checked));
    const PixelSet starChange = differing(unchecked, checkedCanvas);
    const QImage image3 = systemPalettePicture(checkedCanvas, &image1, &starChange);

    const Canvas plain = drawBall(option);
    const QImage image4 = systemPalettePicture(plain);
    const Canvas pressedCanvas = drawBall(pressed);
    const PixelSet stripe = differing(plain, pressedCanvas);
    const QImage image5 = systemPalettePicture(pressedCanvas, &image4, &stripe);
    const Canvas selectedCanvas = drawBall(selected);
    const PixelSet lens = differing(plain, selectedCanvas);
    const QImage image6 = systemPalettePicture(selectedCanvas, &image4, &lens);
    return { image1, image2, image3, image4, image5, image6 };
}
