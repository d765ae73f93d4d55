// orvanta-makepictures FOLDER
//
// Draws the pictures of the shared resource module into FOLDER (normally
// resources/common_res/), named as the module packer expects:
//   DDS-5-default-background.png   the background a slide shows when it
//                                  has none of its own: a dusk sky over hills
//   DDS-6-butterfly-body.png       the butterfly body's picture (also the
//                                  camera's default link): a dark, furry
//                                  body banded across v, the head at v = 0
//   DDS-2016-sound-preview.png     the preview picture of sound objects: a
//                                  loudspeaker
//   DDS-123-light-beam.png         a soft white beam of the radial rays: u
//                                  runs from the root (left) to the tip
//                                  (right), v across; opaque along the
//                                  middle, fading across it and to the tip
//   DDS-124-narrow-light-beam.png  the same beam, narrower
//   DDS-71-clock-face.png          the clock face: a round dial with hour
//                                  marks, 12 at the top, transparent outside
//   DDS-72-clock-hand.png          a clock hand: a dark bar along v, its tip
//                                  at v = 0, filling the width so that it
//                                  stays readable squeezed to a few pixels
//   DDS-89-water-bump.png          the water effect's bump picture: a
//                                  tileable smooth height field as a normal
//                                  map (x, y, z from -1..1 to 0..255)
//   DDS-95-discharge.png           one segment of the glowing discharge: a
//                                  horizontal bolt with soft alpha edges
//                                  and a nearly white core, two frames
//                                  stacked (v 0..0.5 and 0.5..1), its end
//                                  caps in the outer 19.5 % of u
//   DDS-98-thin-discharge.png      the same in a thinner, more jagged style
//   DDS-8-fire-noise.png           the fire's turbulence: tileable smooth
//                                  noise in red and green
//   DDS-93-fire-pattern.png        the fire effect's flame: bright at the
//                                  bottom centre, fading upward, tileable
//                                  across
//   DDS-7-flame-tongues.png        the flame light's fire: a row of flame
//                                  tongues across the width
//   DDS-62-heat-bump.png           the heat shimmer's displacement map:
//                                  tileable smooth noise in red and green
//   DDS-40-matrix-glyphs.png       the matrix code's glyph strip: 64 glyphs
//                                  of 32 x 31 pixels stacked (32 x 1984),
//                                  white on transparent; each a random
//                                  symmetric 5 x 7 bitmap scaled up
//   DDS-58-glass-ball-highlight.png, DDS-59-glass-ball-glint.png
//                                  the glass ball's highlights: soft white
//                                  shapes with alpha over the ball's square
//   DDS-184-glass-ball-stand.set   the glass ball's stand as a texture set
//                                  (no values, one record holding a PNG)
// Everything is computed from code, so the output is the same on every run.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <stb/stb_image_write.h>
}

namespace {

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

Colour Mix(const Colour& x, const Colour& y, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// Paints `top` over `bottom` with the top colour's alpha scaled by coverage.
Colour Over(const Colour& bottom, const Colour& top, float coverage)
{
    const float a = std::clamp(top.a * coverage, 0.0f, 1.0f);
    const float outA = a + bottom.a * (1 - a);
    if (outA <= 0)
        return {0, 0, 0, 0};
    auto channel = [&](float t, float b) { return (t * a + b * bottom.a * (1 - a)) / outA; };
    return {channel(top.r, bottom.r), channel(top.g, bottom.g), channel(top.b, bottom.b), outA};
}

class Canvas {
public:
    Canvas(int width, int height, Colour fill) : m_width(width), m_height(height), m_pixels(std::size_t(width) * height, fill) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Every pixel := f(x, y) with x, y at the pixel centre.
    void Shade(const std::function<Colour(float, float)>& f)
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                m_pixels[std::size_t(y) * m_width + x] = f(x + 0.5f, y + 0.5f);
    }

    // Paints `colour` where `inside` holds, anti-aliased by 4 x 4 samples.
    void Fill(const std::function<bool(float, float)>& inside, Colour colour)
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
                if (hits == 0)
                    continue;
                Colour& pixel = m_pixels[std::size_t(y) * m_width + x];
                pixel = Over(pixel, colour, hits / 16.0f);
            }
    }

    bool SavePng(const std::string& path) const
    {
        std::vector<std::uint8_t> rgba;
        rgba.reserve(m_pixels.size() * 4);
        auto byte = [](float v) { return std::uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
        for (const Colour& c : m_pixels) {
            rgba.push_back(byte(c.r));
            rgba.push_back(byte(c.g));
            rgba.push_back(byte(c.b));
            rgba.push_back(byte(c.a));
        }
        return stbi_write_png(path.c_str(), m_width, m_height, 4, rgba.data(), m_width * 4) != 0;
    }

private:
    int m_width, m_height;
    std::vector<Colour> m_pixels;
};

Colour Rgb(int r, int g, int b, float a = 1) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }

// A dusk sky over two ranges of hills, the sun low behind the far range.
Canvas DefaultBackground()
{
    Canvas canvas(1024, 768, Rgb(0, 0, 0));
    const float w = float(canvas.Width()), h = float(canvas.Height());
    const float horizon = h * 0.68f;
    const float sunX = w * 0.62f, sunY = horizon - h * 0.04f;
    canvas.Shade([&](float x, float y) {
        const float t = y / horizon;
        Colour sky = t < 0.55f ? Mix(Rgb(18, 30, 72), Rgb(92, 72, 128), t / 0.55f)
                               : Mix(Rgb(92, 72, 128), Rgb(246, 160, 96), (t - 0.55f) / 0.45f);
        const float d = std::hypot(x - sunX, (y - sunY) * 1.4f) / h;
        sky = Over(sky, Rgb(255, 214, 150), std::exp(-d * d * 40.0f) * 0.9f);
        return sky;
    });
    canvas.Fill([&](float x, float y) { return std::hypot(x - sunX, y - sunY) < h * 0.045f; }, Rgb(255, 236, 190));
    auto far = [&](float x) {
        return horizon - h * (0.06f + 0.035f * std::sin(x / w * 7.1f + 0.4f) + 0.02f * std::sin(x / w * 17.3f));
    };
    auto near = [&](float x) {
        return horizon + h * (0.04f + 0.05f * std::sin(x / w * 4.3f + 2.0f) + 0.015f * std::sin(x / w * 13.7f + 1.0f));
    };
    canvas.Fill([&](float x, float y) { return y > far(x); }, Rgb(74, 58, 96));
    canvas.Fill([&](float x, float y) { return y > near(x); }, Rgb(32, 28, 48));
    return canvas;
}

// A dark body, lighter along the middle and banded across, the head (v = 0)
// a little darker: opaque, as the body is drawn without blending.
Canvas ButterflyBody()
{
    Canvas canvas(64, 128, Rgb(0, 0, 0));
    canvas.Shade([](float x, float y) {
        const float across = std::abs(x / 64.0f - 0.5f) * 2.0f;
        const float v = y / 128.0f;
        const float band = 0.75f + 0.25f * std::cos(v * 6.2831853f * 5.0f);
        const float light = (1.0f - 0.6f * across * across) * band * (v < 0.3f ? 0.7f : 1.0f);
        return Mix(Rgb(20, 14, 10), Rgb(120, 88, 54), light);
    });
    return canvas;
}

// A cream dial with a dark rim, twelve hour marks (longer at 12, 3, 6 and
// 9) and a centre cap; transparent outside the rim.
Canvas ClockFace()
{
    constexpr float kSide = 256, kCentre = kSide / 2, kRadius = 124;
    Canvas canvas(static_cast<int>(kSide), static_cast<int>(kSide), {0, 0, 0, 0});
    canvas.Fill([&](float x, float y) { return std::hypot(x - kCentre, y - kCentre) < kRadius; }, Rgb(40, 36, 48));
    canvas.Fill([&](float x, float y) { return std::hypot(x - kCentre, y - kCentre) < kRadius - 8; },
                Rgb(246, 238, 214));
    auto mark = [&](float x, float y) {
        const float dx = x - kCentre, dy = y - kCentre;
        const float r = std::hypot(dx, dy);
        // The angle from 12 o'clock, clockwise, folded onto the nearest hour.
        const float hours = std::atan2(dx, -dy) / 6.2831853f * 12.0f;
        const float nearest = std::round(hours);
        const bool quarter = int(std::lround(nearest + 12)) % 3 == 0;
        const float across = std::abs(hours - nearest) * 6.2831853f / 12.0f * r;
        const float inner = quarter ? 84.0f : 96.0f;
        return r > inner && r < kRadius - 14 && across < (quarter ? 4.0f : 2.5f);
    };
    canvas.Fill(mark, Rgb(40, 36, 48));
    canvas.Fill([&](float x, float y) { return std::hypot(x - kCentre, y - kCentre) < 7; }, Rgb(40, 36, 48));
    return canvas;
}

// A dark bar over the whole width, pointed at its tip (v = 0).
Canvas ClockHand()
{
    constexpr float kWidth = 16, kHeight = 128, kTip = 24;
    Canvas canvas(static_cast<int>(kWidth), static_cast<int>(kHeight), {0, 0, 0, 0});
    canvas.Fill(
        [&](float x, float y) {
            const float half = y < kTip ? (kWidth / 2) * (y / kTip) : kWidth / 2;
            return std::abs(x - kWidth / 2) <= half;
        },
        Rgb(24, 22, 32));
    return canvas;
}

// A loudspeaker with two sound arcs, white on a rounded teal square.
Canvas SoundPreview()
{
    Canvas canvas(64, 64, {0, 0, 0, 0});
    canvas.Fill(
        [](float x, float y) {
            const float dx = std::max(std::abs(x - 32) - 22, 0.0f), dy = std::max(std::abs(y - 32) - 22, 0.0f);
            return dx * dx + dy * dy < 64;
        },
        Rgb(28, 128, 140));
    auto speaker = [](float x, float y) {
        const bool box = x >= 14 && x < 22 && y >= 25 && y < 39;
        const float flare = (x - 22) * 0.9f; // the cone widens to the right
        const bool cone = x >= 22 && x < 32 && std::abs(y - 32) < 7 + flare;
        return box || cone;
    };
    auto arcs = [](float x, float y) {
        if (x < 34)
            return false;
        const float r = std::hypot(x - 30, y - 32);
        const float angle = std::abs(std::atan2(y - 32, x - 30));
        return angle < 0.8f && ((r > 8 && r < 11) || (r > 14 && r < 17));
    };
    canvas.Fill(speaker, Rgb(255, 255, 255));
    canvas.Fill(arcs, Rgb(255, 255, 255));
    return canvas;
}

// A white beam whose alpha is a bell across v (of the given half width, as a
// fraction of the height) times a fade from the root to the tip along u.
Canvas Beam(int width, int height, float halfWidth)
{
    Canvas canvas(width, height, Rgb(255, 255, 255, 0));
    canvas.Shade([&](float x, float y) {
        const float u = x / float(width);
        const float across = (y / float(height) - 0.5f) / halfWidth;
        const float bell = std::exp(-across * across * 2.5f);
        const float rise = std::clamp(u / 0.04f, 0.0f, 1.0f);
        const float fade = std::pow(1.0f - u, 1.4f);
        return Rgb(255, 255, 255, std::clamp(bell * rise * fade, 0.0f, 1.0f));
    });
    return canvas;
}

// Ripples: a sum of waves whose periods divide the tile, so the picture
// tiles without a seam; its slopes give the normals.
Canvas WaterBump()
{
    constexpr int kSide = 256;
    constexpr float kTwoPi = 6.2831853f;
    struct Wave {
        float kx, ky, amplitude, phase;
    };
    static const Wave waves[] = {{1, 2, 1.0f, 0.3f}, {3, -1, 0.6f, 1.7f}, {-2, 3, 0.5f, 4.1f},
                                 {5, 4, 0.25f, 2.2f}, {-6, 1, 0.2f, 5.0f}, {2, -7, 0.15f, 0.9f}};
    Canvas canvas(kSide, kSide, {0.5f, 0.5f, 1.0f, 1.0f});
    canvas.Shade([&](float x, float y) {
        float dx = 0, dy = 0;
        for (const Wave& w : waves) {
            const float arg = kTwoPi * (w.kx * x + w.ky * y) / kSide + w.phase;
            const float slope = w.amplitude * std::cos(arg) * kTwoPi / kSide * 12.0f;
            dx += slope * w.kx;
            dy += slope * w.ky;
        }
        const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
        return Colour{(-dx / length + 1) * 0.5f, (-dy / length + 1) * 0.5f, (1 / length + 1) * 0.5f, 1.0f};
    });
    return canvas;
}

// A bolt along u in each of two frames stacked along v: a wavy centre line
// (waves whose periods divide the segment, so segments join), a bright
// core, a soft halo; the ends taper to round caps within the outer 19.5 %.
Canvas Discharge(float coreWidth, float haloWidth, float wiggle, int waves)
{
    constexpr int kWidth = 256;
    constexpr int kFrameHeight = 32;
    constexpr float kCap = 0.195f;
    constexpr float kTwoPi = 6.2831853f;
    Canvas canvas(kWidth, kFrameHeight * 2, Rgb(255, 255, 255, 0));
    canvas.Shade([&](float x, float y) {
        const int frame = y < kFrameHeight ? 0 : 1;
        const float u = x / float(kWidth);
        const float v = (y - float(frame * kFrameHeight)) / float(kFrameHeight);
        const float phase = frame == 0 ? 0.4f : 2.3f;
        const float centre = 0.5f + wiggle * std::sin(kTwoPi * float(waves) * u + phase) *
                                        std::sin(kTwoPi * 0.5f * u) +
                             0.5f * wiggle * std::sin(kTwoPi * float(waves * 2 + 1) * u + phase * 2.0f);
        const float taper = std::min(std::clamp(u / kCap, 0.0f, 1.0f), std::clamp((1.0f - u) / kCap, 0.0f, 1.0f));
        const float cap = std::sqrt(taper);
        const float across = std::fabs(v - centre);
        const float core = std::exp(-std::pow(across / (coreWidth * cap + 1e-4f), 2.0f));
        const float halo = std::exp(-std::pow(across / (haloWidth * cap + 1e-4f), 2.0f));
        const float alpha = std::clamp(std::max(core, halo * 0.6f) * std::min(1.0f, taper * 3.0f), 0.0f, 1.0f);
        return Mix(Colour{0.78f, 0.86f, 1.0f, alpha}, Colour{1.0f, 1.0f, 1.0f, alpha}, core);
    });
    return canvas;
}

Canvas DischargePicture()
{
    return Discharge(0.06f, 0.2f, 0.08f, 3);
}

Canvas ThinDischargePicture()
{
    return Discharge(0.035f, 0.12f, 0.14f, 5);
}

Canvas LightBeam()
{
    return Beam(256, 64, 0.32f);
}

Canvas NarrowLightBeam()
{
    return Beam(256, 64, 0.16f);
}


// ---- fire, heat and glyph pictures

// A hash of a lattice point to 0..1, the same on every run.
float LatticeValue(int x, int y, int seed)
{
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u + std::uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xFFFFu) / 65535.0f;
}

// Smooth value noise over a lattice of `cells` cells that wraps at the
// picture's edges, in 0..1; octaves halve the cell size.
float TileableNoise(float x, float y, int side, int cells, int octaves, int seed)
{
    float sum = 0, weight = 0, amplitude = 1;
    for (int o = 0; o < octaves; ++o, cells *= 2, amplitude *= 0.5f) {
        const float fx = x / side * cells, fy = y / side * cells;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        auto smooth = [](float t) { return t * t * (3 - 2 * t); };
        const float tx = smooth(fx - x0), ty = smooth(fy - y0);
        auto at = [&](int cx, int cy) { return LatticeValue(((cx % cells) + cells) % cells, ((cy % cells) + cells) % cells, seed + o); };
        const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
        const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
        sum += (top + (bottom - top) * ty) * amplitude;
        weight += amplitude;
    }
    return sum / weight;
}

// Noise in red and green (two independent fields), blue 0, opaque.
Canvas TwoChannelNoise(int cells, int seedRed, int seedGreen)
{
    constexpr int kSide = 256;
    Canvas canvas(kSide, kSide, {0, 0, 0, 1});
    canvas.Shade([&](float x, float y) {
        return Colour{TileableNoise(x, y, kSide, cells, 4, seedRed), TileableNoise(x, y, kSide, cells, 4, seedGreen), 0, 1};
    });
    return canvas;
}

Canvas FireNoise()
{
    return TwoChannelNoise(4, 11, 23);
}

Canvas HeatBump()
{
    return TwoChannelNoise(8, 37, 41);
}

// `tongues` flames across the width, each brightest at its bottom centre
// and narrowing upward; the width is a whole number of tongues, so the
// picture tiles across. White, strength in red (and alpha).
Canvas FlameRow(int width, int height, int tongues)
{
    Canvas canvas(width, height, {0, 0, 0, 1});
    canvas.Shade([&](float x, float y) {
        const float period = float(width) / tongues;
        const float across = std::fmod(x, period) / period - 0.5f; // -0.5..0.5
        const float up = 1.0f - y / height;                         // 0 bottom, 1 top
        const float halfWidth = 0.5f * (1.0f - up) * (1.0f - up) + 0.02f;
        const float side = std::clamp(1.0f - std::abs(across) / halfWidth, 0.0f, 1.0f);
        const float v = std::clamp(side * (1.0f - up * 0.9f), 0.0f, 1.0f);
        return Colour{v, v, v, 1};
    });
    return canvas;
}

Canvas FirePattern()
{
    return FlameRow(128, 256, 1);
}

Canvas FlameTongues()
{
    return FlameRow(512, 256, 6);
}

// 64 glyphs of 32 x 31 pixels: each a 5 x 7 bitmap, left half random and
// mirrored, scaled up 5 times and centred in its slice.
Canvas MatrixGlyphs()
{
    constexpr int kWidth = 32, kSliceHeight = 31, kGlyphs = 64, kScale = 5;
    Canvas canvas(kWidth, kSliceHeight * kGlyphs, {1, 1, 1, 0});
    std::uint32_t state = 20250101u;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFFu;
    };
    for (int g = 0; g < kGlyphs; ++g) {
        bool bits[7][5] = {};
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 3; ++c)
                bits[r][c] = bits[r][4 - c] = next() % 2 == 1;
        const int left = (kWidth - 5 * kScale) / 2;
        const int top = g * kSliceHeight + (kSliceHeight - 7 * 4) / 2;
        // 5 wide by 7 tall, cells 5 x 4 pixels: 25 x 28 inside 32 x 31.
        canvas.Fill([&](float x, float y) {
            const int c = int(std::floor((x - left) / kScale));
            const int r = int(std::floor((y - top) / 4));
            return c >= 0 && c < 5 && r >= 0 && r < 7 && bits[r][c];
        }, {1, 1, 1, 1});
    }
    return canvas;
}

// ---- the glass ball's overlays and stand ----------------------------------
//
// The overlays are drawn over the ball's quad, whose disc fills the square
// but for its outermost ring: soft white highlights with alpha, a broad
// crescent at the top left and a small glint at the bottom right.

Canvas GlassBallHighlight(float centreX, float centreY, float radiusX, float radiusY, float strength)
{
    constexpr int kSide = 256;
    Canvas canvas(kSide, kSide, Rgb(255, 255, 255, 0));
    canvas.Shade([&](float x, float y) {
        const float dx = (x / kSide - centreX) / radiusX, dy = (y / kSide - centreY) / radiusY;
        const float d = std::sqrt(dx * dx + dy * dy);
        const float glow = std::clamp(1.0f - d, 0.0f, 1.0f);
        return Rgb(255, 255, 255, strength * glow * glow);
    });
    return canvas;
}

Canvas GlassBallHighlight1()
{
    return GlassBallHighlight(0.34f, 0.28f, 0.22f, 0.13f, 0.8f);
}

Canvas GlassBallHighlight2()
{
    return GlassBallHighlight(0.7f, 0.74f, 0.08f, 0.06f, 0.6f);
}

// The stand: a dark wooden base whose top is curved to hold the ball.
Canvas GlassBallStand()
{
    constexpr int kWidth = 256, kHeight = 128;
    Canvas canvas(kWidth, kHeight, Rgb(0, 0, 0, 0));
    canvas.Fill([](float x, float y) {
        const float u = x / kWidth - 0.5f, v = y / kHeight;
        const float top = 0.25f - 0.2f * std::cos(u * 3.14159f);
        return v > top && std::fabs(u) < 0.42f - 0.12f * v;
    }, Rgb(92, 56, 30));
    // A lighter band along the curved top.
    canvas.Fill([](float x, float y) {
        const float u = x / kWidth - 0.5f, v = y / kHeight;
        const float top = 0.25f - 0.2f * std::cos(u * 3.14159f);
        return v > top && v < top + 0.06f && std::fabs(u) < 0.42f - 0.12f * v;
    }, Rgb(150, 104, 62));
    return canvas;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

// A wide string as the document archive stores it: markers, length, UTF-16.
void PutWideString(std::vector<std::uint8_t>& out, const std::u16string& text)
{
    out.insert(out.end(), {0xFF, 0xFE, 0xFF, std::uint8_t(text.size())});
    for (char16_t unit : text) {
        out.push_back(std::uint8_t(unit));
        out.push_back(std::uint8_t(unit >> 8));
    }
}

// The stand as a texture set: no values, one record (resource id 0, no
// module, the picture's bytes and name).
bool WriteGlassBallStandSet(const std::string& folder)
{
    const std::string scratch = folder + "/.glass-ball-stand.png";
    if (!GlassBallStand().SavePng(scratch))
        return false;
    std::vector<std::uint8_t> png;
    if (std::FILE* file = std::fopen(scratch.c_str(), "rb")) {
        int c = 0;
        while ((c = std::fgetc(file)) != EOF)
            png.push_back(std::uint8_t(c));
        std::fclose(file);
    }
    std::remove(scratch.c_str());
    if (png.empty())
        return false;
    std::vector<std::uint8_t> set;
    PutU32(set, 0); // values
    PutU32(set, 1); // records
    PutU32(set, 0); // resource id
    PutWideString(set, u"");
    PutU32(set, std::uint32_t(png.size()));
    set.insert(set.end(), png.begin(), png.end());
    PutWideString(set, u"glass-ball-stand.png");
    const std::string path = folder + "/DDS-184-glass-ball-stand.set";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(set.data(), 1, set.size(), out) == set.size();
    return std::fclose(out) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: orvanta-makepictures FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        Canvas (*draw)();
    } pictures[] = {
        {"DDS-5-default-background.png", DefaultBackground},
        {"DDS-6-butterfly-body.png", ButterflyBody},
        {"DDS-71-clock-face.png", ClockFace},
        {"DDS-72-clock-hand.png", ClockHand},
        {"DDS-2016-sound-preview.png", SoundPreview},
        {"DDS-123-light-beam.png", LightBeam},
        {"DDS-124-narrow-light-beam.png", NarrowLightBeam},
        {"DDS-89-water-bump.png", WaterBump},
        {"DDS-95-discharge.png", DischargePicture},
        {"DDS-98-thin-discharge.png", ThinDischargePicture},
        {"DDS-8-fire-noise.png", FireNoise},
        {"DDS-93-fire-pattern.png", FirePattern},
        {"DDS-7-flame-tongues.png", FlameTongues},
        {"DDS-62-heat-bump.png", HeatBump},
        {"DDS-40-matrix-glyphs.png", MatrixGlyphs},
        {"DDS-58-glass-ball-highlight.png", GlassBallHighlight1},
        {"DDS-59-glass-ball-glint.png", GlassBallHighlight2},
    };
    for (const auto& picture : pictures) {
        const std::string path = folder + "/" + picture.name;
        if (!picture.draw().SavePng(path)) {
            std::fprintf(stderr, "orvanta-makepictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    if (!WriteGlassBallStandSet(folder)) {
        std::fprintf(stderr, "orvanta-makepictures: cannot write the glass ball's stand\n");
        return 1;
    }
    return 0;
}
