// A small floating-point RGBA canvas for drawing the program's pictures: shapes are
// signed-distance functions, so every edge is anti-aliased without supersampling.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace qr::formgen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

Rgba hex(std::uint32_t rgb, float alpha = 1.0f);
Rgba mix(const Rgba& a, const Rgba& b, float t);

class Canvas {
public:
    Canvas(int width, int height, Rgba fill = {0, 0, 0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba& at(int x, int y) { return pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]; }
    const Rgba& at(int x, int y) const { return pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]; }

    // Paints every pixel with colour(x, y) (pixel centres), composited over what is there.
    void shade(const std::function<Rgba(float x, float y)>& colour);
    // Fills the shape whose signed distance (pixels, negative inside) is `distance`,
    // with `softness` pixels of blur on its edge.
    void fill(const std::function<float(float x, float y)>& distance, const Rgba& colour, float softness = 1.0f);

    // 8-bit output: RGB rows top-down, and BGRA rows top-down.
    std::vector<std::uint8_t> rgb8() const;
    std::vector<std::uint8_t> bgra8() const;

private:
    void blend(int x, int y, const Rgba& c, float coverage);
    int width_, height_;
    std::vector<Rgba> pixels_;
};

// Signed distances (negative inside).
float circleDistance(float x, float y, float cx, float cy, float r);
float ellipseDistance(float x, float y, float cx, float cy, float rx, float ry);
float roundedBoxDistance(float x, float y, float cx, float cy, float halfW, float halfH, float radius);
float capsuleDistance(float x, float y, float ax, float ay, float bx, float by, float r);

} // namespace qr::formgen
