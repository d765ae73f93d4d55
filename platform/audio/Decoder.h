#pragma once
// Decoding compressed or plain audio files (MP3, WAV and whatever else
// libsndfile reads) into float frames, from a file or from bytes in memory.
//
// A decoder reads sequentially and can seek to a frame. It is used by one
// thread at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audio {

class Decoder {
public:
    // Null, with a message in `error`, when the file cannot be opened, is not
    // audio, or has a channel count (1..8) or sample rate this layer refuses.
    static std::unique_ptr<Decoder> OpenFile(const std::string& path, std::string* error);
    static std::unique_ptr<Decoder> OpenMemory(std::vector<std::uint8_t> bytes, std::string* error);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    std::uint32_t Channels() const { return channels_; }
    std::uint32_t SampleRate() const { return sampleRate_; }
    // The length in frames as the file states it.
    std::uint64_t Frames() const { return frames_; }

    // Reads up to `frames` interleaved frames into `out` (room for frames x
    // channels floats); fewer at the end of the stream or on a decoding error.
    std::size_t Read(float* out, std::size_t frames);
    // Moves the read position; false when the stream cannot go there.
    bool Seek(std::uint64_t frame);
    // Whether the stream stopped on an error rather than at its end.
    bool Failed() const;

private:
    struct Handle;
    explicit Decoder(std::unique_ptr<Handle> handle);
    static std::unique_ptr<Decoder> Accept(std::unique_ptr<Handle> handle, const std::string& name, std::string* error);

    std::unique_ptr<Handle> handle_;
    std::uint32_t channels_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint64_t frames_ = 0;
};

} // namespace audio
