#include "platform/MessageMap.h"
#include <gtest/gtest.h>
#include <stdexcept>

namespace {
constexpr std::uint32_t kTimer = 0x113, kSize = 0x5;

struct Target {
    std::string label = "target"; // large enough for GCC's member-pointer checks
    int calls = 0;
    MsgResult Tick(MsgWParam w, MsgLParam) {
        ++calls;
        return static_cast<MsgResult>(w) + 1;
    }
    MsgResult Fail(MsgWParam, MsgLParam) { throw std::runtime_error("boom"); }
    MsgResult FailOther(MsgWParam, MsgLParam) { throw 42; }
    MsgResult Any(MsgWParam, MsgLParam) { return 7; }
    MsgResult Clicked(MsgWParam, MsgLParam) { return 8; }
};

const MessageMap<Target> kMap = {
    onMessage(kTimer, &Target::Tick, "OnTimer"),
    onMessage(kSize, &Target::Fail, "OnSize"),
    onCommand(1002, &Target::Any, "OnClose"),
    onCommand(1002, 0, &Target::Clicked, "OnCloseClicked"),
    onNotify(1007, -12, &Target::FailOther, "OnCustomDraw"),
};

MsgKey Message(std::uint32_t m) {
    return {MsgKind::Message, m, 0, kAnyCode};
}
} // namespace

TEST(MessageMapTest, DispatchFindsTheEntryAndReturnsItsResult) {
    Target target;
    FailureGate gate;
    MsgResult result = 0;
    std::vector<std::string> boxes;
    auto record = [&](const std::string& text) { boxes.push_back(text); };
    EXPECT_TRUE(kMap.Dispatch(target, Message(kTimer), 4, 0, result, gate, record));
    EXPECT_EQ(result, 5);
    EXPECT_FALSE(kMap.Dispatch(target, Message(0x999), 0, 0, result, gate, record));
    // A specific code wins over the any-code entry of the same control.
    kMap.Dispatch(target, {MsgKind::Command, 0, 1002, 0}, 0, 0, result, gate, record);
    EXPECT_EQ(result, 8);
    kMap.Dispatch(target, {MsgKind::Command, 0, 1002, 3}, 0, 0, result, gate, record);
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(boxes.empty());
}

TEST(MessageMapTest, FailuresAreCaughtAndReportedByHandlerName) {
    Target target;
    FailureGate gate;
    MsgResult result = 99;
    std::vector<std::string> boxes;
    auto record = [&](const std::string& text) { boxes.push_back(text); };
    EXPECT_TRUE(kMap.Dispatch(target, Message(kSize), 0, 0, result, gate, record));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(kMap.Dispatch(target, {MsgKind::Notify, 0, 1007, -12}, 0, 0, result, gate, record));
    EXPECT_EQ(boxes, (std::vector<std::string>{"OnSize\nError", "OnCustomDraw\nError"}));
}

TEST(MessageMapTest, OneBoxPerHandlerWhileItIsOpen) {
    FailureGate gate;
    int shown = 0;
    FailureReporter nested;
    nested = [&](const std::string&) {
        ++shown;
        // The box's own message loop runs the failing handler again.
        gate.Report("OnTimer", nested);
        EXPECT_TRUE(gate.IsOpen("OnTimer"));
    };
    gate.Report("OnTimer", nested);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(gate.IsOpen("OnTimer"));
    gate.Report("OnTimer", [&](const std::string&) { ++shown; });
    EXPECT_EQ(shown, 2);
}

TEST(MessageMapTest, GuardedStepsReportUnderTheirOwnName) {
    FailureGate gate;
    std::string box;
    Guarded(
        "ShowQuote", gate, [&](const std::string& text) { box = text; },
        [] { throw std::logic_error("x"); });
    EXPECT_EQ(box, "ShowQuote\nError");
}

TEST(MessageMapTest, DuplicateKeysAreDetected) {
    EXPECT_FALSE(kMap.HasDuplicates());
    const MessageMap<Target> twice = {
        onMessage(kTimer, &Target::Tick, "A"),
        onMessage(kTimer, &Target::Any, "B"),
    };
    EXPECT_TRUE(twice.HasDuplicates());
}
