#include "tools/formgen/canvas.h"

#include <algorithm>
#include <cmath>

namespace qr::formgen {

Rgba hex(std::uint32_t rgb, float alpha)
{
    return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f, alpha};
}

Rgba mix(const Rgba& a, const Rgba& b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width)
    , height_(height)
    , pixels_(std::size_t(width) * std::size_t(height), fill)
{}

void Canvas::blend(int x, int y, const Rgba& c, float coverage)
{
    const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (a <= 0.0f)
        return;
    Rgba& d = at(x, y);
    const float outA = a + d.a * (1.0f - a);
    if (outA <= 0.0f) {
        d = {0, 0, 0, 0};
        return;
    }
    d.r = (c.r * a + d.r * d.a * (1.0f - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1.0f - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1.0f - a)) / outA;
    d.a = outA;
}

void Canvas::shade(const std::function<Rgba(float, float)>& colour)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            blend(x, y, colour(float(x) + 0.5f, float(y) + 0.5f), 1.0f);
}

void Canvas::fill(const std::function<float(float, float)>& distance, const Rgba& colour, float softness)
{
    softness = std::max(softness, 0.5f);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const float d = distance(float(x) + 0.5f, float(y) + 0.5f);
            const float coverage = std::clamp(0.5f - d / softness, 0.0f, 1.0f);
            if (coverage > 0.0f)
                blend(x, y, colour, coverage);
        }
}

namespace {
std::uint8_t to8(float v) { return std::uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }
} // namespace

std::vector<std::uint8_t> Canvas::rgb8() const
{
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 3);
    for (const auto& p : pixels_) {
        // Flatten onto white: JPEG has no transparency.
        const Rgba f = mix({1, 1, 1, 1}, {p.r, p.g, p.b, 1}, p.a);
        out.push_back(to8(f.r));
        out.push_back(to8(f.g));
        out.push_back(to8(f.b));
    }
    return out;
}

std::vector<std::uint8_t> Canvas::bgra8() const
{
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 4);
    for (const auto& p : pixels_) {
        out.push_back(to8(p.b));
        out.push_back(to8(p.g));
        out.push_back(to8(p.r));
        out.push_back(to8(p.a));
    }
    return out;
}

float circleDistance(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float ellipseDistance(float x, float y, float cx, float cy, float rx, float ry)
{
    const float k = std::hypot((x - cx) / rx, (y - cy) / ry);
    return (k - 1.0f) * std::min(rx, ry);
}

float roundedBoxDistance(float x, float y, float cx, float cy, float halfW, float halfH, float radius)
{
    const float qx = std::fabs(x - cx) - halfW + radius;
    const float qy = std::fabs(y - cy) - halfH + radius;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    const float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - radius;
}

float capsuleDistance(float x, float y, float ax, float ay, float bx, float by, float r)
{
    const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - r;
}

} // namespace qr::formgen
