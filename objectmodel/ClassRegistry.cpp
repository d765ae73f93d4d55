#include "objectmodel/ClassRegistry.h"

MainClassRegistry& GetMainClassRegistry()
{
    static MainClassRegistry registry;
    return registry;
}

FamilyClassRegistry<KXI_IOF_Item>& GetItemClassRegistry()
{
    static FamilyClassRegistry<KXI_IOF_Item> registry;
    return registry;
}

FamilyClassRegistry<DS_2D_Light>& GetLightClassRegistry()
{
    static FamilyClassRegistry<DS_2D_Light> registry;
    return registry;
}

FamilyClassRegistry<DS_SlideContainer>& GetSlideContainerClassRegistry()
{
    static FamilyClassRegistry<DS_SlideContainer> registry;
    return registry;
}

FamilyClassRegistry<KXI_Timing>& GetTimingClassRegistry()
{
    static FamilyClassRegistry<KXI_Timing> registry;
    return registry;
}

void ThrowUnknownClass(std::u16string_view className)
{
    // A damaged document can store a name of any length: quote a bounded part.
    constexpr std::size_t kLongestQuoted = 80;
    kxi_string quoted(className.substr(0, kLongestQuoted));
    if (className.size() > kLongestQuoted)
        quoted += u"...";
    throw DS_Error(u"Cannot open file: the document holds an object of unknown class \"" + quoted + u"\".");
}

std::unique_ptr<DS_IOF_Item> ReadSceneObject(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    return FindRecordReader(GetMainClassRegistry(), header.className).CreateAndRead(ar, header.version);
}

std::unique_ptr<KXI_IOF_Item> ReadItemObject(ArchiveReader ar)
{
    return ReadRegisteredObject(ar, GetItemClassRegistry());
}

namespace {

std::map<std::type_index, kxi_string>& StoredClassNames()
{
    static std::map<std::type_index, kxi_string> names;
    return names;
}

} // namespace

void NoteStoredClassName(const std::type_info& type, std::u16string_view name)
{
    StoredClassNames().try_emplace(std::type_index(type), kxi_string(name));
}

std::u16string_view StoredClassNameOf(const std::type_info& type)
{
    const auto& names = StoredClassNames();
    const auto found = names.find(std::type_index(type));
    return found == names.end() ? std::u16string_view() : std::u16string_view(found->second);
}
