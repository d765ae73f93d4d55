#include "platform/audio/Decoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/audio/WaveFormat.h"

namespace audio {
namespace {

// Bytes in memory behind libsndfile's virtual I/O. Every seek and read stays
// inside the bytes.
struct MemoryFile {
    std::vector<std::uint8_t> bytes;
    sf_count_t position = 0;

    sf_count_t Size() const { return static_cast<sf_count_t>(bytes.size()); }
};

sf_count_t MemoryLength(void* user) { return static_cast<MemoryFile*>(user)->Size(); }

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    sf_count_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = file->position; break;
    case SEEK_END: base = file->Size(); break;
    default: return -1;
    }
    // Offsets come from the file's own headers: refuse what would overflow or
    // leave the bytes.
    if ((offset > 0 && base > file->Size() - offset) || base + offset < 0)
        return -1;
    file->position = base + offset;
    return file->position;
}

sf_count_t MemoryRead(void* out, sf_count_t count, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    if (count <= 0)
        return 0;
    const sf_count_t n = std::min(count, file->Size() - file->position);
    if (n <= 0)
        return 0;
    std::memcpy(out, file->bytes.data() + file->position, static_cast<std::size_t>(n));
    file->position += n;
    return n;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t MemoryTell(void* user) { return static_cast<MemoryFile*>(user)->position; }

SF_VIRTUAL_IO kMemoryIo{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};

// The widest sample rate a decoded stream may have; the mixer resamples it.
constexpr int kMaxDecodedRate = 768000;

} // namespace

struct Decoder::Handle {
    SNDFILE* file = nullptr;
    SF_INFO info{};
    std::unique_ptr<MemoryFile> memory; // the bytes a memory stream reads, when it has them

    ~Handle()
    {
        if (file)
            sf_close(file);
    }
};

Decoder::Decoder(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
Decoder::~Decoder() = default;

std::unique_ptr<Decoder> Decoder::Accept(std::unique_ptr<Handle> handle, const std::string& name, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::unique_ptr<Decoder> {
        if (error)
            *error = "cannot decode " + name + ": " + why;
        return nullptr;
    };
    if (!handle->file)
        return fail(sf_strerror(nullptr));
    const SF_INFO& info = handle->info;
    if (info.channels < 1 || info.channels > kMaxChannels)
        return fail("the channel count is not 1 to 8");
    if (info.samplerate < 1 || info.samplerate > kMaxDecodedRate)
        return fail("the sample rate is out of range");
    std::unique_ptr<Decoder> decoder(new Decoder(std::move(handle)));
    decoder->channels_ = static_cast<std::uint32_t>(info.channels);
    decoder->sampleRate_ = static_cast<std::uint32_t>(info.samplerate);
    decoder->frames_ = info.frames > 0 ? static_cast<std::uint64_t>(info.frames) : 0;
    return decoder;
}

std::unique_ptr<Decoder> Decoder::OpenFile(const std::string& path, std::string* error)
{
    auto handle = std::make_unique<Handle>();
    handle->file = sf_open(path.c_str(), SFM_READ, &handle->info);
    return Accept(std::move(handle), path, error);
}

std::unique_ptr<Decoder> Decoder::OpenMemory(std::vector<std::uint8_t> bytes, std::string* error)
{
    auto handle = std::make_unique<Handle>();
    handle->memory = std::make_unique<MemoryFile>();
    handle->memory->bytes = std::move(bytes);
    handle->file = sf_open_virtual(&kMemoryIo, SFM_READ, &handle->info, handle->memory.get());
    return Accept(std::move(handle), "audio data in memory", error);
}

std::size_t Decoder::Read(float* out, std::size_t frames)
{
    if (frames == 0)
        return 0;
    const sf_count_t n = sf_readf_float(handle_->file, out, static_cast<sf_count_t>(frames));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool Decoder::Seek(std::uint64_t frame)
{
    if (frame > static_cast<std::uint64_t>(SF_COUNT_MAX))
        return false;
    return sf_seek(handle_->file, static_cast<sf_count_t>(frame), SEEK_SET) >= 0;
}

bool Decoder::Failed() const { return sf_error(handle_->file) != SF_ERR_NO_ERROR; }

} // namespace audio
