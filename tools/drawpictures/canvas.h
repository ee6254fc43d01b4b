// Floating-point drawing surface that every picture is painted on before it is stored.
#pragma once

#include <QRgb>

#include <algorithm>
#include <cmath>
#include <vector>

struct Rgb
{
    double r = 0, g = 0, b = 0;
};

inline Rgb grey(double v) { return { v, v, v }; }
inline Rgb mix(Rgb a, Rgb b, double t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}
inline Rgb operator+(Rgb a, Rgb b) { return { a.r + b.r, a.g + b.g, a.b + b.b }; }
inline Rgb operator*(Rgb a, double k) { return { a.r * k, a.g * k, a.b * k }; }
inline int channel(double v) { return std::clamp(int(std::lround(v)), 0, 255); }
inline QRgb toQRgb(Rgb c) { return qRgb(channel(c.r), channel(c.g), channel(c.b)); }
inline Rgb fromQRgb(QRgb c) { return { double(qRed(c)), double(qGreen(c)), double(qBlue(c)) }; }
inline double smoothstep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

class Canvas
{
public:
    Canvas(int width, int height, Rgb fill = {}) : m_w(width), m_h(height), m_px(size_t(width * height), fill) { }

    int width() const { return m_w; }
    int height() const { return m_h; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_w && y < m_h; }
    Rgb &at(int x, int y) { return m_px[size_t(y * m_w + x)]; }
    const Rgb &at(int x, int y) const { return m_px[size_t(y * m_w + x)]; }

private:
    int m_w, m_h;
    std::vector<Rgb> m_px;
};

// A set of pixels of a picture, one flag a pixel.
class PixelSet
{
public:
    PixelSet(int width = 0, int height = 0) : m_w(width), m_h(height), m_on(size_t(width * height), false) { }

    int width() const { return m_w; }
    int height() const { return m_h; }
    bool has(int x, int y) const { return x >= 0 && y >= 0 && x < m_w && y < m_h && m_on[size_t(y * m_w + x)]; }
    void set(int x, int y, bool on = true) { m_on[size_t(y * m_w + x)] = on; }
    int count() const { return int(std::count(m_on.begin(), m_on.end(), true)); }
    // Pixels outside the set that touch it along an edge.
    PixelSet outerRing() const;

private:
    int m_w, m_h;
    std::vector<bool> m_on;
};

// Average of f(u, v) over n x n sample points of pixel (x, y); u, v run 0..width in picture units.
template<typename F>
double coverage(int x, int y, int n, F inside)
{
    int hits = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            if (inside(x + (i + 0.5) / n, y + (j + 0.5) / n))
                ++hits;
    return double(hits) / (n * n);
}

template<typename F>
Rgb supersample(int x, int y, int n, F colourAt)
{
    Rgb sum;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            sum = sum + colourAt(x + (i + 0.5) / n, y + (j + 0.5) / n);
    return sum * (1.0 / (n * n));
}
