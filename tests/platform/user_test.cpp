// The person: default answers when the host installed nobody, and the installed person's
// answers and calls for message boxes, beeps, help and the save-file dialog.
#include <orvane_platform.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kAbortRetryIgnore = 0x2;
constexpr UINT kRetryCancel = 0x5;
constexpr DWORD kErrorStructSize = 0x0001;  // CDERR_STRUCTSIZE

struct Seen {
  std::vector<std::string> calls;
  HWND owner = nullptr;
  std::string text, caption;
  UINT type = 0;
  int answer = IDNO;
  std::string chosenFile;
};

int WINAPI recordBox(void* context, HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  Seen* s = static_cast<Seen*>(context);
  s->calls.push_back("box");
  s->owner = owner;
  s->text = text;
  s->caption = caption;
  s->type = type;
  return s->answer;
}

void WINAPI recordBeep(void* context, UINT type) {
  static_cast<Seen*>(context)->calls.push_back("beep " + std::to_string(type));
}

void WINAPI recordHelp(void* context, HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  static_cast<Seen*>(context)->calls.push_back(std::string("help ") + file + " " +
                                               std::to_string(command) + " " +
                                               reinterpret_cast<const char*>(data));
}

BOOL WINAPI chooseFile(void* context, OPENFILENAMEA* ofn) {
  Seen* s = static_cast<Seen*>(context);
  s->calls.push_back(std::string("save ") + (ofn->lpstrTitle ? ofn->lpstrTitle : ""));
  if (s->chosenFile.empty()) return FALSE;
  std::strncpy(ofn->lpstrFile, s->chosenFile.c_str(), ofn->nMaxFile - 1);
  return TRUE;
}

OrvaneUser recordingUser(Seen* seen) {
  OrvaneUser u{};
  u.context = seen;
  u.messageBox = recordBox;
  u.beep = recordBeep;
  u.help = recordHelp;
  u.saveFileName = chooseFile;
  return u;
}

OPENFILENAMEA saveRequest(char* file, DWORD size) {
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = "Text files (*.txt)\0*.txt\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = size;
  ofn.lpstrTitle = "Save results";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  return ofn;
}

class Person : public ::testing::Test {
 protected:
  void SetUp() override { orvane_reset(); }
  void TearDown() override { orvane_reset(); }
};

TEST_F(Person, NobodyInstalledAnswersWithTheFirstButton) {
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OKCANCEL), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", kAbortRetryIgnore), IDABORT);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", kRetryCancel | MB_ICONWARNING), IDRETRY);
  EXPECT_TRUE(MessageBeep(0));
  EXPECT_TRUE(WinHelpA(nullptr, "Orvane4.hlp", HELP_KEY, 0));
}

TEST_F(Person, NobodyInstalledCancelsTheSaveDialog) {
  char file[260] = "results.txt";
  OPENFILENAMEA ofn = saveRequest(file, sizeof file);
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_STREQ(file, "results.txt");
}

TEST_F(Person, InstalledPersonAnswersAndSeesEverything) {
  Seen seen;
  const OrvaneUser u = recordingUser(&seen);
  orvane_set_user(&u);
  HWND owner = reinterpret_cast<HWND>(0x1000);
  seen.answer = IDNO;
  EXPECT_EQ(MessageBoxA(owner, "Overwrite?", "ITU-T P.56", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seen.owner, owner);
  EXPECT_EQ(seen.text, "Overwrite?");
  EXPECT_EQ(seen.caption, "ITU-T P.56");
  EXPECT_EQ(seen.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  // Windows' own caption when none is given.
  MessageBoxA(nullptr, "text", nullptr, MB_OK);
  EXPECT_EQ(seen.caption, "Error");

  MessageBeep(0);
  WinHelpA(owner, "Orvane4.hlp", HELP_KEY,
           reinterpret_cast<ULONG_PTR>("ITU P56 Active Speech Level"));

  seen.chosenFile = "/tmp/levels.txt";
  char file[260] = "";
  OPENFILENAMEA ofn = saveRequest(file, sizeof file);
  EXPECT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_STREQ(file, "/tmp/levels.txt");
  seen.chosenFile.clear();
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);

  const std::vector<std::string> expected = {"box",
                                             "box",
                                             "beep 0",
                                             "help Orvane4.hlp 257 ITU P56 Active Speech Level",
                                             "save Save results",
                                             "save Save results"};
  EXPECT_EQ(seen.calls, expected);
}

TEST_F(Person, InstalledPersonIsCopiedAndNullRestoresTheDefaults) {
  Seen seen;
  OrvaneUser u = recordingUser(&seen);
  orvane_set_user(&u);
  u.messageBox = nullptr;  // changing the caller's record changes nothing installed
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDNO);
  orvane_set_user(nullptr);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
  EXPECT_EQ(seen.calls.size(), 1u);
  // A person with only some members: the rest behave as nobody.
  OrvaneUser partial{};
  partial.context = &seen;
  partial.beep = recordBeep;
  orvane_set_user(&partial);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO), IDYES);
  MessageBeep(MB_ICONHAND);
  EXPECT_EQ(seen.calls.back(), "beep 16");
  orvane_reset();
  MessageBeep(0);
  EXPECT_EQ(seen.calls.back(), "beep 16");
}

TEST_F(Person, SaveDialogRejectsAnUnknownRecordSize) {
  Seen seen;
  seen.chosenFile = "/tmp/x.txt";
  const OrvaneUser u = recordingUser(&seen);
  orvane_set_user(&u);
  char file[260] = "";
  OPENFILENAMEA ofn = saveRequest(file, sizeof file);
  ofn.lStructSize = 12;
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), kErrorStructSize);
  EXPECT_TRUE(seen.calls.empty());
  // The shorter record of older callers is accepted: up to the reserved fields (76 bytes on
  // x86 32-bit).
  ofn.lStructSize = offsetof(OPENFILENAMEA, pvReserved);
  static_assert(sizeof(void*) != 4 || offsetof(OPENFILENAMEA, pvReserved) == 76);
  EXPECT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

}  // namespace
