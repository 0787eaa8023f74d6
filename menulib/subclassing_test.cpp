#include <gtest/gtest.h>

#include <functional>

#include "menulib/subclassing.h"
#include "menulib/win_test_support.h"

namespace ostrel {
namespace {

using test::SeenByWindow;

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kPong = WM_USER + 2;

struct RecordingSink : SubclassingSink {
    std::vector<UINT> before, after;
    std::function<void(bool&, LRESULT&, UINT, WPARAM&)> onBefore;
    void Before(bool& handled, LRESULT& result, HWND&, UINT& message, WPARAM& wParam, LPARAM&) override {
        before.push_back(message);
        if (onBefore) onBefore(handled, result, message, wParam);
    }
    void After(LRESULT& result, HWND, UINT message, WPARAM, LPARAM) override {
        after.push_back(message);
        result += 1;  // visible proof that After ran on the previous procedure's result
    }
    size_t BeforeCount(UINT m) const { return std::count(before.begin(), before.end(), m); }
    size_t AfterCount(UINT m) const { return std::count(after.begin(), after.end(), m); }
};

class Subclassing : public ::testing::Test {
protected:
    void SetUp() override {
        window = test::CreateRecordingWindow();
        ASSERT_TRUE(window);
        original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
        SeenByWindow().clear();
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
    }
    HWND window = nullptr;
    WNDPROC original = nullptr;
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
};

TEST_F(Subclassing, HandledInBeforeAnswersAndSkipsPreviousAndAfter) {
    SubclassingThunk thunk;
    const UINT both[] = {kPing};
    thunk.AddBeforeMsgs(both);
    thunk.AddAfterMsgs(both);
    sink->onBefore = [](bool& handled, LRESULT& result, UINT m, WPARAM&) {
        if (m == kPing) handled = true, result = 42;
    };
    ASSERT_TRUE(thunk.Subclass(window, sink));
    EXPECT_FALSE(thunk.Subclass(window, sink));  // already attached
    EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 42);
    EXPECT_FALSE(test::WindowSaw(kPing));
    EXPECT_EQ(sink->AfterCount(kPing), 0u);
}

TEST_F(Subclassing, ChangedWParamReachesThePreviousProcedureAndAfterSeesItsResult) {
    SubclassingThunk thunk;
    const UINT ping[] = {kPing};
    thunk.AddBeforeMsgs(ping);
    thunk.AddAfterMsgs(ping);
    sink->onBefore = [](bool&, LRESULT&, UINT, WPARAM& wParam) { wParam = 7; };
    ASSERT_TRUE(thunk.Subclass(window, sink));
    EXPECT_EQ(SendMessageW(window, kPing, 3, 0), 1000 + kPing + 1);
    ASSERT_EQ(SeenByWindow().size(), 1u);
    EXPECT_EQ(SeenByWindow()[0].wParam, 7u);
}

TEST_F(Subclassing, EmptyListsPassEverythingStraightThrough) {
    SubclassingThunk thunk;
    ASSERT_TRUE(thunk.Subclass(window, sink));
    EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 1000 + kPing);
    SetWindowTextW(window, L"x");
    EXPECT_TRUE(sink->before.empty());
    EXPECT_TRUE(sink->after.empty());
    EXPECT_TRUE(test::WindowSaw(kPing));
}

TEST_F(Subclassing, AllBeforeWithAnAfterListSendsOnlyListedMessagesToAfter) {
    SubclassingThunk thunk;
    const UINT pong[] = {kPong};
    thunk.AddAfterMsgs(pong);
    thunk.SetAllBeforeMsgs(true);
    ASSERT_TRUE(thunk.Subclass(window, sink));
    SendMessageW(window, kPing, 0, 0);
    EXPECT_EQ(SendMessageW(window, kPong, 0, 0), 1000 + kPong + 1);
    EXPECT_EQ(sink->BeforeCount(kPing), 1u);
    EXPECT_EQ(sink->BeforeCount(kPong), 1u);
    EXPECT_EQ(sink->after, std::vector<UINT>{kPong});
    // List edits reach an attached wrapper at once.
    EXPECT_TRUE(thunk.RemoveAfterMsg(kPong));
    EXPECT_FALSE(thunk.RemoveAfterMsg(kPong));
    SendMessageW(window, kPong, 0, 0);
    EXPECT_EQ(sink->after.size(), 1u);
}

TEST_F(Subclassing, DetachingInsideBeforeCompletesTheMessageAndRestoresTheProcedure) {
    SubclassingThunk thunk;
    const UINT ping[] = {kPing};
    thunk.AddBeforeMsgs(ping);
    thunk.AddAfterMsgs(ping);
    bool detached = false;
    sink->onBefore = [&](bool&, LRESULT&, UINT, WPARAM&) { detached = thunk.Unsubclass(); };
    ASSERT_TRUE(thunk.Subclass(window, sink, true, true));
    EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 1000 + kPing);  // After no longer runs
    EXPECT_TRUE(detached);
    EXPECT_TRUE(test::WindowSaw(kPing));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), original);
    SendMessageW(window, kPing, 0, 0);
    EXPECT_EQ(sink->before.size(), 1u);
    EXPECT_FALSE(thunk.Unsubclass());
}

WNDPROC g_belowForeign = nullptr;
int g_foreignCalls = 0;
LRESULT CALLBACK ForeignProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++g_foreignCalls;
    return CallWindowProcW(g_belowForeign, window, message, wParam, lParam);
}

TEST_F(Subclassing, AnotherSubclasserOnTopLeavesOursAsAPassThrough) {
    auto thunk = std::make_unique<SubclassingThunk>();
    const UINT ping[] = {kPing};
    thunk->AddBeforeMsgs(ping);
    ASSERT_TRUE(thunk->Subclass(window, sink));
    g_foreignCalls = 0;
    g_belowForeign = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProcedure)));
    EXPECT_TRUE(thunk->Unsubclass());
    thunk.reset();  // the owner goes away; the pass-through must not depend on it
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), &ForeignProcedure);
    EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 1000 + kPing);
    EXPECT_TRUE(sink->before.empty());
    EXPECT_GE(g_foreignCalls, 1);
    EXPECT_TRUE(DestroyWindow(window));  // the pass-through releases itself at WM_NCDESTROY
}

TEST_F(Subclassing, TwoOfOursStackAndTheLowerOneCanLeaveFirst) {
    SubclassingThunk lower, upper;
    auto upperSink = std::make_shared<RecordingSink>();
    const UINT ping[] = {kPing};
    lower.AddBeforeMsgs(ping);
    upper.AddBeforeMsgs(ping);
    ASSERT_TRUE(lower.Subclass(window, sink));
    ASSERT_TRUE(upper.Subclass(window, upperSink));
    SendMessageW(window, kPing, 0, 0);
    EXPECT_EQ(sink->before.size(), 1u);
    EXPECT_EQ(upperSink->before.size(), 1u);
    EXPECT_TRUE(lower.Unsubclass());
    EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 1000 + kPing);
    EXPECT_EQ(sink->before.size(), 1u);
    EXPECT_EQ(upperSink->before.size(), 2u);
    EXPECT_TRUE(upper.Unsubclass());
    EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 1000 + kPing);
    EXPECT_EQ(upperSink->before.size(), 2u);
}

TEST_F(Subclassing, WindowDestructionDetachesButKeepsTheHandleUntilUnsubclass) {
    SubclassingThunk thunk;
    const UINT destroy[] = {WM_NCDESTROY};
    thunk.AddBeforeMsgs(destroy);
    ASSERT_TRUE(thunk.Subclass(window, sink));
    EXPECT_EQ(thunk.CallOrigWndProc(kPing, 0, 0), std::optional<LRESULT>(1000 + kPing));
    const HWND old = window;
    DestroyWindow(window);
    EXPECT_EQ(sink->BeforeCount(WM_NCDESTROY), 1u);
    EXPECT_EQ(thunk.Window(), old);
    EXPECT_FALSE(thunk.CallOrigWndProc(kPing, 0, 0).has_value());
    EXPECT_TRUE(thunk.Unsubclass());
    EXPECT_EQ(thunk.Window(), nullptr);
}

TEST_F(Subclassing, CountedReferenceKeepsTheSinkAliveAndWeakDoesNot) {
    SubclassingThunk counted, weak;
    std::weak_ptr<RecordingSink> watch = sink;
    ASSERT_TRUE(counted.Subclass(window, sink));
    sink.reset();
    EXPECT_FALSE(watch.expired());
    counted.Unsubclass();
    EXPECT_TRUE(watch.expired());

    auto local = std::make_shared<RecordingSink>();
    ASSERT_TRUE(weak.Subclass(window, local, true));
    EXPECT_EQ(local.use_count(), 1);
}

struct HookRecorder : HookingSink {
    std::vector<UINT> seen;
    int afters = 0;
    void Before(bool&, LRESULT&, int& code, WPARAM&, LPARAM& lParam) override {
        if (code == HC_ACTION) seen.push_back(HookingThunk::ReadCallWndProc(lParam).message);
    }
    void After(LRESULT&, int, WPARAM, LPARAM) override { ++afters; }
};

TEST_F(Subclassing, ThreadHookCallsItsSinkAroundTheNextHook) {
    HookingThunk hook;
    auto recorder = std::make_shared<HookRecorder>();
    ASSERT_TRUE(hook.Hook(WH_CALLWNDPROC, recorder));
    EXPECT_FALSE(hook.Hook(WH_CALLWNDPROC, recorder));
    EXPECT_EQ(hook.HookType(), WH_CALLWNDPROC);
    SendMessageW(window, kPong, 0, 0);
    EXPECT_NE(std::find(recorder->seen.begin(), recorder->seen.end(), kPong), recorder->seen.end());
    EXPECT_EQ(static_cast<size_t>(recorder->afters), recorder->seen.size());
    EXPECT_TRUE(hook.Unhook());
    EXPECT_FALSE(hook.Unhook());
    HookingThunk refused;
    EXPECT_FALSE(refused.Hook(1234, recorder));  // no such hook type
    EXPECT_EQ(refused.ThunkAddress(), nullptr);
    const size_t before = recorder->seen.size();
    SendMessageW(window, kPong, 0, 0);
    EXPECT_EQ(recorder->seen.size(), before);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct PopupRecorder : PopupMenuClient {
    std::vector<HWND> popups;
    std::vector<std::wstring> classes;  // taken while the popup still exists
    void AttachPopup(HWND popup) override {
        popups.push_back(popup);
        classes.push_back(ClassOf(popup));
    }
};

int TrackAndDismissMenu(HWND owner) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"item");
    // The menu loop is modal: a timer inside it closes the menu again.
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    SetForegroundWindow(owner);
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
    KillTimer(nullptr, timer);
    DestroyMenu(menu);
    return chosen;
}

TEST_F(Subclassing, MenuHookHandsOnlyPopupMenuWindowsToTheCurrentMenuControl) {
    ASSERT_TRUE(EnsureMenuHook());
    EXPECT_TRUE(EnsureMenuHook());
    PopupRecorder recorder;
    SetCurrentMenuControl(&recorder);
    HWND other = test::CreateRecordingWindow();  // created while watched: not a popup menu
    HWND owner = test::SharedHostWindow();
    TrackAndDismissMenu(owner);
    SetCurrentMenuControl(nullptr);
    ASSERT_FALSE(recorder.popups.empty());
    // Only creation and sizing are handed on, not the many other messages of the popup.
    EXPECT_LE(recorder.popups.size(), 3u);
    for (const std::wstring& name : recorder.classes) EXPECT_EQ(name, L"#32768");
    EXPECT_EQ(std::count(recorder.popups.begin(), recorder.popups.end(), other), 0);

    // Without a current menu control nothing is handed on.
    const size_t seen = recorder.popups.size();
    TrackAndDismissMenu(owner);
    EXPECT_EQ(recorder.popups.size(), seen);
    EXPECT_EQ(CurrentMenuControl(), nullptr);
    DestroyWindow(other);
}

}  // namespace
}  // namespace ostrel
