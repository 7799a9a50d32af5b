// The person's answers that need no dialog: message boxes, the save-file dialog, help and
// beeps, called the way the platform layer calls them.
#include <gtest/gtest.h>

#include <cstring>

#include "host/person/person.h"

using namespace orvane;

namespace {

const char kFilters[] = "Parameter Files (*.txt)\0*.txt\0Time History (*.txt)\0*.txt\0";

struct SaveDialog {
  char file[256] = "*.txt";
  char title[64] = {};
  OPENFILENAMEA ofn{};
  SaveDialog() {
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = kFilters;
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrInitialDir = "C:\\";
    ofn.lpstrTitle = "Save Results to File";
  }
};

PersonScript saving(const std::string& path, std::optional<int> type = std::nullopt) {
  PersonScript s;
  s.saveAs = path;
  s.saveType = type;
  return s;
}

}  // namespace

TEST(PersonMessageBoxes, FirstButtonOfEachTypeAndTheIconName) {
  EXPECT_EQ(firstButtonOf(MB_OK), IDOK);
  EXPECT_EQ(firstButtonOf(MB_OKCANCEL), IDOK);
  EXPECT_EQ(firstButtonOf(2), IDABORT);
  EXPECT_EQ(firstButtonOf(MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(firstButtonOf(MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(firstButtonOf(5), IDRETRY);
  EXPECT_EQ(firstButtonOf(6), IDCANCEL);
  EXPECT_EQ(messageIconName(MB_ICONERROR), "error");
  EXPECT_EQ(messageIconName(MB_ICONWARNING | MB_OKCANCEL), "warning");
  EXPECT_EQ(messageIconName(MB_ICONINFORMATION), "information");
  EXPECT_EQ(messageIconName(MB_ICONQUESTION), "question");
  EXPECT_EQ(messageIconName(MB_OK), "none");

  Person person({}, nullptr);
  EXPECT_EQ(person.messageBox(nullptr, "Can not access Clipboard Data.", "ITU-T P.56",
                              MB_OK | MB_ICONERROR),
            IDOK);
  EXPECT_EQ(person.messageBox(nullptr, "Overwrite?", "Export", MB_YESNO | MB_ICONQUESTION), IDYES);
  ASSERT_EQ(person.log().messages.size(), 2u);
  EXPECT_EQ(person.log().messages[0].caption, "ITU-T P.56");
  EXPECT_EQ(person.log().messages[0].text, "Can not access Clipboard Data.");
  EXPECT_EQ(person.log().messages[0].icon, "error");
  EXPECT_EQ(person.log().messages[1].answer, IDYES);
}

TEST(PersonSaveDialog, FillsPathOffsetsAndKeepsTheOfferedType) {
  Person person(saving("/tmp/out/levels.txt"), nullptr);
  SaveDialog d;
  ASSERT_TRUE(person.saveFileName(&d.ofn));
  EXPECT_STREQ(d.file, "/tmp/out/levels.txt");
  EXPECT_EQ(d.ofn.nFileOffset, 9);
  EXPECT_EQ(d.ofn.nFileExtension, 16);
  EXPECT_EQ(d.ofn.nFilterIndex, 2u);
  EXPECT_STREQ(d.title, "levels.txt");
  const SaveDialogRecord& r = person.log().saveDialogs.at(0);
  EXPECT_EQ(r.title, "Save Results to File");
  EXPECT_EQ(r.initialDirectory, "C:\\");
  EXPECT_EQ(r.initialFile, "*.txt");
  ASSERT_EQ(r.filters.size(), 2u);
  EXPECT_EQ(r.filters[1].first, "Time History (*.txt)");
  EXPECT_EQ(r.filters[1].second, "*.txt");
  EXPECT_TRUE(r.answered);
  EXPECT_EQ(r.chosenType, 2u);
  EXPECT_TRUE(person.log().error.empty());
}

TEST(PersonSaveDialog, ChosenTypeAndNamesWithoutExtension) {
  Person typed(saving("report", 1), nullptr);
  SaveDialog d;
  ASSERT_TRUE(typed.saveFileName(&d.ofn));
  EXPECT_EQ(d.ofn.nFilterIndex, 1u);
  EXPECT_EQ(d.ofn.nFileOffset, 0);
  EXPECT_EQ(d.ofn.nFileExtension, 6);  // no extension: the terminating zero

  Person dotted(saving("dir.v2/name."), nullptr);
  SaveDialog e;
  ASSERT_TRUE(dotted.saveFileName(&e.ofn));
  EXPECT_EQ(e.ofn.nFileOffset, 7);
  EXPECT_EQ(e.ofn.nFileExtension, 0);  // a name ending in '.'
}

TEST(PersonSaveDialog, CancelledWithoutSaveAsOrWhenThePersonCannotAnswer) {
  Person nobody({}, nullptr);
  SaveDialog d;
  EXPECT_FALSE(nobody.saveFileName(&d.ofn));
  EXPECT_STREQ(d.file, "*.txt");
  EXPECT_FALSE(nobody.log().saveDialogs.at(0).answered);
  EXPECT_TRUE(nobody.log().error.empty());

  Person tooLong(saving(std::string(300, 'a')), nullptr);
  SaveDialog e;
  EXPECT_FALSE(tooLong.saveFileName(&e.ofn));
  EXPECT_STREQ(e.file, "*.txt");
  EXPECT_NE(tooLong.log().error.find("at most 255 characters"), std::string::npos)
      << tooLong.log().error;

  Person noSuchType(saving("x.txt", 3), nullptr);
  SaveDialog f;
  EXPECT_FALSE(noSuchType.saveFileName(&f.ofn));
  EXPECT_NE(noSuchType.log().error.find("offers 2 file types"), std::string::npos)
      << noSuchType.log().error;
}

TEST(PersonHelpAndBeeps, AreRecorded) {
  Person person({}, nullptr);
  person.help(nullptr, "Orvane4.hlp", HELP_KEY,
              reinterpret_cast<ULONG_PTR>("ITU P56 Active Speech Level"));
  person.help(nullptr, "Orvane4.hlp", HELP_CONTEXT, 42);
  person.beep(0);
  person.beep(MB_ICONERROR);
  ASSERT_EQ(person.log().help.size(), 2u);
  EXPECT_EQ(person.log().help[0].keyword, "ITU P56 Active Speech Level");
  EXPECT_EQ(person.log().help[1].data, 42u);
  EXPECT_EQ(person.log().beeps, (std::vector<unsigned>{0, MB_ICONERROR}));
}

TEST(PersonScriptLeftovers, BecomeWarnings) {
  PersonScript s;
  s.settings.push_back({"1001", "on", "1001=on"});
  s.presses.push_back("1051");
  s.saveAs = "x.txt";
  Person person(s, nullptr);
  person.finish();
  EXPECT_EQ(person.log().warnings.size(), 3u);
}
