// Parameters and their observers: who is told of a change, the four ways of
// setting, the lifetime rules between parameters and controls, and the
// callback controls.

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/SafePtr.h"
#include "platform/crt/Guid.h"
#include "platform/math/Vector.h"

namespace {

using CallLog = std::vector<std::string>;

// Logs its name and whether a source was given each time it is told.
class RecordingControl : public MediaControl {
public:
    RecordingControl(std::string name, CallLog& log) : m_name(std::move(name)), m_log(&log) {}
    void OnParamChanged(MediaControl*) override { m_log->push_back(m_name); }
    void Detach() override { m_log->push_back(m_name + ":detach"); }

private:
    std::string m_name;
    CallLog* m_log;
};

TEST(ParamObservers, NotifySkipsOnlyTheCausingControl)
{
    CallLog log;
    RecordingControl a("a", log), b("b", log), c("c", log);

    struct Case {
        MediaControl* source;
        CallLog expected;
    };
    const Case cases[] = {
        {nullptr, {"a", "b", "c"}},
        {&a, {"b", "c"}},
        {&b, {"a", "c"}},
        {&c, {"a", "b"}},
    };
    for (const Case& test : cases) {
        MediaParamTB<int> param(0);
        param.AddControl(&a);
        param.AddControl(&b);
        param.AddControl(&c);
        log.clear();
        param.NotifyObservers(test.source);
        EXPECT_EQ(log, test.expected);
        param.RemoveControl(&a);
        param.RemoveControl(&b);
        param.RemoveControl(&c);
    }
}

TEST(ParamObservers, ControlAddedTwiceIsCalledTwiceAndRemovedAtOnce)
{
    CallLog log;
    RecordingControl a("a", log), b("b", log);
    MediaParamTB<int> param(0);
    param.AddControl(&a);
    param.AddControl(&b);
    param.AddControl(&a);

    param.SetValue(5, nullptr);
    EXPECT_EQ(log, (CallLog{"a", "b", "a"}));

    param.RemoveControl(&a);
    log.clear();
    param.SetValue(6, nullptr);
    EXPECT_EQ(log, (CallLog{"b"}));
    param.RemoveControl(&b);
}

TEST(ParamObservers, DestroyedParameterDetachesItsObserversInOrder)
{
    CallLog log;
    RecordingControl a("a", log), b("b", log);
    {
        MediaParamT<int> param(0);
        param.AddControl(&a);
        param.AddControl(&b);
    }
    // The embedded undo controller is gone before the list is walked, so only
    // the outside controls hear of it.
    EXPECT_EQ(log, (CallLog{"a:detach", "b:detach"}));
}

struct Owner {
    std::vector<unsigned> values;
    int memberCalls = 0;
    void TakeValue(unsigned value) { values.push_back(value); }
    void TakeInt(int value) { values.push_back(static_cast<unsigned>(value)); }
    void Changed() { ++memberCalls; }
};

TEST(ParamObservers, ControlsOutlivingTheirParameterAreUnboundAndSafeToDelete)
{
    Owner owner;
    auto valueControl = std::make_unique<DS_FunLightCtrl<unsigned, Owner>>(&Owner::TakeValue, &owner);
    auto memberControl = std::unique_ptr<SmartCalbackCtrl<Owner>>();
    auto boundControl = std::make_unique<MediaControlT<MediaParamTB<unsigned>>>();
    {
        MediaParamT<unsigned> param(3);
        valueControl->AttachToParam(&param);
        memberControl = std::make_unique<SmartCalbackCtrl<Owner>>(&Owner::Changed, &owner, &param);
        boundControl->AttachToParam(&param);
        EXPECT_EQ(valueControl->WatchedParam(), &param);
        EXPECT_EQ(memberControl->WatchedParam(), &param);
    }
    EXPECT_EQ(valueControl->WatchedParam(), nullptr);
    EXPECT_EQ(memberControl->WatchedParam(), nullptr);
    EXPECT_EQ(boundControl->WatchedParam(), nullptr);
    // Deleting them now must not touch the destroyed parameter (ASan checks).
    valueControl.reset();
    memberControl.reset();
    boundControl.reset();
    EXPECT_EQ(owner.values, (std::vector<unsigned>{3}));
}

TEST(ParamObservers, DeletedControlLeavesTheParameter)
{
    Owner owner;
    MediaParamT<unsigned> param(1);
    {
        SmartCalbackCtrl<Owner> control(&Owner::Changed, &owner, &param);
        param.AddControl(&control); // stands twice now
        EXPECT_TRUE(param.IsObservedBy(&control));
    }
    EXPECT_EQ(param.Observers().size(), 1u); // only the undo controller
    param.SetValue(2, nullptr);
    EXPECT_EQ(owner.memberCalls, 0);
}

TEST(ParamObservers, AttachingMovesAControlBetweenParameters)
{
    Owner owner;
    MediaParamT<unsigned> first(10), second(20);
    DS_FunLightCtrl<unsigned, Owner> control(&Owner::TakeValue, &owner);
    control.AttachToParam(&first);
    control.AttachToParam(&second);
    EXPECT_FALSE(first.IsObservedBy(&control));
    EXPECT_TRUE(second.IsObservedBy(&control));
    first.SetValue(11, nullptr);
    second.SetValue(21, nullptr);
    EXPECT_EQ(owner.values, (std::vector<unsigned>{10, 20, 21}));
}

TEST(ParamObservers, CallbackListRegistersAndClearsItsControls)
{
    Owner owner;
    MediaParamT<unsigned> count(7);
    MediaParamT<int> mode(-2);
    {
        CallbackControlList<Owner> list(&owner);
        list.AddValueCallback(&count, &Owner::TakeValue);
        list.AddValueCallback<int>(&mode, &Owner::TakeInt);
        list.AddMemberCallback(&Owner::Changed, &count);
        // The value callbacks ran once each while being attached; the member
        // callback did not.
        EXPECT_EQ(owner.values, (std::vector<unsigned>{7, static_cast<unsigned>(-2)}));
        EXPECT_EQ(owner.memberCalls, 0);

        count.SetValue(8, nullptr);
        EXPECT_EQ(owner.values.back(), 8u);
        EXPECT_EQ(owner.memberCalls, 1);
        EXPECT_EQ(count.Observers().size(), 3u);
    }
    EXPECT_EQ(count.Observers().size(), 1u);
    EXPECT_EQ(mode.Observers().size(), 1u);
    count.SetValue(9, nullptr);
    EXPECT_EQ(owner.memberCalls, 1);
}

TEST(ParamObservers, CallbackListDeletesAnOwnedOwnerAfterItsControls)
{
    struct Tracked : Owner {
        explicit Tracked(bool& deleted) : m_deleted(&deleted) {}
        ~Tracked() { *m_deleted = true; }
        bool* m_deleted;
    };
    bool deleted = false;
    MediaParamT<unsigned> param(1);
    {
        CallbackControlList<Tracked> list(std::make_unique<Tracked>(deleted));
        list.AddMemberCallback(&Tracked::Changed, &param);
        EXPECT_FALSE(deleted);
    }
    EXPECT_TRUE(deleted);
    EXPECT_EQ(param.Observers().size(), 1u);
}

// The four ways of setting, on a parameter with its undo controller and one
// outside control.
TEST(ParamObservers, FourWaysOfSetting)
{
    enum class Way { Quiet, SetValue, ChangedValue, Direct };
    struct Case {
        const char* name;
        Way way;
        int newValue;
        bool controlTold;
        int undoCopy;
    };
    const Case cases[] = {
        {"quiet set", Way::Quiet, 9, false, 9},
        {"set value, new", Way::SetValue, 9, true, 9},
        {"set value, same", Way::SetValue, 4, true, 4},
        {"changed value, new", Way::ChangedValue, 9, true, 9},
        {"changed value, same", Way::ChangedValue, 4, false, 4},
        {"direct store", Way::Direct, 9, false, 4},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        CallLog log;
        RecordingControl control("c", log);
        MediaParamT<int> param(4);
        param.AddControl(&control);
        switch (test.way) {
        case Way::Quiet: param.QuietSet(test.newValue); break;
        case Way::SetValue: param.SetValue(test.newValue, nullptr); break;
        case Way::ChangedValue: param.SetChangedValue(test.newValue, nullptr); break;
        case Way::Direct: param.StoreValue(test.newValue); break;
        }
        EXPECT_EQ(param.value, test.newValue);
        EXPECT_EQ(!log.empty(), test.controlTold);
        EXPECT_EQ(param.undo.Current(), test.undoCopy);
        param.RemoveControl(&control);
    }
}

TEST(ParamObservers, SetValueWithTheSameValueSkipsOnlyTheSource)
{
    CallLog log;
    RecordingControl a("a", log), b("b", log);
    MediaParamT<int> param(4);
    param.AddControl(&a);
    param.AddControl(&b);
    param.SetValue(4, &a);
    EXPECT_EQ(log, (CallLog{"b"}));
    param.RemoveControl(&a);
    param.RemoveControl(&b);
}

TEST(ParamObservers, CopyKeepsTheValueButNotTheObservers)
{
    Owner owner;
    MediaParamT<unsigned> original(5);
    CallbackControlList<Owner> list(&owner);
    list.AddValueCallback(&original, &Owner::TakeValue);
    list.AddMemberCallback(&Owner::Changed, &original);

    MediaParamT<unsigned> copy(original);
    EXPECT_EQ(copy.value, 5u);
    ASSERT_EQ(copy.Observers().size(), 1u);
    EXPECT_EQ(copy.Observers().front(), &copy.undo);
    EXPECT_EQ(copy.undo.Param(), &copy);
    EXPECT_EQ(copy.undo.Current(), 5u);
    EXPECT_EQ(original.Observers().front(), &original.undo);
}

TEST(ParamObservers, AssignmentIsAQuietSetThatKeepsObservers)
{
    CallLog log;
    RecordingControl control("c", log);
    MediaParamT<int> target(1), source(2);
    target.AddControl(&control);
    target = source;
    EXPECT_EQ(target.value, 2);
    EXPECT_EQ(target.undo.Current(), 2);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(target.IsObservedBy(&control));
    target.RemoveControl(&control);
}

// Parameters kept in a vector survive its reallocation with their own
// undo controllers bound to the new addresses.
TEST(ParamObservers, ParametersInAVectorStayBoundAfterGrowth)
{
    std::vector<MediaParamT<int>> params;
    for (int i = 0; i < 40; ++i)
        params.emplace_back(i);
    for (MediaParamT<int>& param : params) {
        EXPECT_EQ(param.undo.Param(), &param);
        EXPECT_EQ(param.Observers().front(), &param.undo);
        param.SetValue(param.value + 1, nullptr);
        EXPECT_EQ(param.undo.Current(), param.value);
    }
}

TEST(ParamObservers, ObserversMayLeaveOrJoinDuringANotification)
{
    struct SelfRemoving : MediaControl {
        MediaParam* param = nullptr;
        MediaControl* alsoRemove = nullptr;
        MediaControl* toAdd = nullptr;
        int calls = 0;
        void OnParamChanged(MediaControl*) override
        {
            ++calls;
            param->RemoveControl(this);
            if (alsoRemove)
                param->RemoveControl(alsoRemove);
            if (toAdd)
                param->AddControl(toAdd);
        }
    };
    CallLog log;
    RecordingControl removed("removed", log), added("added", log), kept("kept", log);
    MediaParamT<int> param(0);
    SelfRemoving first;
    first.param = &param;
    first.alsoRemove = &removed;
    first.toAdd = &added;
    param.AddControl(&first);
    param.AddControl(&removed);
    param.AddControl(&kept);

    param.SetValue(1, nullptr);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(log, (CallLog{"kept", "added"}));
    EXPECT_EQ(param.Observers().size(), 3u); // undo, kept, added
    param.RemoveControl(&kept);
    param.RemoveControl(&added);
}

TEST(ParamObservers, MediaFloatCommands)
{
    struct Case {
        float start;
        int command;
        float expected;
        bool notified;
    };
    const Case cases[] = {
        {2.5f, KXI_MediaFloat::kIncrement, 3.5f, true},
        {2.5f, KXI_MediaFloat::kDecrement, 1.5f, true},
        {2.5f, 7, 2.5f, false},
        {16777216.0f, KXI_MediaFloat::kIncrement, 16777216.0f, false},
        {16777216.0f, KXI_MediaFloat::kDecrement, 16777215.0f, true},
    };
    for (const Case& test : cases) {
        CallLog log;
        RecordingControl control("c", log);
        KXI_MediaFloat param(test.start);
        param.AddControl(&control);
        MediaParam& asParam = param;
        asParam.HandleCommand(test.command, nullptr);
        EXPECT_EQ(param.value, test.expected);
        EXPECT_EQ(!log.empty(), test.notified);
        EXPECT_EQ(param.undo.Current(), test.expected);
        param.RemoveControl(&control);
    }
}

TEST(ParamObservers, PlainParametersIgnoreCommands)
{
    CallLog log;
    RecordingControl control("c", log);
    MediaParamT<float> param(1.0f);
    param.AddControl(&control);
    param.HandleCommand(KXI_MediaFloat::kIncrement, nullptr);
    EXPECT_EQ(param.value, 1.0f);
    EXPECT_TRUE(log.empty());
    param.RemoveControl(&control);
}

struct Node {
    int id = 0;
};

// The changed-value set uses each value type's differs test.
TEST(ParamObservers, ChangedValueSetUsesTheValueTypesDiffersTest)
{
    auto notifiedAfter = [](auto& param, const auto& newValue) {
        CallLog log;
        RecordingControl control("c", log);
        param.AddControl(&control);
        param.SetChangedValue(newValue, nullptr);
        param.RemoveControl(&control);
        return !log.empty();
    };

    MediaParamT<float> nan(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(notifiedAfter(nan, std::numeric_limits<float>::quiet_NaN()));
    MediaParamT<float> zero(0.0f);
    EXPECT_FALSE(notifiedAfter(zero, -0.0f));

    MediaParamT<math::Vec3> vec(math::Vec3{1, 2, 3});
    EXPECT_FALSE(notifiedAfter(vec, math::Vec3{1, 2, 3}));
    EXPECT_TRUE(notifiedAfter(vec, math::Vec3{1, 2, 4}));

    MediaParamT<kxi_string> text(u"abc");
    EXPECT_FALSE(notifiedAfter(text, kxi_string(u"abc")));
    EXPECT_TRUE(notifiedAfter(text, kxi_string(u"abd")));

    crt::Guid guid;
    guid.Data4[7] = 1;
    MediaParamT<crt::Guid> link(guid);
    EXPECT_FALSE(notifiedAfter(link, guid));
    EXPECT_TRUE(notifiedAfter(link, crt::Guid{}));

    MediaParamT<std::vector<std::uint32_t>> words(std::vector<std::uint32_t>{1, 2});
    EXPECT_FALSE(notifiedAfter(words, std::vector<std::uint32_t>{1, 2}));
    EXPECT_TRUE(notifiedAfter(words, std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_TRUE(notifiedAfter(words, std::vector<std::uint32_t>{1, 3, 3}));

    // Handles differ when they refer to other objects, not other blocks.
    DS_SafePtr<Node> a = MakeSafePtr<Node>(), b = MakeSafePtr<Node>();
    DS_SafePtr<Node> aCopy = a;
    MediaParamT<std::vector<DS_SafePtr<Node>>> nodes(std::vector<DS_SafePtr<Node>>{a, b});
    EXPECT_FALSE(notifiedAfter(nodes, std::vector<DS_SafePtr<Node>>{aCopy, b}));
    EXPECT_TRUE(notifiedAfter(nodes, std::vector<DS_SafePtr<Node>>{b, a}));
}

} // namespace
