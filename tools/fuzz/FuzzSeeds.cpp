#include "tools/fuzz/FuzzSeeds.h"

#include "platform/gfx/DdsReader.h"
#include "platform/gfx/Image.h"
#include "platform/win/ResourcePack.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/GifFixture.h"
#include "tests/support/SampleDocuments.h"
#include "tests/support/SoundWriter.h"
#include "tests/support/XFileWriter.h"

namespace fuzz {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::uint32_t Gradient(std::uint32_t x, std::uint32_t y) { return (x * 0x20u) << 16 | (y * 0x20u) << 8 | 0x40u; }

void AddDocuments(std::vector<Seed>& seeds)
{
    for (SampleDocument& sample : SampleDocuments())
        seeds.push_back({"document", sample.fileName, std::move(sample.bytes), sample.wellFormed});
}

std::vector<std::uint8_t> DdsWithLevels(gfx::Format format)
{
    std::vector<gfx::Image> levels;
    for (std::uint32_t size = 8; size >= 1; size /= 2) {
        gfx::Image level(size, size, gfx::Format::A8R8G8B8);
        for (std::uint32_t y = 0; y < size; ++y)
            for (std::uint32_t x = 0; x < size; ++x)
                level.SetPixel(x, y, 0xFF000000u | Gradient(x, y));
        levels.push_back(gfx::ConvertImage(level, format));
    }
    return gfx::WriteDds(levels);
}

void AddPictures(std::vector<Seed>& seeds)
{
    const std::uint32_t palette[4] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const auto gif = gfx::testing::WriteGif(2, 2, palette, {{{0, 1, 2, 3}, 10}, {{3, 2, 1, 0}, 20}});
    const auto dds = DdsWithLevels(gfx::Format::A8R8G8B8);
    seeds.push_back({"picture", "gradient.bmp", bmp_fixture::BmpPicture(5, 3, &Gradient)});
    seeds.push_back({"picture", "two-frames.gif", gif});
    seeds.push_back({"picture", "levels.dds", dds});
    seeds.push_back({"dds", "levels-argb.dds", dds});
    seeds.push_back({"dds", "levels-dxt1.dds", DdsWithLevels(gfx::Format::DXT1)});
    seeds.push_back({"dds", "levels-dxt5.dds", DdsWithLevels(gfx::Format::DXT5)});
}

void AddMeshes(std::vector<Seed>& seeds)
{
    const std::string text = x_file_writer::QuadMeshText();
    seeds.push_back({"mesh", "quad.x", Bytes("xof 0303txt 0032\n" + text)});
    std::vector<std::string> blocks;
    for (std::size_t at = 0; at < text.size(); at += 100)
        blocks.push_back(text.substr(at, 100));
    seeds.push_back({"mesh", "quad-compressed.x", x_file_writer::CompressedTextFile(blocks, text.size())});
}

void AddPacks(std::vector<Seed>& seeds)
{
    win::ResourcePackWriter writer;
    writer.Add("DDS", 5, bmp_fixture::BmpPicture(2, 2, &Gradient));
    writer.Add(win::RT_RCDATA, 185, Bytes("orvanta-effect 1\n"));
    seeds.push_back({"pack", "two-entries.dll", writer.Build()});
}

void AddEffects(std::vector<Seed>& seeds)
{
    seeds.push_back({"effect", "colour.fx", Bytes("orvanta-effect 1\n"
                                                  "parameter vec4 Colour = 1 0.5 0.25 1\n"
                                                  "parameter texture Texture\n"
                                                  "sampler Texture AddressU=Clamp MinFilter=Linear\n"
                                                  "vertex Quad\n"
                                                  "void main() { gl_Position = vec4(0.0); }\n"
                                                  "end\n"
                                                  "fragment Flat\n"
                                                  "void main() { outColour = Colour; }\n"
                                                  "end\n"
                                                  "technique Flat\n"
                                                  "pass\n"
                                                  "  vertex Quad\n"
                                                  "  fragment Flat\n"
                                                  "  state AlphaBlendEnable True\n"
                                                  "end\n")});
}

void AddSounds(std::vector<Seed>& seeds)
{
    std::vector<std::int16_t> ramp(64);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::int16_t>(i * 512);
    seeds.push_back({"sound", "mono.wav", sound_writer::Pcm16WaveImage(ramp, 1, 22050)});
    seeds.push_back({"sound", "stereo.wav", sound_writer::Pcm16WaveImage(ramp, 2, 44100)});
}

} // namespace

std::vector<Seed> Seeds()
{
    std::vector<Seed> seeds;
    AddDocuments(seeds);
    AddPictures(seeds);
    AddMeshes(seeds);
    AddPacks(seeds);
    AddEffects(seeds);
    AddSounds(seeds);
    return seeds;
}

} // namespace fuzz
