// Class registries and polymorphic records: exact-name look-up in the right
// registry, the record's version handed to the body reader, and refusal of
// a class that no registry knows.

#include <gtest/gtest.h>

#include "objectmodel/ClassRegistry.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A scene object whose body is one int32; it remembers the version it was
// read with.
class RegistryTestObject : public DS_IOF_Item {
public:
    void ReadBody(ArchiveReader ar, std::int32_t storedVersion)
    {
        version = storedVersion;
        value = ar.ReadInt();
    }
    std::int32_t version = -1;
    std::int32_t value = 0;
};

class RegistryTestOther : public RegistryTestObject {};

class RegistryTestNode : public KXI_IOF_Item {
public:
    void ReadBody(ArchiveReader ar, std::int32_t) { text = ar.ReadWideString(); }
    kxi_string text;
};

const bool g_registered = RegisterMainClass<RegistryTestObject>(u"RegistryTestObject") &&
                          RegisterMainClass<RegistryTestOther>(u"RegistryTestObject") && // second site: ignored
                          RegisterFamilyClass<RegistryTestNode>(GetItemClassRegistry(), u"RegistryTestNode");

TEST(Registry, ReadsARegisteredRecordWithItsVersion)
{
    ASSERT_TRUE(g_registered);
    MemoryArchive archive(DocumentWriter().Section(u"RegistryTestObject", 3).Int(41).Int(99).Bytes());
    const std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    const auto* object = dynamic_cast<const RegistryTestObject*>(item.get());
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(dynamic_cast<const RegistryTestOther*>(item.get()), nullptr) << "the first registration stays";
    EXPECT_EQ(object->version, 3);
    EXPECT_EQ(object->value, 41);
    EXPECT_EQ(archive.Reader().ReadInt(), 99) << "the record ends where its body ends";
}

TEST(Registry, ItemRegistryReadsItsFamily)
{
    MemoryArchive archive(DocumentWriter().Section(u"RegistryTestNode", 1).WideString(u"leaf").Bytes());
    const std::unique_ptr<KXI_IOF_Item> item = ReadItemObject(archive.Reader());
    ASSERT_NE(dynamic_cast<RegistryTestNode*>(item.get()), nullptr);
    EXPECT_EQ(static_cast<RegistryTestNode&>(*item).text, u"leaf");
    EXPECT_NE(CreateDefaultByClassName(GetItemClassRegistry(), u"RegistryTestNode"), nullptr);
}

TEST(Registry, UnknownNamesRefuseTheDocumentNamingTheClass)
{
    const struct {
        const char* name;
        const char16_t* className;
        bool throughMain;
    } cases[] = {
        {"differs in letter case", u"registrytestobject", true},
        {"registered in another family", u"RegistryTestNode", true},
        {"main class read as an item", u"RegistryTestObject", false},
        {"empty name", u"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryArchive archive(DocumentWriter().Section(c.className, 1).Int(0).Bytes());
        try {
            if (c.throughMain)
                ReadSceneObject(archive.Reader());
            else
                ReadItemObject(archive.Reader());
            ADD_FAILURE() << "not refused";
        } catch (const DS_Error& error) {
            EXPECT_EQ(error.Message(), u"Cannot open file: the document holds an object of unknown class \"" +
                                           kxi_string(c.className) + u"\".");
        }
    }
}

TEST(Registry, QuotesOnlyTheStartOfAHugeUnknownName)
{
    MemoryArchive archive(DocumentWriter().Section(kxi_string(100000, u'Q'), 1).Bytes());
    try {
        ReadSceneObject(archive.Reader());
        FAIL();
    } catch (const DS_Error& error) {
        EXPECT_LT(error.Message().size(), 200u);
        EXPECT_NE(error.Message().find(u"QQQ..."), kxi_string::npos);
    }
}

TEST(Registry, CreateDefaultByClassNameOnlyFindsItsOwnRegistry)
{
    EXPECT_EQ(CreateDefaultByClassName(GetItemClassRegistry(), u"RegistryTestObject"), nullptr);
    EXPECT_EQ(CreateDefaultByClassName(GetItemClassRegistry(), u""), nullptr);
    EXPECT_EQ(GetItemClassRegistry().Find(u"registrytestnode"), nullptr);
}

// Tools name objects by the class name documents store: the name a class
// was registered under, whichever registry holds it.
TEST(Registry, StoredClassNamesFollowTheRegistration)
{
    ASSERT_TRUE(g_registered);
    EXPECT_EQ(StoredClassNameOf(typeid(RegistryTestObject)), u"RegistryTestObject");
    EXPECT_EQ(StoredClassNameOf(typeid(RegistryTestNode)), u"RegistryTestNode");
    // A second class under a taken name still knows the name it was given.
    EXPECT_EQ(StoredClassNameOf(typeid(RegistryTestOther)), u"RegistryTestObject");
    EXPECT_TRUE(StoredClassNameOf(typeid(int)).empty());
}

TEST(Registry, EachAccessorReturnsOneLastingRegistry)
{
    EXPECT_EQ(&GetMainClassRegistry(), &GetMainClassRegistry());
    EXPECT_EQ(&GetTimingClassRegistry(), &GetTimingClassRegistry());
    EXPECT_EQ(GetMainClassRegistry().Find(u"RegistryTestObject"), GetMainClassRegistry().Find(u"RegistryTestObject"));
    const auto names = GetMainClassRegistry().Names();
    EXPECT_EQ(std::count(names.begin(), names.end(), kxi_string(u"RegistryTestObject")), 1);
}

} // namespace
