#pragma once
// Class registries: documents name the class of every object whose type the
// reader cannot know in advance. Such a polymorphic record is
//     wide-string class name, int32 version, then the class's body
// and the reader registered under that exact name (case-sensitive) creates
// the object and reads the body. There are five registries, one per family:
//
//   GetMainClassRegistry            scene objects of a slide (DS_IOF_Item)
//   GetItemClassRegistry            particle-tree nodes, geometries, emit
//                                   shapes, party balloons (KXI_IOF_Item)
//   GetLightClassRegistry           picture scenes of a slide (DS_2D_Light)
//   GetSlideContainerClassRegistry  slides (DS_SlideContainer)
//   GetTimingClassRegistry          timelines (KXI_Timing)
//
// Registration: each stored class registers itself from its own source file
// at static initialisation, e.g.
//     static const bool registered =
//         RegisterMainClass<DS_FogConstructor>(u"DS_FogConstructor");
//     static const bool registered =
//         RegisterFamilyClass<DS_2D_Light>(GetLightClassRegistry(), u"DS_2D_Light");
// A registered class T is default-constructed (value-initialised) and its
// body is read by `T::ReadBody(ArchiveReader, std::int32_t version)`. A name
// registered twice keeps its first reader. After start-up the registries
// are only read.
//
// Family roots above this layer (DS_2D_Light, DS_SlideContainer, KXI_Timing)
// are only declared here; their layers write the typed reads as one-liners:
//     std::unique_ptr<DS_2D_Light> ReadLightObject(ArchiveReader ar)
//     { return ReadRegisteredObject(ar, GetLightClassRegistry()); }
//     std::unique_ptr<KXI_Timing> CreateObjectByClassName(std::u16string_view name)
//     { return CreateDefaultByClassName(GetTimingClassRegistry(), name); }
//
// A record whose class no registry knows cannot be skipped (records carry
// no length): it refuses the document with DS_Error naming the class.

#include <cstddef>
#include <cstdint>
#include <map>
#include <typeindex>
#include <typeinfo>
#include <memory>
#include <string_view>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"

class DS_2D_Light;
class DS_SlideContainer;
class KXI_Timing;

// Reader of a main-registry class.
class IOF_Virtual_Reader {
public:
    virtual ~IOF_Virtual_Reader() = default;
    virtual std::unique_ptr<DS_IOF_Item> CreateAndRead(ArchiveReader ar, std::int32_t version) const = 0;
};

template <class T>
class IOF_Virtual_ReaderT final : public IOF_Virtual_Reader {
public:
    std::unique_ptr<DS_IOF_Item> CreateAndRead(ArchiveReader ar, std::int32_t version) const override
    {
        auto object = std::make_unique<T>();
        object->ReadBody(ar, version);
        return object;
    }
};

// Reader of a class in the registry of the family rooted at Base.
template <class Base>
class IOF_Virtual_ReaderII {
public:
    virtual ~IOF_Virtual_ReaderII() = default;
    virtual std::unique_ptr<Base> CreateAndRead(ArchiveReader ar, std::int32_t version) const = 0;
    virtual std::unique_ptr<Base> CreateDefault() const = 0;
    // The same as CreateAndRead, seen as a stored item, for code that only
    // knows the root of all stored classes.
    virtual std::unique_ptr<DS_IOF_Item> CreateItemAndRead(ArchiveReader ar, std::int32_t version) const = 0;
};

template <class T, class Base>
class IOF_Virtual_ReaderT_II final : public IOF_Virtual_ReaderII<Base> {
public:
    std::unique_ptr<Base> CreateAndRead(ArchiveReader ar, std::int32_t version) const override
    {
        return Read(ar, version);
    }
    std::unique_ptr<Base> CreateDefault() const override { return std::make_unique<T>(); }
    std::unique_ptr<DS_IOF_Item> CreateItemAndRead(ArchiveReader ar, std::int32_t version) const override
    {
        return Read(ar, version);
    }

private:
    static std::unique_ptr<T> Read(ArchiveReader ar, std::int32_t version)
    {
        auto object = std::make_unique<T>();
        object->ReadBody(ar, version);
        return object;
    }
};

// Exact class name -> reader. Does not own the readers (static objects).
template <class Reader>
class ClassRegistry {
public:
    // Enters `reader` under `name`; a name already present keeps its reader.
    void Register(std::u16string_view name, const Reader& reader) { m_readers.try_emplace(kxi_string(name), &reader); }

    // The reader of exactly `name`, or null.
    const Reader* Find(std::u16string_view name) const
    {
        const auto it = m_readers.find(name);
        return it == m_readers.end() ? nullptr : it->second;
    }

    std::size_t Size() const { return m_readers.size(); }

    std::vector<kxi_string> Names() const
    {
        std::vector<kxi_string> names;
        for (const auto& entry : m_readers)
            names.push_back(entry.first);
        return names;
    }

private:
    std::map<kxi_string, const Reader*, std::less<>> m_readers;
};

using MainClassRegistry = ClassRegistry<IOF_Virtual_Reader>;
template <class Base>
using FamilyClassRegistry = ClassRegistry<IOF_Virtual_ReaderII<Base>>;

// Each registry is created on first use.
MainClassRegistry& GetMainClassRegistry();
FamilyClassRegistry<KXI_IOF_Item>& GetItemClassRegistry();
FamilyClassRegistry<DS_2D_Light>& GetLightClassRegistry();
FamilyClassRegistry<DS_SlideContainer>& GetSlideContainerClassRegistry();
FamilyClassRegistry<KXI_Timing>& GetTimingClassRegistry();

// The class name documents store for a registered C++ class (the first name
// it was registered under), so that tools name objects as documents do;
// empty for a class that was never registered.
void NoteStoredClassName(const std::type_info& type, std::u16string_view name);
std::u16string_view StoredClassNameOf(const std::type_info& type);

// Registers T under `name` in the main registry; returns true so that it
// can initialise a static flag.
template <class T>
bool RegisterMainClass(std::u16string_view name)
{
    static const IOF_Virtual_ReaderT<T> reader;
    GetMainClassRegistry().Register(name, reader);
    NoteStoredClassName(typeid(T), name);
    return true;
}

// Registers T under `name` in the registry of its family.
template <class T, class Base>
bool RegisterFamilyClass(FamilyClassRegistry<Base>& registry, std::u16string_view name)
{
    static const IOF_Virtual_ReaderT_II<T, Base> reader;
    registry.Register(name, reader);
    NoteStoredClassName(typeid(T), name);
    return true;
}

// The DS_Error that refuses a document holding a class no registry knows.
[[noreturn]] void ThrowUnknownClass(std::u16string_view className);

template <class Reader>
const Reader& FindRecordReader(const ClassRegistry<Reader>& registry, std::u16string_view className)
{
    const Reader* reader = registry.Find(className);
    if (!reader)
        ThrowUnknownClass(className);
    return *reader;
}

// The polymorphic read: class name, version, then the registered reader
// creates the object and reads its body. Never null: an unknown class
// refuses the document.
template <class Base>
std::unique_ptr<Base> ReadRegisteredObject(ArchiveReader ar, const FamilyClassRegistry<Base>& registry)
{
    const SectionHeader header = ar.ReadSectionHeader();
    return FindRecordReader(registry, header.className).CreateAndRead(ar, header.version);
}

// The same, for code that does not know the family root.
template <class Base>
std::unique_ptr<DS_IOF_Item> ReadRegisteredItem(ArchiveReader ar, const FamilyClassRegistry<Base>& registry)
{
    const SectionHeader header = ar.ReadSectionHeader();
    return FindRecordReader(registry, header.className).CreateItemAndRead(ar, header.version);
}

// A new default object of the class registered under `name`, or null when
// the name is not registered there.
template <class Base>
std::unique_ptr<Base> CreateDefaultByClassName(const FamilyClassRegistry<Base>& registry, std::u16string_view name)
{
    const IOF_Virtual_ReaderII<Base>* reader = registry.Find(name);
    return reader ? reader->CreateDefault() : nullptr;
}

// A scene object of a slide's object list, through the main registry.
std::unique_ptr<DS_IOF_Item> ReadSceneObject(ArchiveReader ar);

// A particle-tree node, geometry, emit shape or balloon, through the item
// registry. The particle layer casts the result to the family it expects.
std::unique_ptr<KXI_IOF_Item> ReadItemObject(ArchiveReader ar);
