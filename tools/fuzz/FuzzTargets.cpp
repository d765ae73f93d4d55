#include "tools/fuzz/FuzzTargets.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>

#include <unistd.h>

#include "objectmodel/ResourceSource.h"
#include "objectmodel/SceneDocument.h"
#include "platform/audio/Decoder.h"
#include "platform/audio/RiffWave.h"
#include "platform/gfx/DdsReader.h"
#include "platform/gfx/EffectFile.h"
#include "platform/gfx/ImageGif.h"
#include "platform/gfx/Mesh.h"
#include "platform/gfx/TextureLoader.h"
#include "platform/win/ResourcePack.h"
#include "player/SlideShow.h"

namespace fuzz {
namespace {

// Inputs larger than this are opened only from memory: writing a file per
// input would slow the fuzzer down more than the file path is worth.
constexpr std::size_t kMaxFileInput = 4096;
// Frames decoded from a sound: enough to run the decoder past its header.
constexpr std::size_t kSoundFrames = 4096;

std::span<const std::uint8_t> g_document;

std::optional<std::span<const std::uint8_t>> FindInputDocument(const ResourceType&, std::uint16_t id)
{
    if (id != kEmbeddedDocumentId)
        return std::nullopt;
    return g_document;
}

Outcome Read() { return {true, {}}; }
Outcome Refused(std::string why) { return {false, std::move(why)}; }

template <class Open>
Outcome OpenDocument(const Open& open)
{
    try {
        const SceneDocument document = open();
        return Read();
    } catch (const DS_Error& error) {
        return Refused(error.what());
    } catch (const DocumentOpenFailure&) {
        return Refused("the document cannot be opened");
    }
}

// The file the stream path reads; removed when the process exits.
struct InputFile {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("orvanta-fuzz-" + std::to_string(::getpid()) + ".vsd");
    ~InputFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

const std::filesystem::path& InputFilePath()
{
    static const InputFile file;
    return file.path;
}

template <class T>
Outcome FromOptional(const std::optional<T>& result, const std::string& error)
{
    return result ? Read() : Refused(error);
}

} // namespace

void InstallReaders()
{
    static std::once_flag once;
    std::call_once(once, [] {
        InstallPlayerDocumentClasses();
        InstallProgramResourceFinder(&FindInputDocument);
    });
}

Outcome ReadDocument(std::span<const std::uint8_t> bytes)
{
    InstallReaders();
    g_document = bytes;
    const Outcome fromMemory = OpenDocument([] { return OpenDocumentResource(kEmbeddedDocumentId); });
    g_document = {};
    if (bytes.size() <= kMaxFileInput) {
        {
            std::ofstream file(InputFilePath(), std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        // The file path checks the header that the embedded path skips.
        const Outcome fromFile = OpenDocument([] { return OpenDocumentFile(crt::FromUtf8(InputFilePath().string())); });
        if (fromMemory.read && !fromFile.read)
            return fromFile;
    }
    return fromMemory;
}

Outcome ReadPicture(std::span<const std::uint8_t> bytes)
{
    std::string error;
    const auto texture = gfx::PrepareTextureImage(bytes, gfx::TextureLoadOptions{}, error);
    if (gfx::ScanGif(bytes)) {
        std::string gifError;
        gfx::DecodeGifFrames(bytes, gifError);
    }
    return FromOptional(texture, error);
}

Outcome ReadDdsFile(std::span<const std::uint8_t> bytes)
{
    std::string error;
    return FromOptional(gfx::ReadDds(bytes, error), error);
}

Outcome ReadMeshFile(std::span<const std::uint8_t> bytes)
{
    std::string error;
    return FromOptional(gfx::LoadMeshFromX(bytes, error), error);
}

Outcome ReadResourcePack(std::span<const std::uint8_t> bytes)
{
    std::string error;
    const auto pack = win::ResourcePack::Parse({bytes.begin(), bytes.end()}, error);
    if (pack) {
        pack->Find("DDS", 5);
        pack->Find(win::RT_RCDATA, 185);
    }
    return FromOptional(pack, error);
}

Outcome ReadEffect(std::span<const std::uint8_t> bytes)
{
    std::string error;
    return FromOptional(gfx::ParseEffectFile(bytes, error), error);
}

Outcome ReadSound(std::span<const std::uint8_t> bytes)
{
    std::string headerError;
    audio::ParseRiffWave(bytes, &headerError);
    std::string error;
    const auto decoder = audio::Decoder::OpenMemory({bytes.begin(), bytes.end()}, &error);
    if (!decoder)
        return Refused(error);
    std::vector<float> frames(kSoundFrames * decoder->Channels());
    decoder->Read(frames.data(), kSoundFrames);
    return Read();
}

std::span<const Target> Targets()
{
    static constexpr Target kTargets[] = {
        {"document", &ReadDocument}, {"picture", &ReadPicture}, {"dds", &ReadDdsFile},
        {"mesh", &ReadMeshFile},     {"pack", &ReadResourcePack}, {"effect", &ReadEffect},
        {"sound", &ReadSound},
    };
    return kTargets;
}

} // namespace fuzz
