// The losable registry: objects holding device-dependent resources enter the
// current manager's registry, are told of lost and reset devices, and leave
// the registry they entered.

#include "render/DocResManagerLosables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/DocResManager.h"

namespace {

// Records the calls it gets into a shared log.
class LoggingLosable : public KXI_LosableObj {
public:
    LoggingLosable(std::vector<std::string>& log, std::string label) : m_log(&log), m_label(std::move(label)) {}
    void OnLostDevice() override { m_log->push_back(m_label + " lost"); }
    void OnResetDevice() override { m_log->push_back(m_label + " reset"); }

private:
    std::vector<std::string>* m_log;
    std::string m_label;
};

TEST(DocResManagerLosablesTest, NamesAreFreshGuidStrings)
{
    const LinkKey a = MakeGuidName();
    const LinkKey b = MakeGuidName();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.id, 0);
    ASSERT_EQ(a.path.size(), crt::kGuidStringLength);
    EXPECT_EQ(crt::FormatGuidWide(crt::ParseGuid(std::u16string_view(a.path))), a.path);
}

TEST(DocResManagerLosablesTest, TheManagerTellsItsObjectsOfLostAndResetDevices)
{
    std::vector<std::string> log;
    auto manager = std::make_unique<DS_DocResManager>();
    CurrentDocResManagerScope current(manager.get());
    LoggingLosable first(log, "a");
    LoggingLosable second(log, "b");
    EXPECT_EQ(manager->Losables().Size(), 2u);

    manager->OnLostDevice();
    manager->OnResetDevice();
    // Each is told once per pass, in name order.
    ASSERT_EQ(log.size(), 4u);
    const bool firstLeads = first.Name() < second.Name();
    EXPECT_EQ(log[0], firstLeads ? "a lost" : "b lost");
    EXPECT_EQ(log[2], firstLeads ? "a reset" : "b reset");

    // Destroying the manager tells every object once that its device
    // objects go; the objects outlive the registry safely.
    log.clear();
    manager.reset();
    EXPECT_EQ(log.size(), 2u);
    EXPECT_FALSE(first.IsRegistered());
}

TEST(DocResManagerLosablesTest, ObjectsLeaveTheRegistryTheyEntered)
{
    std::vector<std::string> log;
    DS_DocResManager home;
    DS_DocResManager elsewhere;
    auto object = [&] {
        CurrentDocResManagerScope current(&home);
        return std::make_unique<LoggingLosable>(log, "x");
    }();
    EXPECT_EQ(home.Losables().Size(), 1u);

    // Destroyed while another manager is current: it still leaves its own.
    {
        CurrentDocResManagerScope current(&elsewhere);
        LoggingLosable other(log, "y");
        EXPECT_EQ(elsewhere.Losables().Size(), 1u);
        object.reset();
    }
    EXPECT_EQ(home.Losables().Size(), 0u);
    EXPECT_EQ(elsewhere.Losables().Size(), 0u);

    // Made without a current manager: never registered, nothing to leave.
    ASSERT_EQ(g_DocResManagerTls, nullptr);
    LoggingLosable loose(log, "z");
    EXPECT_FALSE(loose.IsRegistered());
}

TEST(DocResManagerLosablesTest, CopiesRegisterOnTheirOwnAndObjectsMayLeaveDuringAWalk)
{
    std::vector<std::string> log;
    DS_DocResManager manager;
    CurrentDocResManagerScope current(&manager);
    LoggingLosable original(log, "a");
    const LoggingLosable copy(original);
    EXPECT_NE(copy.Name(), original.Name());
    EXPECT_EQ(manager.Losables().Size(), 2u);

    // An object that destroys another while it is told: the other is not
    // called after it left.
    struct Destroyer : KXI_LosableObj {
        std::unique_ptr<LoggingLosable>* victim = nullptr;
        void OnLostDevice() override { victim->reset(); }
        void OnResetDevice() override {}
    };
    auto victim = std::make_unique<LoggingLosable>(log, "victim");
    const LinkKey victimName = victim->Name();
    Destroyer destroyer;
    destroyer.victim = &victim;
    log.clear();
    manager.OnLostDevice();
    EXPECT_EQ(victim, nullptr);
    // The victim is told only when its name comes before the destroyer's.
    const bool victimTold = std::find(log.begin(), log.end(), "victim lost") != log.end();
    EXPECT_EQ(victimTold, victimName < destroyer.Name());
    EXPECT_EQ(manager.Losables().Size(), 3u);
}

} // namespace
