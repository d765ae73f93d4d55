#include "tests/support/SampleDocuments.h"

#include "tests/support/DocumentWriter.h"

namespace {

DS_AudioFile MakeAudioFile(const char16_t* name, const char16_t* source, std::vector<std::uint8_t> bytes)
{
    DS_AudioFile file;
    file.m_name = name;
    file.m_data.SetName(source);
    file.m_data.SetBytes(std::move(bytes));
    return file;
}

// A GUID with fixed bytes, so sample documents are the same on every run.
crt::Guid SampleGuid()
{
    const std::uint8_t bytes[16] = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD,
                                    0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    return crt::GuidFromBytes(bytes);
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> bytes)
{
    bytes.resize(bytes.size() / 2);
    return bytes;
}

} // namespace

std::vector<DS_AudioFile> SampleAudioFiles()
{
    return {MakeAudioFile(u"Rain", u"C:\\Music\\rain.mp3", {0x49, 0x44, 0x33, 0x04, 0, 0}),
            MakeAudioFile(u"Silence \"quoted\"", u"silence.wav", {})};
}

DocResManagerRecord SampleResourceRecord()
{
    DocResManagerRecord record;
    ModuleResourceBlob stored(u"sky.png");
    stored.SetBytes({0x89, 'P', 'N', 'G'});
    const ModuleResourceBlob linked(204, u"common_res.dll");
    record.textureSetRecords[{u"sky.png", 5}] = {stored, linked};
    record.textureSetValues[{u"sky.png", 5}] = {100, 200};
    record.storedResources[{u"water.fx", -7}] = {linked};
    const GuidNameKey key{SampleGuid(), u"glow", 1};
    ResourceBlob texture(u"glow.dds");
    texture.SetBytes({'D', 'D', 'S', ' '});
    record.guidTextures[key] = {key, texture};
    record.frames[{u"birds.gif", 9}] = {{{1, 2}, 0.1f}, {{3}, 0.25f}};
    return record;
}

std::vector<SampleDocument> SampleDocuments()
{
    const std::vector<DS_AudioFile> audio = SampleAudioFiles();
    const std::vector<std::uint8_t> full = DocumentWithoutSlides(audio, SampleResourceRecord());

    DocumentWriter oldHeader;
    oldHeader.Header(u"VIZ v 3.0.0").SlideShowBegin(0).Int(0).DocResManager({});
    DocumentWriter hugeString;
    hugeString.Header().WideStringLength(0xFFFFFFFFu).Word(0x44);
    DocumentWriter unknownSlide;
    unknownSlide.Header().SlideShowBegin(1).Section(u"DS_SlideContainer", 1).Int(0);
    DocumentWriter managerVersion1;
    managerVersion1.Header().SlideShowBegin(0).Int(0).DocResManager(SampleResourceRecord(), 1);

    return {
        {"minimal.vsd", MinimalDocument(), true},
        {"audio-and-resources.vsd", full, true},
        {"manager-version-1.vsd", managerVersion1.Bytes(), true},
        {"truncated.vsd", Truncated(full), false},
        {"outdated-header.vsd", oldHeader.Bytes(), false},
        {"huge-string.vsd", hugeString.Bytes(), false},
        {"unknown-slide-class.vsd", unknownSlide.Bytes(), false},
    };
}
