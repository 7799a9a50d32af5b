// Modal dialogs: creation from levelmeter's templates, WM_INITDIALOG, the order of posted
// messages, EndDialog, the rule that ends every dialog, nested dialogs, failures to open, the
// geometry, and windows of registered classes living in a dialog.
#include <algorithm>

#include "dialog_scene.h"

namespace {

constexpr UINT kPing = WM_USER + 1;

const char* const kSmallScript = R"rc(
400 DIALOG 0, 0, 100, 60
CAPTION "Small"
BEGIN
    LTEXT "Text", 5, 2, 2, 50, 8
    PUSHBUTTON "Open", 6, 2, 20, 40, 14
    DEFPUSHBUTTON "OK", IDOK, 2, 40, 40, 14
    PUSHBUTTON "Cancel", IDCANCEL, 50, 40, 40, 14
END
401 DIALOG 0, 0, 80, 40
CAPTION "Inner"
BEGIN
    DEFPUSHBUTTON "OK", IDOK, 2, 20, 40, 14
END
)rc";

using DialogBoxes = DialogTest;

TEST_F(DialogBoxes, InitDialogCarriesParamAndFocusThenThePersonSeesIt) {
  HWND focus = nullptr;
  int focusId = 0;
  LPARAM param = 0;
  bool visibleDuringInit = true;
  s.handle = [&](HWND dialog, UINT m, WPARAM w, LPARAM l) -> INT_PTR {
    if (m == WM_INITDIALOG) {
      focus = HWND(w);
      focusId = GetDlgCtrlID(focus);
      param = l;
      visibleDuringInit = IsWindowVisible(dialog) != 0;
      EXPECT_TRUE(s.shown.empty());
    }
    return -1;
  };
  s.steps.push_back([](HWND d) { ASSERT_EQ(orvane_click(GetDlgItem(d, IDOK)), 0); });
  EXPECT_EQ(run(levelmeterScript(), 100, 0x1234), IDOK);
  ASSERT_EQ(s.shown.size(), 1u);
  EXPECT_EQ(s.shown[0].second, 100);
  EXPECT_TRUE(s.visibleWhenShown);
  EXPECT_FALSE(visibleDuringInit);
  EXPECT_EQ(param, 0x1234);
  // The first visible, enabled tab stop: the left "ITU" box.
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(focusId, 1000);
  EXPECT_EQ(s.received.front().message, UINT(WM_INITDIALOG));
  // The dialog and its controls are gone once DialogBoxParamA returns.
  EXPECT_FALSE(IsWindow(s.shown[0].first));
  EXPECT_FALSE(IsWindow(focus));
}

TEST_F(DialogBoxes, PostedMessagesArriveInOrderBeforeThePersonIsAsked) {
  s.handle = [&](HWND dialog, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) {
      for (WPARAM i = 1; i <= 3; ++i) PostMessageA(dialog, kPing, i, 0);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    if (m == kPing && w == 2) PostMessageA(dialog, kPing, 4, 0);  // behind OK
    if (m == kPing) return TRUE;
    return -1;
  };
  EXPECT_EQ(run(kSmallScript, 400), IDOK);
  std::vector<WPARAM> pings;
  for (const SceneMessage& m : s.received)
    if (m.message == kPing) pings.push_back(m.wParam);
  // The loop stops after the message that ended the dialog: 4 is never dispatched.
  EXPECT_EQ(pings, (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_EQ(s.idleCalls, 0);
  ASSERT_EQ(s.ended.size(), 1u);
  EXPECT_EQ(s.ended[0].result, IDOK);
}

TEST_F(DialogBoxes, TheEndSnapshotSeesTheFinalStateAndTheResult) {
  s.steps.push_back([](HWND d) {
    ASSERT_EQ(orvane_click(GetDlgItem(d, 1001)), 0);
    ASSERT_EQ(orvane_type(GetDlgItem(d, 1006), "94"), 0);
    ASSERT_EQ(orvane_click(GetDlgItem(d, 1234)), 0);
  });
  s.steps.push_back([](HWND d) { ASSERT_EQ(orvane_click(GetDlgItem(d, IDCANCEL)), 0); });
  s.handle = [](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) {
      CheckDlgButton(d, 1232, BST_CHECKED);
      ShowWindow(GetDlgItem(d, 1007), SW_HIDE);
    }
    if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) {
      EndDialog(d, 77);
      return TRUE;
    }
    return -1;
  };
  EXPECT_EQ(run(levelmeterScript(), 100), 77);
  ASSERT_EQ(s.ended.size(), 1u);
  const SceneEnd& end = s.ended[0];
  EXPECT_EQ(end.resource, 100);
  EXPECT_EQ(end.result, 77);
  ASSERT_EQ(end.controls.size(), 24u);
  EXPECT_EQ(end.control(1001)->checked, BST_CHECKED);
  EXPECT_EQ(end.control(1000)->checked, BST_UNCHECKED);
  EXPECT_EQ(end.control(1006)->text, "94");
  EXPECT_EQ(end.control(1232)->checked, BST_UNCHECKED);
  EXPECT_EQ(end.control(1234)->checked, BST_CHECKED);
  EXPECT_EQ(end.control(1007)->visible, 0);
  EXPECT_EQ(end.control(120)->visible, 0);
  EXPECT_EQ(end.control(1245)->visible, 1);
  EXPECT_EQ(s.idleCalls, 2);
}

TEST_F(DialogBoxes, APersonWithNothingToDoClosesTheDialog) {
  // levelmeter's way: the close box posts Cancel.
  s.handle = [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_CLOSE) {
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    }
    return -1;
  };
  EXPECT_EQ(run(kSmallScript, 400), IDCANCEL);
  EXPECT_EQ(s.idleCalls, 1);
  std::vector<UINT> order;
  for (const SceneMessage& m : s.received)
    if (m.message == WM_CLOSE || m.message == WM_COMMAND) order.push_back(m.message);
  EXPECT_EQ(order, (std::vector<UINT>{WM_CLOSE, WM_COMMAND}));
}

TEST_F(DialogBoxes, WithoutAnIdleHookTheDialogIsClosedAtOnce) {
  s.idleHook = false;
  install();
  int commandFrom = 0;
  s.handle = [&](HWND, UINT m, WPARAM, LPARAM l) -> INT_PTR {
    if (m == WM_COMMAND) commandFrom = GetDlgCtrlID(HWND(l));
    return -1;
  };
  EXPECT_EQ(run(kSmallScript, 400), IDCANCEL);
  // Declined by the procedure, the close box presses the Cancel button.
  auto close = std::find_if(s.received.begin(), s.received.end(),
                            [](const SceneMessage& m) { return m.message == WM_CLOSE; });
  ASSERT_NE(close, s.received.end());
  auto command = std::find_if(close, s.received.end(),
                              [](const SceneMessage& m) { return m.message == WM_COMMAND; });
  ASSERT_NE(command, s.received.end());
  EXPECT_EQ(command->wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
  EXPECT_EQ(commandFrom, IDCANCEL);
}

TEST_F(DialogBoxes, ADialogThatRefusesToCloseEndsWithMinusOne) {
  s.handle = [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR {
    return m == WM_INITDIALOG ? -1 : TRUE;  // swallows everything, close and Cancel included
  };
  SetLastError(0);
  EXPECT_EQ(run(kSmallScript, 400), -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_TIMEOUT));
  EXPECT_EQ(s.idleCalls, 1);
  auto closes = std::count_if(s.received.begin(), s.received.end(),
                              [](const SceneMessage& m) { return m.message == WM_CLOSE; });
  EXPECT_EQ(closes, 1);
  ASSERT_EQ(s.ended.size(), 1u);
  EXPECT_EQ(s.ended[0].result, -1);
}

TEST_F(DialogBoxes, AnIdleHookThatNeverActsIsTakenAsDone) {
  for (int i = 0; i < 5000; ++i) s.steps.push_back([](HWND d) { IsWindowVisible(d); });
  EXPECT_EQ(run(kSmallScript, 400), IDCANCEL);
  EXPECT_EQ(s.idleCalls, 1000);
}

TEST_F(DialogBoxes, IdleCallsThatActKeepTheDialogWaiting) {
  // 1500 actions, then OK: more idle calls than the limit, each one acting.
  for (int i = 0; i < 1500; ++i)
    s.steps.push_back([](HWND d) { ASSERT_EQ(orvane_click(GetDlgItem(d, 6)), 0); });
  s.steps.push_back([](HWND d) { orvane_click(GetDlgItem(d, IDOK)); });
  EXPECT_EQ(run(kSmallScript, 400), IDOK);
  EXPECT_EQ(s.idleCalls, 1501);
}

TEST_F(DialogBoxes, ADialogThatPostsToItselfForeverIsGivenUp) {
  s.handle = [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG || m == kPing) PostMessageA(d, kPing, 0, 0);
    return m == kPing ? TRUE : -1;
  };
  SetLastError(0);
  EXPECT_EQ(run(kSmallScript, 400), -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_TIMEOUT));
  EXPECT_EQ(s.idleCalls, 0);
}

TEST_F(DialogBoxes, ADisabledCancelButtonKeepsTheCloseBoxFromEndingIt) {
  s.handle = [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) EnableWindow(GetDlgItem(d, IDCANCEL), FALSE);
    return -1;
  };
  EXPECT_EQ(run(kSmallScript, 400), -1);
  EXPECT_EQ(s.beeps, 1);
  EXPECT_TRUE(s.commands().empty());
}

TEST_F(DialogBoxes, EndDialogDuringInitialisationSkipsThePerson) {
  s.handle = [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) EndDialog(d, 5);
    return -1;
  };
  EXPECT_EQ(run(kSmallScript, 400), 5);
  EXPECT_TRUE(s.shown.empty());
  EXPECT_EQ(s.idleCalls, 0);
  ASSERT_EQ(s.ended.size(), 1u);  // the end is still reported
  EXPECT_EQ(s.ended[0].result, 5);
}

TEST_F(DialogBoxes, NestedDialogsRunInsideACommandAndShareTheQueue) {
  HWND outer = nullptr;
  INT_PTR innerResult = 0;
  bool pingWhileInnerOpen = false, innerOpen = false;
  s.handle = [&](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG && !outer) outer = d;
    if (d == outer && m == WM_COMMAND && LOWORD(w) == 6) {
      PostMessageA(d, kPing, 0, 0);
      innerOpen = true;
      innerResult = dialogBoxFromScript(kSmallScript, 401, d, sceneDialogProc, 0);
      innerOpen = false;
      return TRUE;
    }
    if (d == outer && m == kPing) pingWhileInnerOpen = innerOpen;
    return -1;
  };
  s.steps.push_back([&](HWND d) {
    EXPECT_EQ(orvane_dialog_resource(d), 400);
    ASSERT_EQ(orvane_click(GetDlgItem(d, 6)), 0);
  });
  s.steps.push_back([&](HWND d) {
    // The inner dialog's turn; the outer one is disabled under it.
    EXPECT_EQ(orvane_dialog_resource(d), 401);
    EXPECT_EQ(GetParent(d), outer);
    EXPECT_FALSE(IsWindowEnabled(outer));
    EXPECT_EQ(orvane_click(GetDlgItem(outer, IDOK)), -1);
    ASSERT_EQ(orvane_click(GetDlgItem(d, IDOK)), 0);
  });
  s.steps.push_back([&](HWND d) {
    EXPECT_EQ(d, outer);
    EXPECT_TRUE(IsWindowEnabled(outer));
    ASSERT_EQ(orvane_click(GetDlgItem(d, IDCANCEL)), 0);
  });
  EXPECT_EQ(run(kSmallScript, 400), IDCANCEL);
  EXPECT_EQ(innerResult, IDOK);
  EXPECT_TRUE(pingWhileInnerOpen);
  ASSERT_EQ(s.ended.size(), 2u);
  EXPECT_EQ(s.ended[0].resource, 401);
  EXPECT_EQ(s.ended[1].resource, 400);
}

TEST_F(DialogBoxes, DialogsThatCannotOpenFailWithMinusOne) {
  SetLastError(0);
  EXPECT_EQ(run("1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"x\" 5, 0, 0, 1, 1\nEND\n", 1), -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
  EXPECT_NE(std::string(platformDialogError()).find("line 3:"), std::string::npos)
      << platformDialogError();

  SetLastError(0);
  EXPECT_EQ(run(kSmallScript, 999), -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_NE(std::string(platformDialogError()).find("999"), std::string::npos);

  // A module handle that LoadLibraryA never gave has no resources.
  SetLastError(0);
  EXPECT_EQ(DialogBoxParamA(HINSTANCE(owner), MAKEINTRESOURCEA(100), owner, sceneDialogProc, 0),
            -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_DATA_NOT_FOUND));
  EXPECT_TRUE(s.received.empty());
  EXPECT_TRUE(s.shown.empty());

  EXPECT_EQ(run(kSmallScript, 400), IDCANCEL);  // and a good one still opens
  EXPECT_STREQ(platformDialogError(), "");
}

TEST_F(DialogBoxes, AModulesOwnTemplatesOpenThroughDialogBoxParam) {
  HMODULE module = LoadLibraryA(ORVANE_BIN_DIR "/levelmeter.xfm");
  // The plug-in is built before this test: a module that does not load is a regression.
  ASSERT_NE(module, nullptr) << "levelmeter.xfm: " << orvane_module_error();
  EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(107), owner, sceneDialogProc, 0), IDCANCEL);
  EXPECT_EQ(DialogBoxParamA(module, "#100", owner, sceneDialogProc, 0), IDCANCEL);
  SetLastError(0);
  EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(101), owner, sceneDialogProc, 0), -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
  FreeLibrary(module);
  ASSERT_EQ(s.ended.size(), 2u);
  EXPECT_EQ(s.ended[0].resource, 107);
  EXPECT_EQ(s.ended[0].controls.size(), 68u);
  EXPECT_EQ(s.ended[1].resource, 100);
  EXPECT_EQ(s.ended[1].controls.size(), 24u);
}

TEST_F(DialogBoxes, EndDialogNeedsADialog) {
  EXPECT_FALSE(EndDialog(owner, 1));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  bool refused = false;
  s.handle = [&](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) {
      refused = !EndDialog(GetDlgItem(d, 5), 1) && GetLastError() == ERROR_WINDOW_NOT_DIALOG;
    }
    return -1;
  };
  run(kSmallScript, 400);
  EXPECT_TRUE(refused);
}

TEST_F(DialogBoxes, GeometryMapsDialogUnitsAtSixByThirteen) {
  s.steps.push_back([](HWND d) {
    RECT r;
    ASSERT_TRUE(GetWindowRect(d, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 287);          // 191 * 6 / 4 = 286.5
    EXPECT_EQ(r.bottom, 257);         // 158 * 13 / 8 = 256.75
    HWND edit = GetDlgItem(d, 1006);  // 111, 88, 33, 13
    ASSERT_TRUE(GetWindowRect(edit, &r));
    EXPECT_EQ(r.left, 167);
    EXPECT_EQ(r.top, 143);
    EXPECT_EQ(r.right, 167 + 50);
    EXPECT_EQ(r.bottom, 143 + 21);
    ASSERT_TRUE(GetClientRect(edit, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 21);
    RECT units{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(d, &units));
    EXPECT_EQ(units.right, 6);
    EXPECT_EQ(units.bottom, 13);
    RECT edges{111, 88, 144, 101};
    ASSERT_TRUE(MapDialogRect(d, &edges));
    EXPECT_EQ(edges.right, 216);  // the edge itself is mapped: 144 * 1.5
    EXPECT_FALSE(MapDialogRect(edit, &units));
    POINT p{10, 10};
    ASSERT_TRUE(ClientToScreen(edit, &p));
    EXPECT_EQ(p.x, 177);
    EXPECT_EQ(p.y, 153);
    ASSERT_TRUE(ScreenToClient(d, &p));
    EXPECT_EQ(p.x, 177);
    int w = 0, h = 0;
    EXPECT_EQ(orvane_dialog_size(d, &w, &h), 1);
    EXPECT_EQ(w, 191);
    EXPECT_EQ(h, 158);
    EXPECT_EQ(orvane_dialog_size(edit, &w, &h), 0);
  });
  run(levelmeterScript(), 100);
}

TEST_F(DialogBoxes, InspectionListsTheTemplateInOrderWithKinds) {
  s.steps.push_back([](HWND d) {
    ASSERT_EQ(orvane_dialog_control_count(d), 24);
    EXPECT_EQ(orvane_dialog_resource(d), 100);
    const struct {
      int index, id, kind;
      const char* kindName;
      const char* text;
    } expected[] = {
        {0, -1, kOrvaneGroupBox, "groupbox", "Filter"},
        {2, -1, kOrvaneStatic, "static", "\"A\" weighting filter"},
        {5, 1000, kOrvaneCheckBox, "checkbox", "ITU"},
        {13, 1232, kOrvaneRadioButton, "radio", "Full Scale"},
        {18, 1006, kOrvaneEdit, "edit", ""},
        {20, IDOK, kOrvanePushButton, "button", "OK"},
        {23, 120, kOrvaneStatic, "static", ""},
    };
    for (const auto& e : expected) {
      OrvaneControlInfo info;
      ASSERT_EQ(orvane_dialog_control(d, e.index, &info), 0);
      EXPECT_EQ(info.id, e.id);
      EXPECT_EQ(info.kind, e.kind);
      EXPECT_STREQ(info.kindName, e.kindName);
      EXPECT_STREQ(info.text, e.text);
      EXPECT_EQ(info.window, e.id > 0 ? GetDlgItem(d, e.id) : info.window);
    }
    OrvaneControlInfo info;
    ASSERT_EQ(orvane_dialog_control(d, 18, &info), 0);
    EXPECT_STREQ(info.className, "Edit");
    EXPECT_EQ(info.rect.left, 111);
    EXPECT_EQ(info.rect.top, 88);
    EXPECT_EQ(info.rect.right, 144);
    EXPECT_EQ(info.rect.bottom, 101);
    EXPECT_EQ(info.visible, 1);
    EXPECT_EQ(info.enabled, 1);
    ASSERT_EQ(orvane_dialog_control(d, 23, &info), 0);
    EXPECT_EQ(info.visible, 0);
    EXPECT_EQ(orvane_dialog_control(d, 24, &info), -1);
    EXPECT_EQ(orvane_dialog_control(d, -1, &info), -1);
    EXPECT_EQ(orvane_dialog_control(GetDlgItem(d, 1006), 0, &info), -1);
    EXPECT_EQ(orvane_dialog_control_count(GetDlgItem(d, 1006)), 0);
    EXPECT_EQ(orvane_dialog_resource(GetDlgItem(d, 1006)), 0);
  });
  run(levelmeterScript(), 100);
}

// ---- A window of a registered class in a dialog, as the host's display control ----

struct GraphLog {
  std::vector<UINT> messages;
  CREATESTRUCTA created{};
  std::string createdClass;
  bool endSeenBeforeDestroy = false;
};
GraphLog* graphLog = nullptr;

constexpr UINT kGraphSet = WM_USER + 100;

LRESULT CALLBACK graphProc(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
  graphLog->messages.push_back(m);
  if (m == WM_CREATE) {
    graphLog->created = *reinterpret_cast<CREATESTRUCTA*>(lParam);
    graphLog->createdClass = graphLog->created.lpszClass;
  }
  if (m == WM_DESTROY) graphLog->endSeenBeforeDestroy = scene && !scene->ended.empty();
  if (m == kGraphSet) return LRESULT(wParam * 2 + lParam);
  return DefWindowProcA(w, m, wParam, lParam);
}

class GraphInDialog : public DialogTest {
 protected:
  GraphLog log;
  void SetUp() override {
    DialogTest::SetUp();
    graphLog = &log;
    WNDCLASSA c = {};
    c.lpfnWndProc = graphProc;
    c.lpszClassName = "TestGraph";
    RegisterClassA(&c);  // may exist from an earlier test: classes outlive resets
  }
  void TearDown() override {
    DialogTest::TearDown();
    graphLog = nullptr;
  }
  size_t count(UINT m) const {
    return size_t(std::count(log.messages.begin(), log.messages.end(), m));
  }
};

TEST_F(GraphInDialog, ReceivesMessagesPaintsAndItsDestruction) {
  HWND graph = nullptr;
  s.handle = [&](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) {
      graph = CreateWindowExA(0, "TestGraph", "", WS_CHILD | WS_VISIBLE, 10, 20, 300, 200, d,
                              HMENU(1301), nullptr, reinterpret_cast<void*>(0xbeef));
      EXPECT_NE(graph, nullptr);
      EXPECT_EQ(SendMessageA(graph, kGraphSet, 3, 4), 10);
      SetWindowLongPtrA(graph, GWLP_USERDATA, 99);
    }
    return -1;
  };
  s.steps.push_back([&](HWND d) {
    // Shown once the dialog showed: painted, erasing first.
    ASSERT_EQ(count(WM_PAINT), 1u);
    ASSERT_EQ(count(WM_ERASEBKGND), 1u);
    EXPECT_LT(std::find(log.messages.begin(), log.messages.end(), WM_ERASEBKGND),
              std::find(log.messages.begin(), log.messages.end(), WM_PAINT));
    EXPECT_EQ(GetParent(graph), d);
    EXPECT_EQ(GetDlgCtrlID(graph), 1301);
    EXPECT_EQ(GetWindowLongPtrA(graph, GWLP_USERDATA), 99);
    RECT r;
    GetWindowRect(graph, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 220);

    // Invalidated and updated at once: painted before UpdateWindow returns.
    InvalidateRect(graph, nullptr, TRUE);
    UpdateWindow(graph);
    EXPECT_EQ(count(WM_PAINT), 2u);
    EXPECT_EQ(count(WM_ERASEBKGND), 2u);
    InvalidateRect(graph, nullptr, FALSE);
    UpdateWindow(graph);
    EXPECT_EQ(count(WM_PAINT), 3u);
    EXPECT_EQ(count(WM_ERASEBKGND), 2u);
    UpdateWindow(graph);  // nothing invalid: nothing painted
    EXPECT_EQ(count(WM_PAINT), 3u);
    // Invalidated only: the loop paints it before asking the person again.
    InvalidateRect(graph, nullptr, FALSE);
    EXPECT_EQ(count(WM_PAINT), 3u);
  });
  s.steps.push_back([&](HWND) {
    EXPECT_EQ(count(WM_PAINT), 4u);
    // Hidden, it is not painted.
    ShowWindow(graph, SW_HIDE);
    InvalidateRect(graph, nullptr, TRUE);
    UpdateWindow(graph);
    EXPECT_EQ(count(WM_PAINT), 4u);
    ShowWindow(graph, SW_SHOW);
  });
  s.steps.push_back([&](HWND d) {
    EXPECT_EQ(count(WM_PAINT), 5u);
    EXPECT_EQ(count(WM_DESTROY), 0u);
    orvane_click(GetDlgItem(d, IDOK));
  });
  EXPECT_EQ(run(kSmallScript, 400), IDOK);
  EXPECT_EQ(log.createdClass, "TestGraph");
  EXPECT_EQ(log.created.lpCreateParams, reinterpret_cast<void*>(0xbeef));
  EXPECT_EQ(log.created.x, 10);
  EXPECT_EQ(log.created.cx, 300);
  EXPECT_EQ(log.created.hMenu, HMENU(1301));
  EXPECT_EQ(log.messages.front(), UINT(WM_CREATE));
  // Listed after the template, as custom; destroyed after the end was reported.
  ASSERT_EQ(s.ended.size(), 1u);
  ASSERT_EQ(s.ended[0].controls.size(), 5u);
  EXPECT_EQ(s.ended[0].controls[4].id, 1301);
  EXPECT_EQ(s.ended[0].controls[4].kind, kOrvaneCustom);
  EXPECT_EQ(count(WM_DESTROY), 1u);
  EXPECT_TRUE(log.endSeenBeforeDestroy);
  EXPECT_FALSE(IsWindow(graph));
}

TEST_F(GraphInDialog, TemplateControlsOfARegisteredClassUseItsProcedure) {
  const char* script = R"rc(
500 DIALOG 0, 0, 100, 100
BEGIN
    CONTROL "g", 77, "testgraph", WS_BORDER, 10, 10, 40, 40
END
)rc";
  s.steps.push_back([&](HWND d) {
    HWND g = GetDlgItem(d, 77);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(SendMessageA(g, kGraphSet, 1, 1), 3);
    EXPECT_EQ(orvane_click(g), -1);
    OrvaneControlInfo info;
    ASSERT_EQ(orvane_dialog_control(d, 0, &info), 0);
    EXPECT_EQ(info.kind, kOrvaneCustom);
    EXPECT_STREQ(info.className, "TestGraph");
  });
  run(script, 500);
  EXPECT_EQ(count(WM_CREATE), 1u);
  EXPECT_EQ(log.created.x, 15);  // 10 dialog units
  EXPECT_EQ(count(WM_DESTROY), 1u);
}

}  // namespace
