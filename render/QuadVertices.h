#pragma once
// QuadVertices: four corners with texture coordinates, the common currency
// for rectangles in the render base (view quads, the fitted picture of a
// ScreenInfo, screen quads).
//
// Corners are in triangle-strip order: bottom-left, top-left, bottom-right,
// top-right (y grows downward, so "bottom" has the larger y). The z of a
// corner becomes the reciprocal w of pre-transformed vertices.

#include <array>

namespace gfx {
class Device;
}

struct QuadVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 1.0f;
    float u = 0.0f;
    float v = 0.0f;

    friend bool operator==(const QuadVertex&, const QuadVertex&) = default;
};

struct QuadVertices {
    // Every x and y 0, every z 1, texture coordinates (0, 1), (0, 0), (1, 1),
    // (1, 0): the whole texture over a quad still to be placed.
    std::array<QuadVertex, 4> vertices{{
        {0.0f, 0.0f, 1.0f, 0.0f, 1.0f},
        {0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
        {0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
        {0.0f, 0.0f, 1.0f, 1.0f, 0.0f},
    }};

    // Places the corners on the rectangle (x, y, width, height); z and the
    // texture coordinates stay.
    void SetRect(float x, float y, float width, float height)
    {
        vertices[0].x = x;
        vertices[0].y = y + height;
        vertices[1].x = x;
        vertices[1].y = y;
        vertices[2].x = x + width;
        vertices[2].y = y + height;
        vertices[3].x = x + width;
        vertices[3].y = y;
    }

    // The default quad placed over the whole back buffer: (0, H), (0, 0),
    // (W, H), (W, 0) with W x H the back buffer's size (0 x 0 without one).
    void FillTarget(const gfx::Device& device);

    // Maps the corners from a space of a x b onto the back buffer: every x
    // times W / a, every y times H / b. An axis whose size is not positive
    // is left as it is (there is no space to map from).
    void ScaleToTarget(const gfx::Device& device, int a, int b);
    // The same arithmetic for a target of targetWidth x targetHeight.
    void ScaleToSize(float targetWidth, float targetHeight, int a, int b);

    static QuadVertices FromRect(float x, float y, float width, float height)
    {
        QuadVertices quad;
        quad.SetRect(x, y, width, height);
        return quad;
    }

    friend bool operator==(const QuadVertices&, const QuadVertices&) = default;
};
