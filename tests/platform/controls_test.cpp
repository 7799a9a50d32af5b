// The system's controls in a running dialog, as a person and a plug-in work them: check boxes,
// radio groups, text and its limits, combo and list boxes, refusals, window longs, and windows
// the host creates and destroys itself.
#include <algorithm>
#include <cstring>

#include "dialog_scene.h"

namespace {

class Controls : public DialogTest {
 protected:
  // Runs the controls dialog with `step` as the person's one action.
  void inDialog(std::function<void(HWND)> step) {
    s.steps.push_back(std::move(step));
    run(kControlsScript, 300);
  }
  // The notification codes the dialog procedure received from control `id`.
  std::vector<int> notices(int id) const {
    std::vector<int> out;
    for (const SceneMessage& m : s.received)
      if (m.message == WM_COMMAND && LOWORD(m.wParam) == id) out.push_back(HIWORD(m.wParam));
    return out;
  }
};

UINT checked(HWND d, int id) { return IsDlgButtonChecked(d, id); }

std::string text(HWND w, int size = 256) {
  std::string buffer(size_t(size), '\0');
  int n = GetWindowTextA(w, buffer.data(), size);
  return buffer.substr(0, size_t(n));
}

TEST_F(Controls, CheckBoxesToggleAsTheirStyleSays) {
  std::vector<int> senders;  // the control each notification names, while it exists
  s.handle = [&](HWND, UINT m, WPARAM, LPARAM l) -> INT_PTR {
    if (m == WM_COMMAND) senders.push_back(GetDlgCtrlID(HWND(l)));
    return -1;
  };
  inDialog([&](HWND d) {
    HWND autoBox = GetDlgItem(d, 20), manual = GetDlgItem(d, 21), three = GetDlgItem(d, 22);
    ASSERT_EQ(orvane_click(autoBox), 0);
    EXPECT_EQ(checked(d, 20), UINT(BST_CHECKED));
    ASSERT_EQ(orvane_click(autoBox), 0);
    EXPECT_EQ(checked(d, 20), UINT(BST_UNCHECKED));
    // A plain check box only tells the dialog; the program decides.
    ASSERT_EQ(orvane_click(manual), 0);
    EXPECT_EQ(checked(d, 21), UINT(BST_UNCHECKED));
    for (UINT expected : {1u, 2u, 0u}) {
      ASSERT_EQ(orvane_click(three), 0);
      EXPECT_EQ(checked(d, 22), expected);
    }
    CheckDlgButton(d, 21, BST_CHECKED);
    EXPECT_EQ(SendMessageA(manual, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(autoBox, BM_SETCHECK, BST_INDETERMINATE, 0);  // two states only
    EXPECT_EQ(checked(d, 20), UINT(BST_CHECKED));
    SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(checked(d, 22), UINT(BST_INDETERMINATE));
    // Push buttons and statics have no check.
    EXPECT_EQ(checked(d, IDOK), 0u);
    EXPECT_EQ(checked(d, 42), 0u);
    EXPECT_EQ(checked(d, 9999), 0u);
  });
  EXPECT_EQ(notices(20), (std::vector<int>{BN_CLICKED, BN_CLICKED}));
  EXPECT_EQ(notices(21), (std::vector<int>{BN_CLICKED}));
  EXPECT_EQ(notices(22).size(), 3u);
  EXPECT_EQ(senders.front(), 20);
}

TEST_F(Controls, AnAutoRadioButtonUnchecksOnlyItsGroup) {
  inDialog([&](HWND d) {
    CheckDlgButton(d, 10, BST_CHECKED);
    CheckDlgButton(d, 12, BST_CHECKED);
    CheckDlgButton(d, 13, BST_CHECKED);
    ASSERT_EQ(orvane_click(GetDlgItem(d, 11)), 0);
    EXPECT_EQ(checked(d, 10), 0u);
    EXPECT_EQ(checked(d, 11), 1u);
    EXPECT_EQ(checked(d, 12), 0u);  // a plain radio button of the same group too
    EXPECT_EQ(checked(d, 13), 1u);  // D starts the next group
    ASSERT_EQ(orvane_click(GetDlgItem(d, 14)), 0);
    EXPECT_EQ(checked(d, 13), 0u);
    EXPECT_EQ(checked(d, 14), 1u);
    EXPECT_EQ(checked(d, 11), 1u);
    // Clicking the checked one keeps it checked; a plain radio button does not change.
    ASSERT_EQ(orvane_click(GetDlgItem(d, 14)), 0);
    EXPECT_EQ(checked(d, 14), 1u);
    ASSERT_EQ(orvane_click(GetDlgItem(d, 12)), 0);
    EXPECT_EQ(checked(d, 12), 0u);
    EXPECT_EQ(checked(d, 11), 1u);
    // CheckRadioButton goes by ids, across groups.
    ASSERT_TRUE(CheckRadioButton(d, 10, 14, 12));
    for (int id = 10; id <= 14; ++id) EXPECT_EQ(checked(d, id), id == 12 ? 1u : 0u) << id;
  });
  EXPECT_EQ(notices(11), (std::vector<int>{BN_CLICKED}));
  EXPECT_EQ(notices(14).size(), 2u);
}

TEST_F(Controls, LevelmeterCalibrationRadiosEndAtTheNextGroup) {
  s.steps.push_back([](HWND d) {
    CheckDlgButton(d, 1232, BST_CHECKED);
    CheckDlgButton(d, 1000, BST_CHECKED);
    ASSERT_EQ(orvane_click(GetDlgItem(d, 1234)), 0);
    EXPECT_EQ(IsDlgButtonChecked(d, 1232), 0u);
    EXPECT_EQ(IsDlgButtonChecked(d, 1234), 1u);
    EXPECT_EQ(IsDlgButtonChecked(d, 1000), 1u);
    ASSERT_EQ(orvane_click(GetDlgItem(d, 1232)), 0);
    EXPECT_EQ(IsDlgButtonChecked(d, 1234), 0u);
    // Check boxes of one column are no radio group: the dialog procedure keeps them apart.
    ASSERT_EQ(orvane_click(GetDlgItem(d, 1001)), 0);
    EXPECT_EQ(IsDlgButtonChecked(d, 1000), 1u);
    EXPECT_EQ(IsDlgButtonChecked(d, 1001), 1u);
  });
  run(levelmeterScript(), 100);
}

TEST_F(Controls, TextCallsCopyAtMostTheBufferLessOne) {
  inDialog([&](HWND d) {
    HWND label = GetDlgItem(d, 42);  // "Calibration"
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowTextA(label, buffer, 4), 3);
    EXPECT_STREQ(buffer, "Cal");
    EXPECT_EQ(buffer[4], 'x');
    EXPECT_EQ(GetWindowTextA(label, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    buffer[0] = 'q';
    EXPECT_EQ(GetWindowTextA(label, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'q');
    EXPECT_EQ(GetDlgItemTextA(d, 42, buffer, 6), 5u);
    EXPECT_STREQ(buffer, "Calib");
    EXPECT_EQ(GetDlgItemTextA(d, 9999, buffer, 6), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(SendMessageA(label, WM_GETTEXTLENGTH, 0, 0), 11);
    EXPECT_EQ(SendMessageA(label, WM_GETTEXT, 3, LPARAM(buffer)), 2);
    EXPECT_STREQ(buffer, "Ca");
    EXPECT_EQ(text(label), "Calibration");
    ASSERT_TRUE(SetDlgItemTextA(d, 42, "New"));
    EXPECT_EQ(text(label), "New");
    EXPECT_FALSE(SetDlgItemTextA(d, 9999, "x"));
    // The dialog's own text is its caption.
    EXPECT_EQ(text(d), "Controls");
  });
}

TEST_F(Controls, TypingReplacesTheTextAndReportsTheChange) {
  inDialog([&](HWND d) {
    HWND name = GetDlgItem(d, 200), number = GetDlgItem(d, 201), fixed = GetDlgItem(d, 202);
    ASSERT_EQ(orvane_type(name, "first"), 0);
    ASSERT_EQ(orvane_type(name, "second"), 0);
    EXPECT_EQ(text(name), "second");
    // A program's text is reported as well, as the system's edit does.
    SetDlgItemTextA(d, 200, "set");
    SendMessageA(name, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageA(name, EM_GETLIMITTEXT, 0, 0), 3);
    ASSERT_EQ(orvane_type(name, "12345"), 0);
    EXPECT_EQ(text(name), "123");
    SetDlgItemTextA(d, 200, "longer than the limit");  // binds typing only
    EXPECT_EQ(text(name), "longer than the limit");
    ASSERT_EQ(orvane_type(name, ""), 0);
    EXPECT_EQ(text(name), "");
    // Digits only, and nothing into a read-only edit.
    EXPECT_EQ(orvane_type(number, "12a"), -1);
    EXPECT_EQ(orvane_type(number, "120"), 0);
    EXPECT_EQ(text(number), "120");
    EXPECT_EQ(orvane_type(fixed, "x"), -1);
    SendMessageA(fixed, EM_SETREADONLY, FALSE, 0);
    EXPECT_EQ(orvane_type(fixed, "x"), 0);
    EXPECT_EQ(orvane_type(name, nullptr), -1);
  });
  EXPECT_EQ(notices(200).size(), 6u);
  for (int code : notices(200)) EXPECT_EQ(code, EN_CHANGE);
  EXPECT_EQ(notices(201), (std::vector<int>{EN_CHANGE}));
}

TEST_F(Controls, APersonCannotReachHiddenDisabledOrWrongControls) {
  inDialog([&](HWND d) {
    HWND hidden = GetDlgItem(d, 40), disabled = GetDlgItem(d, 41);
    EXPECT_EQ(orvane_click(hidden), -1);
    EXPECT_EQ(orvane_click(disabled), -1);
    ShowWindow(hidden, SW_SHOW);
    EnableWindow(disabled, TRUE);
    EXPECT_EQ(orvane_click(hidden), 0);
    EXPECT_EQ(orvane_click(disabled), 0);
    // A control is out of reach while its dialog is disabled.
    EnableWindow(d, FALSE);
    EXPECT_EQ(orvane_click(disabled), -1);
    EnableWindow(d, TRUE);
    // Not the kind for the action.
    EXPECT_EQ(orvane_click(GetDlgItem(d, 42)), -1);   // a plain static
    EXPECT_EQ(orvane_click(GetDlgItem(d, 43)), 0);    // a static that notifies
    EXPECT_EQ(orvane_click(GetDlgItem(d, 200)), -1);  // an edit
    EXPECT_EQ(orvane_type(GetDlgItem(d, IDOK), "x"), -1);
    EXPECT_EQ(orvane_select(GetDlgItem(d, 200), 0), -1);
    EXPECT_EQ(orvane_click(nullptr), -1);
    EXPECT_EQ(orvane_click(owner), -1);
    EXPECT_EQ(orvane_click(d), -1);  // the dialog itself is no control
    // Hiding the edit keeps typing out.
    ShowWindow(GetDlgItem(d, 200), SW_HIDE);
    EXPECT_EQ(orvane_type(GetDlgItem(d, 200), "x"), -1);
  });
  EXPECT_EQ(notices(40), (std::vector<int>{BN_CLICKED}));
  EXPECT_EQ(notices(41), (std::vector<int>{BN_CLICKED}));
  EXPECT_EQ(notices(43), (std::vector<int>{STN_CLICKED}));
}

TEST_F(Controls, NothingCanBeDoneInADialogThatHasEnded) {
  int afterEnd = 0;
  s.handle = [&](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_COMMAND && LOWORD(w) == IDOK) {
      EndDialog(d, 1);
      // Still there until the loop has gone round, but ended.
      afterEnd = orvane_click(GetDlgItem(d, 20));
      return TRUE;
    }
    return -1;
  };
  inDialog([](HWND d) { orvane_click(GetDlgItem(d, IDOK)); });
  EXPECT_EQ(afterEnd, -1);
  ASSERT_EQ(s.ended.size(), 1u);
  EXPECT_EQ(s.ended[0].control(20)->checked, 0);
}

TEST_F(Controls, ComboBoxesHoldItemsAndASelection) {
  inDialog([&](HWND d) {
    HWND list = GetDlgItem(d, 30);
    for (const char* item : {"256", "512", "1024", "Hanning"})
      SendMessageA(list, CB_ADDSTRING, 0, LPARAM(item));
    EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(text(list), "");
    EXPECT_EQ(SendMessageA(list, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(text(list), "1024");
    char buffer[32];
    EXPECT_EQ(SendMessageA(list, CB_GETLBTEXT, 3, LPARAM(buffer)), 7);
    EXPECT_STREQ(buffer, "Hanning");
    EXPECT_EQ(SendMessageA(list, CB_GETLBTEXT, 4, LPARAM(buffer)), CB_ERR);
    EXPECT_EQ(SendMessageA(list, CB_GETLBTEXTLEN, 1, 0), 3);
    EXPECT_EQ(SendMessageA(list, CB_GETLBTEXTLEN, -1, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(list, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("hanning")), 3);
    EXPECT_EQ(SendMessageA(list, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Hann")), CB_ERR);
    EXPECT_EQ(SendMessageA(list, CB_SELECTSTRING, WPARAM(-1), LPARAM("51")), 1);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(list, CB_SELECTSTRING, WPARAM(-1), LPARAM("x")), CB_ERR);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);  // unchanged
    // Out of range clears the selection.
    EXPECT_EQ(SendMessageA(list, CB_SETCURSEL, 9, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
    // The person's choice is reported; a program's is not.
    ASSERT_EQ(orvane_select(list, 3), 0);
    EXPECT_EQ(SendDlgItemMessageA(d, 30, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(orvane_select(list, 4), -1);
    EXPECT_EQ(orvane_select(list, -1), -1);
    EXPECT_EQ(orvane_combo_count(list), 4);
    ASSERT_EQ(orvane_combo_item(list, 0, buffer, 3), 0);
    EXPECT_STREQ(buffer, "25");
    EXPECT_EQ(orvane_combo_item(list, 4, buffer, sizeof buffer), -1);
    EXPECT_EQ(orvane_combo_count(GetDlgItem(d, 200)), -1);
    OrvaneControlInfo info;
    for (int i = 0; i < orvane_dialog_control_count(d); ++i) {
      ASSERT_EQ(orvane_dialog_control(d, i, &info), 0);
      if (info.id == 30) break;
    }
    EXPECT_EQ(info.kind, kOrvaneComboBox);
    EXPECT_STREQ(info.text, "Hanning");
    // A drop-down list's text can only name one of its items.
    EXPECT_TRUE(SetWindowTextA(list, "512"));
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(SetWindowTextA(list, "777"));
    EXPECT_EQ(text(list), "512");
    EXPECT_EQ(SendMessageA(list, CB_RESETCONTENT, 0, 0), CB_OKAY);
    EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(text(list), "");
  });
  EXPECT_EQ(notices(30), (std::vector<int>{CBN_SELCHANGE}));
}

TEST_F(Controls, SortedCombosAndListBoxesKeepTheirOrder) {
  inDialog([&](HWND d) {
    HWND sorted = GetDlgItem(d, 31), list = GetDlgItem(d, 44);
    EXPECT_EQ(SendMessageA(sorted, CB_ADDSTRING, 0, LPARAM("pear")), 0);
    EXPECT_EQ(SendMessageA(sorted, CB_ADDSTRING, 0, LPARAM("Apple")), 0);
    EXPECT_EQ(SendMessageA(sorted, CB_ADDSTRING, 0, LPARAM("fig")), 1);
    EXPECT_EQ(SendMessageA(sorted, CB_SETCURSEL, 2, 0), 2);
    // Inserting before the selection moves it along with its item.
    EXPECT_EQ(SendMessageA(sorted, CB_INSERTSTRING, 0, LPARAM("zz")), 0);
    EXPECT_EQ(SendMessageA(sorted, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessageA(sorted, CB_DELETESTRING, 3, 0), 3);
    EXPECT_EQ(SendMessageA(sorted, CB_GETCURSEL, 0, 0), CB_ERR);
    // A drop-down combo's edit takes any text.
    EXPECT_TRUE(SetWindowTextA(sorted, "kiwi"));
    EXPECT_EQ(text(sorted), "kiwi");

    SendMessageA(list, LB_ADDSTRING, 0, LPARAM("one"));
    SendMessageA(list, LB_ADDSTRING, 0, LPARAM("two"));
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    ASSERT_EQ(orvane_select(list, 1), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    char buffer[8];
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 0, LPARAM(buffer)), 3);
    EXPECT_STREQ(buffer, "one");
  });
  EXPECT_EQ(notices(44), (std::vector<int>{LBN_SELCHANGE}));
}

TEST_F(Controls, WindowLongsAndRelations) {
  inDialog([&](HWND d) {
    HWND ok = GetDlgItem(d, IDOK);
    EXPECT_EQ(GetDlgCtrlID(ok), IDOK);
    EXPECT_EQ(GetParent(ok), d);
    EXPECT_EQ(GetParent(d), owner);
    EXPECT_EQ(GetWindowLongA(ok, GWL_ID), IDOK);
    DWORD style = DWORD(GetWindowLongA(ok, GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(ShowWindow(GetDlgItem(d, 40), SW_SHOW));  // was hidden
    EXPECT_TRUE(ShowWindow(GetDlgItem(d, 40), SW_HIDE));   // was shown
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, 40)));
    EXPECT_TRUE(EnableWindow(GetDlgItem(d, 41), TRUE));  // was disabled
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(d, 41), GWL_STYLE) & WS_DISABLED);
    EXPECT_FALSE(EnableWindow(ok, FALSE));
    EXPECT_FALSE(IsWindowEnabled(ok));
    EXPECT_EQ(SetWindowLongPtrA(ok, GWLP_USERDATA, 5), 0);
    EXPECT_EQ(SetWindowLongPtrA(ok, GWLP_USERDATA, 6), 5);
    EXPECT_EQ(GetWindowLongPtrA(ok, GWLP_USERDATA), 6);
    // The dialog's own slots hold a whole address, whatever its width.
    const LONG_PTR address = reinterpret_cast<LONG_PTR>(&s);
    EXPECT_EQ(SetWindowLongPtrA(d, DWLP_USER, address), 0);
    EXPECT_EQ(GetWindowLongPtrA(d, DWLP_USER), address);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongA(ok, 40), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetDlgItem(d, 9999), nullptr);
    EXPECT_EQ(GetDlgItem(owner, IDOK), nullptr);
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_EQ(GetWindowLongA(owner, GWL_ID), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  });
}

TEST_F(Controls, MessagesToTheDialogReachItsProcedure) {
  s.handle = [](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_USER + 5) {
      SetWindowLongPtrA(d, DWLP_MSGRESULT, LONG_PTR(w) + 1);
      return TRUE;
    }
    return -1;
  };
  inDialog([&](HWND d) {
    EXPECT_EQ(SendMessageA(d, WM_USER + 5, 41, 0), 42);
    EXPECT_EQ(SendMessageA(d, WM_USER + 6, 0, 0), 0);  // declined
    // The dialog procedure may stand in for the system's through SetWindowLong.
    EXPECT_EQ(GetWindowLongPtrA(d, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(sceneDialogProc));
  });
  auto user6 = std::count_if(s.received.begin(), s.received.end(),
                             [](const SceneMessage& m) { return m.message == WM_USER + 6; });
  EXPECT_EQ(user6, 1);
}

// ---- Windows created and destroyed by their owner ----

std::vector<std::pair<HWND, UINT>>* classLog = nullptr;

LRESULT CALLBACK loggingProc(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
  if (classLog) classLog->push_back({w, m});
  if (m == WM_CREATE && reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)
    return -1;  // asked to refuse its creation
  return DefWindowProcA(w, m, wParam, lParam);
}

LRESULT CALLBACK subclassProc(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
  if (m == WM_USER) return 7;
  return CallWindowProcA(loggingProc, w, m, wParam, lParam);
}

class WindowClasses : public ::testing::Test {
 protected:
  std::vector<std::pair<HWND, UINT>> log;
  void SetUp() override {
    platformResetWindows();
    classLog = &log;
    WNDCLASSA c = {};
    c.lpfnWndProc = loggingProc;
    c.lpszClassName = "TestLogging";
    c.cbWndExtra = 8;
    RegisterClassA(&c);
  }
  void TearDown() override {
    platformResetWindows();
    classLog = nullptr;
  }
};

TEST_F(WindowClasses, RegistrationIsRefusedTwiceAndForBadClasses) {
  WNDCLASSA c = {};
  c.lpfnWndProc = loggingProc;
  c.lpszClassName = "testlogging";
  EXPECT_EQ(RegisterClassA(&c), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
  c.lpszClassName = nullptr;
  EXPECT_EQ(RegisterClassA(&c), 0);
  c.lpszClassName = "NoProcedure";
  c.lpfnWndProc = nullptr;
  EXPECT_EQ(RegisterClassA(&c), 0);
  EXPECT_EQ(
      CreateWindowExA(0, "NeverRegistered", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
  // A child needs a parent.
  EXPECT_EQ(CreateWindowExA(0, "TestLogging", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
}

TEST_F(WindowClasses, DestroyingAWindowDestroysItsChildrenParentFirst) {
  HWND top = CreateWindowExA(0, "TestLogging", "Top", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT,
                             0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(top, nullptr);
  HWND child = CreateWindowExA(0, "TestLogging", "", WS_CHILD | WS_VISIBLE, 5, 6, 10, 10, top,
                               HMENU(3), nullptr, nullptr);
  HWND button = CreateWindowExA(0, "button", "Press", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 10, 10, top,
                                HMENU(4), nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(GetDlgItem(top, 3), child);
  EXPECT_EQ(GetDlgCtrlID(child), 3);
  EXPECT_EQ(SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0), 0);
  EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(text(top), "Top");
  // Window bytes of the class.
  EXPECT_EQ(SetWindowLongA(child, 4, 11), 0);
  EXPECT_EQ(GetWindowLongA(child, 4), 11);
  EXPECT_EQ(GetWindowLongA(child, 5), 0);
  // A refused creation leaves no window.
  EXPECT_EQ(CreateWindowExA(0, "TestLogging", "", WS_CHILD, 0, 0, 1, 1, top, HMENU(9), nullptr,
                            reinterpret_cast<void*>(1)),
            nullptr);
  EXPECT_EQ(GetDlgItem(top, 9), nullptr);
  // Subclassing through the window procedure long.
  LONG_PTR old = SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc));
  EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(loggingProc));
  EXPECT_EQ(SendMessageA(child, WM_USER, 0, 0), 7);

  EXPECT_FALSE(UnregisterClassA("TestLogging", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
  log.clear();
  EXPECT_TRUE(DestroyWindow(top));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], std::make_pair(top, UINT(WM_DESTROY)));
  EXPECT_EQ(log[1], std::make_pair(child, UINT(WM_DESTROY)));
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(button));
  EXPECT_FALSE(DestroyWindow(top));
  // Once no window uses it, the class can go.
  EXPECT_TRUE(UnregisterClassA("TestLogging", nullptr));
  EXPECT_FALSE(UnregisterClassA("TestLogging", nullptr));
}

TEST_F(WindowClasses, DefaultProcedureClosesByDestroying) {
  HWND top =
      CreateWindowExA(0, "TestLogging", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(top, nullptr);
  EXPECT_TRUE(PostMessageA(top, WM_CLOSE, 0, 0));
  SendMessageA(top, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(PostMessageA(top, WM_CLOSE, 0, 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(SendMessageA(top, WM_USER, 0, 0), 0);
}

}  // namespace
