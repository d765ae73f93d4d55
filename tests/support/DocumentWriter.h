#pragma once
// Writes scene documents byte for byte as the archive reads them, so tests
// and tools build their documents in code instead of storing opaque files.
// Every primitive and section the readers read has a writer here, including
// the three wide-string length forms (and their non-minimal use) and any
// marker bytes. Writes chain: DocumentWriter().Int(1).WideString(u"x").

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/AudioFile.h"
#include "objectmodel/DocResRecord.h"
#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"

// Which form carries a string's length. Shortest picks L8, L16 or L32 by the
// length; the others force that form (a non-minimal form when the length
// would fit a shorter one).
enum class LengthForm { Shortest, L8, L16, L32 };

inline constexpr std::array<std::uint8_t, 3> kStringMarkers{0xFF, 0xFE, 0xFF};

class DocumentWriter {
public:
    DocumentWriter& Int(std::int32_t value) { return Scalar(value); }
    DocumentWriter& Long(std::int32_t value) { return Scalar(value); }
    DocumentWriter& Dword(std::uint32_t value) { return Scalar(value); }
    DocumentWriter& Word(std::uint16_t value) { return Scalar(value); }
    DocumentWriter& Byte(std::uint8_t value) { return Scalar(value); }
    DocumentWriter& Bool(bool value) { return Scalar(std::uint8_t(value ? 1 : 0)); }
    DocumentWriter& Float(float value) { return Scalar(value); }
    DocumentWriter& Int64(std::int64_t value) { return Scalar(value); }
    DocumentWriter& Qword(std::uint64_t value) { return Scalar(value); }
    DocumentWriter& IntPair(const ::IntPair& pair) { return Int(pair.first).Int(pair.second); }
    DocumentWriter& Raw(std::span<const std::uint8_t> bytes);

    // Markers, length, UTF-16LE units. `length` overrides the stored length
    // (to write a damaged string whose units are missing).
    DocumentWriter& WideString(std::u16string_view text, LengthForm form = LengthForm::Shortest,
                               std::array<std::uint8_t, 3> markers = kStringMarkers);
    DocumentWriter& WideStringLength(std::uint32_t length, LengthForm form = LengthForm::Shortest,
                                     std::array<std::uint8_t, 3> markers = kStringMarkers);
    DocumentWriter& NarrowString(std::string_view text, LengthForm form = LengthForm::Shortest);

    DocumentWriter& Blob(const ResourceBlob& blob);
    DocumentWriter& ModuleBlob(const ModuleResourceBlob& blob);
    DocumentWriter& Guid(const crt::Guid& guid);
    DocumentWriter& GuidText(std::u16string_view text) { return WideString(text); }
    DocumentWriter& Section(std::u16string_view className, std::int32_t version);
    DocumentWriter& Count(std::size_t count) { return Int(static_cast<std::int32_t>(count)); }
    DocumentWriter& IntVector(std::span<const std::int32_t> values);

    // Top-level records.
    DocumentWriter& Header(std::u16string_view header = u"VIZ v 4.0.0") { return WideString(header); }
    // The slide show's section and slide count; the caller writes the slides,
    // then AudioFiles.
    DocumentWriter& SlideShowBegin(std::int32_t slideCount, std::int32_t version = 1);
    DocumentWriter& AudioFile(const DS_AudioFile& file, std::int32_t version = 1);
    DocumentWriter& AudioFiles(std::span<const DS_AudioFile> files);
    // The resource-manager record, section included.
    DocumentWriter& DocResManager(const DocResManagerRecord& record, std::int32_t version = 4);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::size_t Size() const { return m_bytes.size(); }
    // Writes the bytes to `path`; false on failure.
    bool SaveTo(const std::filesystem::path& path) const;

private:
    template <class T>
    DocumentWriter& Scalar(T value)
    {
        std::uint8_t bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T)); // little-endian host, as documents are
        return Raw(bytes);
    }
    DocumentWriter& Length(std::uint32_t length, LengthForm form);
    DocumentWriter& LinkKey(const ::LinkKey& key) { return WideString(key.path).Int64(key.id); }

    std::vector<std::uint8_t> m_bytes;
};

// The smallest complete document: header, a slide show (version 1) with no
// slides and no audio files, a resource manager (version 4) with five zero
// counts.
std::vector<std::uint8_t> MinimalDocument();

// A document with `audio` as its playlist and `resources` as the manager's
// record, and no slides.
std::vector<std::uint8_t> DocumentWithoutSlides(std::span<const DS_AudioFile> audio,
                                                const DocResManagerRecord& resources = {});
