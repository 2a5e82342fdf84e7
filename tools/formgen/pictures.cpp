#include "tools/formgen/pictures.h"

#include <algorithm>
#include <cmath>

namespace qr::formgen {
namespace {

// A head-and-shoulders silhouette, laid out in proportion to the picture.
void drawSilhouette(Canvas& c, const Rgba& body, const Rgba& head, const Rgba& hair, const Rgba& collar)
{
    const float w = float(c.width()), h = float(c.height());
    const float s = std::min(w, h * 0.82f);
    const float edge = s / 250.0f + 1.0f;
    const float cx = w / 2;
    const float headY = h * 0.38f;
    const float headBottom = headY + s * 0.185f;
    const float shoulderTop = headBottom + s * 0.09f;
    // neck, drawn first so the shoulders and the chin cover its ends
    c.fill(
        [&](float x, float y) {
            const float mid = (headBottom - s * 0.04f + shoulderTop + s * 0.04f) / 2;
            const float half = (shoulderTop - headBottom + s * 0.08f) / 2;
            return roundedBoxDistance(x, y, cx, mid, s * 0.065f, half, s * 0.03f);
        },
        mix(head, {0, 0, 0, 1}, 0.08f), edge);
    // the body: rounded shoulders with straight sides running out of the picture
    c.fill([&](float x, float y) { return roundedBoxDistance(x, y, cx, shoulderTop + h, s * 0.46f, h, s * 0.3f); },
           body, edge);
    // collar: two bands meeting below the neck
    for (float side : {-1.0f, 1.0f})
        c.fill(
            [&](float x, float y) {
                return capsuleDistance(x, y, cx + side * s * 0.11f, shoulderTop + s * 0.015f, cx,
                                       shoulderTop + s * 0.10f, s * 0.022f);
            },
            collar, edge);
    c.fill([&](float x, float y) { return ellipseDistance(x, y, cx, headY, s * 0.15f, s * 0.185f); }, head, edge);
    // hair: a cap over the head whose fringe is higher in the middle than at the sides
    c.fill(
        [&](float x, float y) {
            const float cap = ellipseDistance(x, y, cx, headY - s * 0.025f, s * 0.163f, s * 0.182f);
            const float u = (x - cx) / (s * 0.16f);
            const float fringe = y - (headY - s * 0.075f + s * 0.07f * u * u);
            return std::max(cap, fringe);
        },
        hair, edge);
}

} // namespace

Canvas drawStartupPicture(int width, int height)
{
    Canvas c(width, height);
    const float w = float(width), h = float(height);
    const Rgba top = hex(0x1D4E6E), middle = hex(0x3F86A6), bottom = hex(0xCFE8EC);
    c.shade([&](float, float y) {
        const float t = y / h;
        return t < 0.55f ? mix(top, middle, t / 0.55f) : mix(middle, bottom, (t - 0.55f) / 0.45f);
    });
    // soft light circles
    struct Glow {
        float x, y, r, a;
    };
    for (const Glow g :
         {Glow{0.15f, 0.18f, 0.22f, 0.10f}, Glow{0.82f, 0.12f, 0.30f, 0.08f}, Glow{0.70f, 0.48f, 0.18f, 0.07f},
          Glow{0.25f, 0.62f, 0.26f, 0.06f}, Glow{0.92f, 0.70f, 0.14f, 0.09f}})
        c.fill([&](float x, float y) { return circleDistance(x, y, g.x * w, g.y * h, g.r * w); }, hex(0xFFFFFF, g.a),
               w * 0.08f);
    // calm hills along the bottom
    c.fill([&](float x, float y) { return (h * 0.74f + std::sin(x / w * 5.2f + 0.6f) * h * 0.035f) - y; },
           hex(0x8CC3B8, 0.75f), 3.0f);
    c.fill([&](float x, float y) { return (h * 0.82f + std::sin(x / w * 3.7f + 2.1f) * h * 0.03f) - y; },
           hex(0x5FA394, 0.85f), 3.0f);
    c.fill([&](float x, float y) { return (h * 0.90f + std::sin(x / w * 6.3f + 4.0f) * h * 0.02f) - y; },
           hex(0x3F7F73, 0.9f), 3.0f);
    // a bright band behind the class name field
    c.fill([&](float x,
               float y) { return roundedBoxDistance(x, y, w * 0.5f, h * 0.475f, w * 0.45f, h * 0.095f, w * 0.04f); },
           hex(0xFFFFFF, 0.16f), w * 0.01f);
    // emblem: an open book on a light disc
    const float ex = w * 0.5f, ey = h * 0.2f, er = w * 0.095f;
    c.fill([&](float x, float y) { return circleDistance(x, y, ex, ey + er * 0.06f, er * 1.04f); },
           hex(0x0B2A3D, 0.25f), w * 0.012f);
    c.fill([&](float x, float y) { return circleDistance(x, y, ex, ey, er); }, hex(0xF7FBFC, 0.95f), 1.5f);
    const Rgba ink = hex(0x1D4E6E);
    for (int side : {-1, 1}) {
        const float px = ex + float(side) * er * 0.33f;
        c.fill(
            [&](float x, float y) {
                // pages lean outwards a little
                const float lean = (y - ey) * 0.12f * float(side);
                return roundedBoxDistance(x - lean, y, px, ey, er * 0.28f, er * 0.40f, er * 0.06f);
            },
            ink, 1.5f);
        for (int line = 0; line < 3; ++line) {
            const float ly = ey - er * 0.18f + float(line) * er * 0.18f;
            c.fill(
                [&](float x, float y) {
                    const float lean = (y - ey) * 0.12f * float(side);
                    return capsuleDistance(x - lean, y, px - er * 0.17f, ly, px + er * 0.17f, ly, er * 0.025f);
                },
                hex(0xF7FBFC, 0.9f), 1.5f);
        }
    }
    return c;
}

Canvas drawProgramIcon(int size)
{
    Canvas c(size, size);
    const float s = float(size);
    const Rgba top = hex(0x2A9D8F), bottom = hex(0x1F5F7A);
    const auto tile = [&](float x, float y) {
        return roundedBoxDistance(x, y, s / 2, s / 2, s * 0.46f, s * 0.46f, s * 0.2f);
    };
    // gradient tile: shade through the tile's coverage
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
            const float coverage = std::clamp(0.5f - tile(fx, fy), 0.0f, 1.0f);
            Rgba col = mix(top, bottom, fy / s);
            col.a = coverage;
            c.at(x, y) = col;
        }
    // card with a soft shadow
    c.fill(
        [&](float x, float y) { return roundedBoxDistance(x, y, s * 0.5f, s * 0.53f, s * 0.3f, s * 0.24f, s * 0.06f); },
        hex(0x0B2A3D, 0.35f), s * 0.05f);
    c.fill(
        [&](float x, float y) { return roundedBoxDistance(x, y, s * 0.5f, s * 0.5f, s * 0.3f, s * 0.24f, s * 0.06f); },
        hex(0xFFFFFF), 1.0f);
    // a person on the left of the card
    const Rgba person = hex(0x1F5F7A);
    c.fill([&](float x, float y) { return circleDistance(x, y, s * 0.33f, s * 0.43f, s * 0.065f); }, person, 1.0f);
    c.fill(
        [&](float x, float y) {
            return std::max(ellipseDistance(x, y, s * 0.33f, s * 0.62f, s * 0.11f, s * 0.10f), y - s * 0.66f);
        },
        person, 1.0f);
    // roster lines on the right
    for (int i = 0; i < 3; ++i) {
        const float ly = s * (0.40f + 0.1f * float(i));
        const float end = i == 2 ? s * 0.62f : s * 0.70f;
        c.fill([&](float x, float y) { return capsuleDistance(x, y, s * 0.48f, ly, end, ly, s * 0.022f); },
               hex(0x2A9D8F), 1.0f);
    }
    return c;
}

Canvas drawSamplePhoto(int width, int height)
{
    Canvas c(width, height);
    const float h = float(height);
    const Rgba top = hex(0xA9CCE3), bottom = hex(0xE3EEF5);
    c.shade([&](float, float y) { return mix(top, bottom, y / h); });
    drawSilhouette(c, hex(0x2E4A62), hex(0xE8C4A6), hex(0x4A3A31), hex(0xFFFFFF));
    return c;
}

Canvas drawPlaceholderPhoto(int width, int height)
{
    Canvas c(width, height, hex(0xF2F4F5));
    const float w = float(width), h = float(height);
    drawSilhouette(c, hex(0xC9D0D5), hex(0xD8DDE1), hex(0xBCC4CA), hex(0xE6EAEC));
    // a thin frame so the empty box reads as "photo goes here"
    c.fill([&](float x,
               float y) { return std::fabs(roundedBoxDistance(x, y, w / 2, h / 2, w / 2 - 4, h / 2 - 4, 6)) - 1.0f; },
           hex(0xB8C0C6), 1.0f);
    return c;
}

} // namespace qr::formgen
