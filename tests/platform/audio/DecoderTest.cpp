#include <gtest/gtest.h>

#include <fstream>

#include "platform/audio/Decoder.h"
#include "tests/platform/audio/AudioTestSupport.h"

namespace audio {
namespace {

using test::Bytes;

// Decodes everything `decoder` holds as interleaved floats.
std::vector<float> DecodeAll(Decoder& decoder)
{
    std::vector<float> all, chunk(1024 * decoder.Channels());
    while (std::size_t n = decoder.Read(chunk.data(), 1024))
        all.insert(all.end(), chunk.begin(), chunk.begin() + n * decoder.Channels());
    return all;
}

TEST(DecoderTest, DecodesAWavFromMemory)
{
    const std::vector<float> source = test::SineFloat(440, 22050, 2205, 2, 0.5);
    std::string error;
    Bytes wav = test::Encode(source, 2, 22050, test::kWav16Format, &error);
    ASSERT_FALSE(wav.empty()) << error;

    auto decoder = Decoder::OpenMemory(std::move(wav), &error);
    ASSERT_TRUE(decoder) << error;
    EXPECT_EQ(decoder->Channels(), 2u);
    EXPECT_EQ(decoder->SampleRate(), 22050u);
    EXPECT_EQ(decoder->Frames(), 2205u);
    const std::vector<float> decoded = DecodeAll(*decoder);
    ASSERT_EQ(decoded.size(), source.size());
    for (std::size_t i = 0; i < source.size(); ++i)
        ASSERT_NEAR(decoded[i], source[i], 1.0 / 32768) << i;
    EXPECT_FALSE(decoder->Failed());

    // Seeking goes back to a frame.
    ASSERT_TRUE(decoder->Seek(1000));
    float frame[2];
    ASSERT_EQ(decoder->Read(frame, 1), 1u);
    EXPECT_NEAR(frame[0], source[2000], 1.0 / 32768);
}

TEST(DecoderTest, DecodesAnMp3FromMemoryAndFromAFile)
{
    const std::vector<float> source = test::SineFloat(440, 44100, 44100, 2, 0.5);
    std::string error;
    Bytes mp3 = test::Encode(source, 2, 44100, test::kMp3Format, &error);
    if (mp3.empty())
        GTEST_SKIP() << "MP3 decoding not tested: this libsndfile cannot encode MP3 (" << error << ")";

    test::TempDir dir;
    const std::string path = (dir.Path() / "tone.mp3").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(mp3.data()), std::streamsize(mp3.size()));

    std::unique_ptr<Decoder> decoders[] = {Decoder::OpenMemory(mp3, &error), Decoder::OpenFile(path, &error)};
    for (auto& decoder : decoders) {
        ASSERT_TRUE(decoder) << error;
        EXPECT_EQ(decoder->Channels(), 2u);
        EXPECT_EQ(decoder->SampleRate(), 44100u);
        EXPECT_NEAR(double(decoder->Frames()), 44100.0, 1200.0);
        const std::vector<float> decoded = DecodeAll(*decoder);
        EXPECT_NEAR(double(decoded.size() / 2), 44100.0, 1200.0);
        EXPECT_NEAR(test::Rms(decoded, 0, 0, decoded.size() / 2), 0.5 / std::sqrt(2.0), 0.03);
        EXPECT_NEAR(test::RisingCrossings(decoded, 1, 0, decoded.size() / 2), 440, 4);
    }
}

TEST(DecoderTest, RefusesWhatIsNotAudio)
{
    std::string error;
    Bytes noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = std::uint8_t(i * 131 + 7);
    EXPECT_FALSE(Decoder::OpenMemory(noise, &error));
    EXPECT_NE(error.find("cannot decode audio data in memory"), std::string::npos) << error;

    EXPECT_FALSE(Decoder::OpenMemory({}, &error));

    // A RIFF/WAVE header whose data chunk claims far more than there is.
    Bytes truncated = test::RiffImage({test::MakeChunk("fmt ", test::FormatBody(MakeWaveFormat(1, 8000, 16), false)),
                                       test::Chunk{"data", 0x7FFFFFF0u, Bytes(16)}});
    if (auto decoder = Decoder::OpenMemory(truncated, &error)) {
        // libsndfile may accept it; reading must then stop at the bytes there.
        EXPECT_LE(DecodeAll(*decoder).size(), 8u);
    }

    EXPECT_FALSE(Decoder::OpenFile("/nonexistent/sound.wav", &error));
    EXPECT_NE(error.find("/nonexistent/sound.wav"), std::string::npos) << error;
}

} // namespace
} // namespace audio
