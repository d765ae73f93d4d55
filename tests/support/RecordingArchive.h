#pragma once
// An archive that records every write in the stored encodings (through the
// document writer), so that what an object's Save() writes can be read back
// and compared with what its reader takes. It reads nothing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "objectmodel/Archive.h"
#include "objectmodel/ResourceBlob.h"
#include "tests/support/DocumentWriter.h"

class RecordingArchive final : public DS_IOF_Virtual {
public:
    void WriteBlob(const ResourceBlob& blob) override { writer.Blob(blob); }
    void WriteWideString(const kxi_string& text) override { writer.WideString(text); }
    void WriteInt64(std::int64_t value) override { writer.Int64(value); }
    void WriteFloat(float value) override { writer.Float(value); }
    void WriteIntPair(const IntPair& value) override { writer.IntPair(value); }
    void WriteVersion(std::int32_t value) override { writer.Int(value); }
    void WriteWord(std::uint16_t value) override { writer.Word(value); }
    void WriteDword(std::uint32_t value) override { writer.Dword(value); }
    void WriteByte(std::uint8_t value) override { writer.Byte(value); }
    void WriteBool(bool value) override { writer.Bool(value); }
    void WriteLong(std::int32_t value) override { writer.Long(value); }
    void WriteBytes(const void* bytes, std::size_t count) override
    {
        writer.Raw(std::span(static_cast<const std::uint8_t*>(bytes), count));
    }

    void ReadModuleBlob(ModuleResourceBlob*) override { Unreadable(); }
    void ReadBlob(ResourceBlob*) override { Unreadable(); }
    void ReadNarrowString(std::string*) override { Unreadable(); }
    void ReadWideString(kxi_string*) override { Unreadable(); }
    void ReadQword(std::uint64_t*) override { Unreadable(); }
    void ReadInt64(std::int64_t*) override { Unreadable(); }
    void ReadFloat(float*) override { Unreadable(); }
    void ReadIntPair(IntPair*) override { Unreadable(); }
    void ReadInt(std::int32_t*) override { Unreadable(); }
    void ReadWord(std::uint16_t*) override { Unreadable(); }
    void ReadDword(std::uint32_t*) override { Unreadable(); }
    void ReadByte(std::uint8_t*) override { Unreadable(); }
    void ReadBool(bool*) override { Unreadable(); }
    void ReadLong(std::int32_t*) override { Unreadable(); }
    void ReadBytes(std::size_t, void*) override { Unreadable(); }
    std::uint64_t BytesRemaining() const override { return 0; }

    ArchiveWriter Writer() { return ArchiveWriter(*this); }

    DocumentWriter writer;

private:
    [[noreturn]] static void Unreadable() { throw std::logic_error("RecordingArchive reads nothing"); }
};
