// Colours: hue, saturation and brightness to RGB, and vertex colour packing.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>

#include "objectmodel/SmartColor.h"

namespace {

struct Rgb {
    float r, g, b;
};

void ExpectColor(const SmartColorHSB& color, const Rgb& expected)
{
    EXPECT_FLOAT_EQ(color.r, expected.r);
    EXPECT_FLOAT_EQ(color.g, expected.g);
    EXPECT_FLOAT_EQ(color.b, expected.b);
    EXPECT_EQ(color.a, 1.0f);
}

TEST(Color, HsbToRgb)
{
    struct Case {
        std::uint32_t hue, saturation, brightness;
        Rgb expected;
    };
    const Case cases[] = {
        {200, 0, 40, {0.4f, 0.4f, 0.4f}}, // no saturation: grey of the brightness
        {0, 100, 100, {1, 0, 0}},
        {30, 100, 100, {1, 0.5f, 0}},
        {60, 100, 100, {1, 1, 0}},
        {120, 100, 100, {0, 1, 0}},
        {180, 100, 100, {0, 1, 1}},
        {240, 100, 100, {0, 0, 1}},
        {300, 100, 100, {1, 0, 1}},
        {330, 100, 100, {1, 0, 0.5f}},
        // A hue of 360 or more falls into the last sector's formula: magenta.
        {360, 100, 100, {1, 0, 1}},
        {420, 100, 100, {1, 0, 1}},
        {90, 50, 80, {0.6f, 0.8f, 0.4f}},
        {0, 0, 0, {0, 0, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.hue << " " << test.saturation << " " << test.brightness);
        SmartColorHSB color;
        color.SetHSB(test.hue, test.saturation, test.brightness);
        ExpectColor(color, test.expected);
    }
}

class CountingControl : public MediaControl {
public:
    void OnParamChanged(MediaControl*) override { ++calls; }
    int calls = 0;
};

TEST(Color, NotifiedChangesRecomputeSetHsbTellsNobody)
{
    SmartColorHSB color;
    CountingControl outside;
    color.hue.AddControl(&outside);

    color.SetHSB(0, 100, 100);
    EXPECT_EQ(outside.calls, 0);
    EXPECT_EQ(color.hue.undo.Current(), 0u);
    ExpectColor(color, {1, 0, 0});

    color.hue.SetValue(120, nullptr);
    EXPECT_EQ(outside.calls, 1);
    ExpectColor(color, {0, 1, 0});
    color.brightness.SetChangedValue(50, nullptr);
    ExpectColor(color, {0, 0.5f, 0});

    // A direct store leaves the colour as it was.
    color.saturation.StoreValue(0);
    ExpectColor(color, {0, 0.5f, 0});
    color.hue.RemoveControl(&outside);
}

TEST(Color, CopyComputesFromTheThreeValues)
{
    SmartColorHSB original;
    original.SetHSB(240, 100, 100);
    original.r = 0.25f; // a colour read directly from a document
    SmartColorHSB copy(original);
    ExpectColor(copy, {0, 0, 1});
    copy.hue.SetValue(0, nullptr);
    ExpectColor(copy, {1, 0, 0});
    EXPECT_EQ(original.hue.value, 240u);

    SmartColorHSB assigned;
    assigned = original;
    ExpectColor(assigned, {0, 0, 1});
    EXPECT_EQ(assigned.hue.Observers().size(), 2u); // its undo controller and itself
}

TEST(Color, PackVertexColor)
{
    struct Case {
        COLORREF colour;
        float alpha;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0x000080FF, 255.0f, 0xFFFF8000},
        {0x00FFFFFF, 0.0f, 0x00FFFFFF},
        {0x00010203, 127.5f, 0x80030201},
        {0x00000000, 300.0f, 0xFF000000},
        {0x00000000, -20.0f, 0x00000000},
        {0x00000000, std::numeric_limits<float>::quiet_NaN(), 0x00000000},
        {0xFF000000, 255.0f, 0xFF000000}, // the unused high byte is ignored
    };
    for (const Case& test : cases)
        EXPECT_EQ(PackVertexColor(test.colour, test.alpha), test.expected) << std::hex << test.colour;
}

TEST(Color, SetQuadVertexColorWritesOnlyTheColourFields)
{
    struct Vertex {
        float x, y, z;
        std::uint32_t color;
        float u, v;
    };
    static_assert(sizeof(Vertex) == kBatchVertexSize);
    std::array<Vertex, 5> vertices{};
    for (Vertex& vertex : vertices)
        vertex = {1, 2, 3, 0x12345678, 4, 5};
    SetQuadVertexColor(0x000080FF, 255.0f, vertices.data());
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].color, 0xFFFF8000u);
        EXPECT_EQ(vertices[i].z, 3.0f);
        EXPECT_EQ(vertices[i].u, 4.0f);
    }
    EXPECT_EQ(vertices[4].color, 0x12345678u);
}

} // namespace
