#include <gtest/gtest.h>

#include "platform/audio/RiffWave.h"
#include "tests/platform/audio/AudioTestSupport.h"

namespace audio {
namespace {

using test::Bytes;
using test::Chunk;
using test::FormatBody;
using test::MakeChunk;
using test::RiffImage;

const WaveFormat kStereo16 = MakeWaveFormat(2, 44100, 16);
const Bytes kFourFrames = test::Pcm16({1, -1, 2, -2, 3, -3, 4, -4});

TEST(RiffWaveTest, ReadsFormatAndData)
{
    struct Case {
        const char* name;
        std::vector<Chunk> chunks;
    };
    const Case cases[] = {
        {"16-byte fmt", {MakeChunk("fmt ", FormatBody(kStereo16, false)), MakeChunk("data", kFourFrames)}},
        {"18-byte fmt", {MakeChunk("fmt ", FormatBody(kStereo16, true)), MakeChunk("data", kFourFrames)}},
        {"data before fmt", {MakeChunk("data", kFourFrames), MakeChunk("fmt ", FormatBody(kStereo16, false))}},
        // An odd-sized chunk is followed by a pad byte that is not a chunk.
        {"odd chunk before",
         {MakeChunk("LIST", Bytes{'I', 'N', 'F', 'O', 'x'}), MakeChunk("fmt ", FormatBody(kStereo16, true)),
          MakeChunk("junk", Bytes(3, 0xEE)), MakeChunk("data", kFourFrames)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes image = RiffImage(c.chunks);
        std::string error;
        const auto wave = ParseRiffWave(image, &error);
        ASSERT_TRUE(wave) << error;
        EXPECT_EQ(wave->format, kStereo16);
        ASSERT_EQ(wave->data.size(), kFourFrames.size());
        EXPECT_TRUE(std::equal(wave->data.begin(), wave->data.end(), kFourFrames.begin()));
    }
}

TEST(RiffWaveTest, ResolvesExtensibleFormats)
{
    // A 40-byte record naming 24-bit integer PCM through its sub-format.
    WaveFormat plain = MakeWaveFormat(2, 48000, 24);
    WaveFormat extensible = plain;
    extensible.formatTag = kWaveFormatExtensible;
    Bytes body = FormatBody(extensible, false);
    test::PutU16(body, 22); // extra bytes
    test::PutU16(body, 24); // valid bits
    test::PutU32(body, 3);  // channel mask: front left and right
    const std::uint8_t pcmGuid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    body.insert(body.end(), pcmGuid, pcmGuid + 16);

    const Bytes image = RiffImage({MakeChunk("fmt ", body), MakeChunk("data", Bytes(12, 0))});
    std::string error;
    const auto wave = ParseRiffWave(image, &error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->format, plain);
}

TEST(RiffWaveTest, TakesARiffSizeBeyondTheEndWhenTheChunksAreWhole)
{
    Bytes image = RiffImage({MakeChunk("fmt ", FormatBody(kStereo16, false)), MakeChunk("data", kFourFrames)});
    const std::uint32_t unset = 0xFFFFFFFF; // left so by writers that stream
    std::memcpy(image.data() + 4, &unset, 4);
    std::string error;
    EXPECT_TRUE(ParseRiffWave(image, &error)) << error;
}

TEST(RiffWaveTest, RefusesDamagedImages)
{
    WaveFormat zeroRate = kStereo16;
    zeroRate.samplesPerSec = 0;
    WaveFormat zeroByteRate = kStereo16;
    zeroByteRate.avgBytesPerSec = 0;
    WaveFormat zeroBlockAlign = kStereo16;
    zeroBlockAlign.blockAlign = 0;
    WaveFormat noChannels = kStereo16;
    noChannels.channels = 0;
    const Chunk fmt = MakeChunk("fmt ", FormatBody(kStereo16, false));
    const Chunk data = MakeChunk("data", kFourFrames);

    Bytes truncated = RiffImage({fmt, data});
    truncated.resize(truncated.size() - 3);

    struct Case {
        const char* name;
        Bytes image;
        const char* message;
    };
    const Case cases[] = {
        {"empty", {}, "too short"},
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, "not a RIFF/WAVE"},
        {"not WAVE", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, "not a RIFF/WAVE"},
        {"no fmt", RiffImage({data}), "no \"fmt \""},
        {"no data", RiffImage({fmt}), "no \"data\""},
        {"short fmt", RiffImage({MakeChunk("fmt ", Bytes(14, 1)), data}), "shorter than 16"},
        {"zero rate", RiffImage({MakeChunk("fmt ", FormatBody(zeroRate, false)), data}), "sample rate is zero"},
        {"zero byte rate", RiffImage({MakeChunk("fmt ", FormatBody(zeroByteRate, false)), data}), "byte rate is zero"},
        {"zero block align", RiffImage({MakeChunk("fmt ", FormatBody(zeroBlockAlign, false)), data}),
         "block align is zero"},
        {"no channels", RiffImage({MakeChunk("fmt ", FormatBody(noChannels, false)), data}), "no channels"},
        {"truncated data", truncated, "\"data\" chunk runs past the end"},
        // A size whose sum with the offset wraps in 32 bits.
        {"overflowing data size", RiffImage({fmt, Chunk{"data", 0xFFFFFFF8u, kFourFrames}}),
         "\"data\" chunk runs past the end"},
        {"overflowing fmt size", RiffImage({Chunk{"fmt ", 0xFFFFFFFFu, FormatBody(kStereo16, false)}, data}),
         "\"fmt \" chunk runs past the end"},
        // An unused chunk that claims too much hides the chunks after it.
        {"oversized unused chunk", RiffImage({fmt, Chunk{"LIST", 0x7FFFFFFFu, Bytes(4, 0)}, data}), "no \"data\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(ParseRiffWave(c.image, &error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

} // namespace
} // namespace audio
