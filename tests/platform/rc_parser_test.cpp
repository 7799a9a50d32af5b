// The resource-script reader: levelmeter's real templates, the styles the resource compiler
// gives each statement, the script syntax around dialogs, and faulty scripts.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/src/rc_parser.h"

namespace {

std::string readLevelmeterScript() {
  std::ifstream in(ORVANE_SOURCE_DIR "/levelmeter/levelmeter.rc");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<RcDialog> parse(const std::string& script) {
  std::vector<RcDialog> dialogs;
  std::string error;
  EXPECT_TRUE(rcParseDialogs(script.c_str(), &dialogs, &error)) << error;
  return dialogs;
}

// A dialog holding exactly one control statement.
RcControl single(const std::string& statement) {
  std::vector<RcDialog> d = parse("1 DIALOG 0, 0, 10, 10\nBEGIN\n" + statement + "\nEND\n");
  if (d.size() != 1 || d[0].controls.size() != 1) {
    ADD_FAILURE() << statement;
    return RcControl{};
  }
  return d[0].controls[0];
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct ExpectedControl {
  int id;
  const char* className;
  DWORD style;
  const char* text;
  int x, y, w, h;
};

// The settings dialog of levelmeter as its template must come out, statement defaults applied.
const ExpectedControl kSettings[] = {
    {-1, "Button", kChild | BS_GROUPBOX, "Filter", 2, 4, 187, 57},
    {-1, "Static", kChild | SS_RIGHT | WS_GROUP, "Band-Pass filter (160-5500 Hz)", 13, 20, 95, 10},
    {-1, "Static", kChild | SS_RIGHT | WS_GROUP, "\"A\" weighting filter", 13, 31, 95, 10},
    {-1, "Static", kChild | SS_RIGHT | WS_GROUP, "2631 whole body combined", 13, 42, 95, 10},
    {-1, "Button", kChild | BS_GROUPBOX, "Left", 111, 12, 34, 44},
    {1000, "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "ITU", 115, 21, 28, 10},
    {1001, "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "IEC", 115, 32, 28, 10},
    {1002, "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "ISO", 115, 43, 28, 10},
    {1266, "Button", kChild | BS_GROUPBOX, "Right", 148, 12, 35, 44},
    {1003, "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "ITU", 152, 21, 28, 10},
    {1008, "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "IEC", 152, 32, 28, 10},
    {1009, "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, "ISO", 152, 43, 28, 10},
    {-1, "Button", kChild | BS_GROUPBOX, " Calibration ", 2, 65, 187, 39},
    {1232, "Button", kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, "Full Scale", 19, 75, 44,
     12},
    {1234, "Button", kChild | BS_AUTORADIOBUTTON | WS_TABSTOP, "Leq", 80, 75, 26, 12},
    {1245, "Static", kChild | SS_LEFT | WS_GROUP, "Left", 117, 77, 23, 8},
    {1246, "Static", kChild | SS_LEFT | WS_GROUP, "Right", 154, 77, 23, 8},
    {-1, "Static", kChild | SS_LEFT | WS_GROUP, "Calibration values (dB):", 40, 91, 69, 8},
    {1006, "Edit", kChild | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 111, 88, 33,
     13},
    {1007, "Edit", kChild | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 149, 88, 33,
     13},
    {1, "Button", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 2, 141, 37, 14},
    {2, "Button", kChild | BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 82, 141, 37, 14},
    {4, "Button", kChild | BS_PUSHBUTTON | WS_TABSTOP, "&Help", 152, 141, 37, 14},
    {120, "Static", WS_CHILD | SS_LEFT | WS_GROUP, "", 129, 147, 30, 8},
};

TEST(RcParser, LevelmeterSettingsDialogComesOutAsWritten) {
  std::vector<RcDialog> dialogs = parse(readLevelmeterScript());
  const RcDialog* d = rcFindDialog(dialogs, 100, nullptr);
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->extended);
  EXPECT_EQ(d->caption, "Time History Analysis");
  EXPECT_EQ(d->width, 191);
  EXPECT_EQ(d->height, 158);
  EXPECT_EQ(d->style, DWORD(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
  EXPECT_EQ(d->fontSize, 8);
  EXPECT_EQ(d->fontFace, "MS Sans Serif");
  ASSERT_EQ(d->controls.size(), std::size(kSettings));
  for (size_t i = 0; i < std::size(kSettings); ++i) {
    const RcControl& c = d->controls[i];
    const ExpectedControl& e = kSettings[i];
    SCOPED_TRACE("control " + std::to_string(i) + " \"" + e.text + "\"");
    EXPECT_EQ(c.id, e.id);
    EXPECT_EQ(c.className, e.className);
    EXPECT_EQ(c.style, e.style);
    EXPECT_EQ(c.text, e.text);
    EXPECT_EQ(c.x, e.x);
    EXPECT_EQ(c.y, e.y);
    EXPECT_EQ(c.width, e.w);
    EXPECT_EQ(c.height, e.h);
    EXPECT_EQ(c.exStyle, 0u);
  }
  // The state holder is the one control not shown.
  EXPECT_EQ(d->controls.back().style & WS_VISIBLE, 0u);
}

TEST(RcParser, LevelmeterResultsDialogHasItsFrameAndCurveButtons) {
  std::vector<RcDialog> dialogs = parse(readLevelmeterScript());
  ASSERT_EQ(dialogs.size(), 2u);
  const RcDialog* d = rcFindDialog(dialogs, 107, nullptr);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->caption, "Time History Analysis - Results");
  EXPECT_EQ(d->width, 450);
  EXPECT_EQ(d->height, 236);
  ASSERT_EQ(d->controls.size(), 68u);
  const RcControl* frame = nullptr;
  const RcControl* impulse = nullptr;
  for (const RcControl& c : d->controls) {
    if (c.id == 1301) frame = &c;
    if (c.id == 1269) impulse = &c;
  }
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->className, "Static");
  EXPECT_EQ(frame->style, kChild | SS_BLACKFRAME);  // CONTROL adds no defaults of a kind
  EXPECT_EQ(frame->x, 244);
  EXPECT_EQ(frame->width, 200);
  EXPECT_EQ(frame->height, 150);
  ASSERT_NE(impulse, nullptr);
  EXPECT_EQ(impulse->text, "Impulse (35 ms up, 1.5 s down)");
  EXPECT_EQ(d->controls[0].text, "Wide Band");
  EXPECT_EQ(d->controls.back().id, 120);
  EXPECT_EQ(d->controls.back().style & WS_VISIBLE, 0u);
}

TEST(RcParser, EachStatementGetsTheCompilersDefaultStyle) {
  const struct {
    const char* statement;
    const char* className;
    DWORD style;
  } cases[] = {
      {"LTEXT \"t\", 5, 1, 2, 3, 4", "Static", kChild | SS_LEFT | WS_GROUP},
      {"CTEXT \"t\", 5, 1, 2, 3, 4", "Static", kChild | SS_CENTER | WS_GROUP},
      {"RTEXT \"t\", 5, 1, 2, 3, 4", "Static", kChild | SS_RIGHT | WS_GROUP},
      {"GROUPBOX \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_GROUPBOX},
      {"PUSHBUTTON \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_PUSHBUTTON | WS_TABSTOP},
      {"DEFPUSHBUTTON \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
      {"CHECKBOX \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_CHECKBOX | WS_TABSTOP},
      {"AUTOCHECKBOX \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
      {"STATE3 \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_3STATE | WS_TABSTOP},
      {"AUTO3STATE \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_AUTO3STATE | WS_TABSTOP},
      {"RADIOBUTTON \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_RADIOBUTTON | WS_TABSTOP},
      {"AUTORADIOBUTTON \"t\", 5, 1, 2, 3, 4", "Button", kChild | BS_AUTORADIOBUTTON | WS_TABSTOP},
      {"EDITTEXT 5, 1, 2, 3, 4", "Edit", kChild | ES_LEFT | WS_BORDER | WS_TABSTOP},
      {"COMBOBOX 5, 1, 2, 3, 4", "ComboBox", kChild | CBS_SIMPLE | WS_TABSTOP},
      {"LISTBOX 5, 1, 2, 3, 4", "ListBox", kChild | LBS_NOTIFY | WS_BORDER},
      {"SCROLLBAR 5, 1, 2, 3, 4", "ScrollBar", kChild | SBS_HORZ},
      {"ICON \"appicon\", 5, 1, 2", "Static", kChild | SS_ICON},
      {"CONTROL \"t\", 5, \"Button\", BS_AUTOCHECKBOX, 1, 2, 3, 4", "Button",
       kChild | BS_AUTOCHECKBOX},
      // Additions, removals and the kind replaced by an explicit style.
      {"PUSHBUTTON \"t\", 5, 1, 2, 3, 4, NOT WS_TABSTOP | WS_GROUP", "Button", kChild | WS_GROUP},
      {"EDITTEXT 5, 1, 2, 3, 4, NOT WS_BORDER | ES_NUMBER", "Edit",
       kChild | WS_TABSTOP | ES_NUMBER},
      {"COMBOBOX 5, 1, 2, 3, 4, CBS_DROPDOWNLIST | WS_VSCROLL", "ComboBox",
       kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
      {"COMBOBOX 5, 1, 2, 3, 4, CBS_DROPDOWN | CBS_SORT", "ComboBox",
       kChild | CBS_DROPDOWN | CBS_SORT | WS_TABSTOP},
      {"COMBOBOX 5, 1, 2, 3, 4, CBS_SORT", "ComboBox", kChild | CBS_SIMPLE | CBS_SORT | WS_TABSTOP},
      {"CONTROL \"t\", 5, \"Static\", SS_LEFT | NOT WS_VISIBLE, 1, 2, 3, 4", "Static", WS_CHILD},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.statement);
    RcControl got = single(c.statement);
    EXPECT_EQ(got.className, c.className);
    EXPECT_EQ(got.style, c.style);
    EXPECT_EQ(got.id, 5);
    EXPECT_EQ(got.x, 1);
    EXPECT_EQ(got.y, 2);
  }
}

TEST(RcParser, StringsResolveDoubledQuotesAndEscapes) {
  EXPECT_EQ(single(R"(LTEXT "say ""hi""", 1, 0, 0, 1, 1)").text, "say \"hi\"");
  EXPECT_EQ(single(R"(LTEXT "a\tb\nc\\d", 1, 0, 0, 1, 1)").text, "a\tb\nc\\d");
  EXPECT_EQ(single(R"(LTEXT "\x41\102\"", 1, 0, 0, 1, 1)").text, "AB\"");
  EXPECT_EQ(single(R"(LTEXT L"wide", 1, 0, 0, 1, 1)").text, "wide");
  EXPECT_EQ(single(R"(LTEXT "", 1, 0, 0, 1, 1)").text, "");
  EXPECT_EQ(single(R"(LTEXT "50% // not a comment", 1, 0, 0, 1, 1)").text, "50% // not a comment");
}

TEST(RcParser, IdsAndStylesAreConstantExpressions) {
  std::vector<RcDialog> d = parse(R"rc(
#include <windows.h>
#define IDD_MAIN 0x12C
#define IDC_BASE 1000
#define IDC_NEXT (IDC_BASE + 2)
#define MY_STYLE WS_GROUP | WS_TABSTOP
IDD_MAIN DIALOGEX 0, 0, 10 * 2, 0x10L, 77
STYLE WS_POPUP | WS_CAPTION
EXSTYLE WS_EX_TOOLWINDOW
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    PUSHBUTTON "a", IDC_NEXT, 1, 2, 3, 4, MY_STYLE, WS_EX_CLIENTEDGE, 55
    CONTROL "b", IDC_STATIC, BUTTON, BS_GROUPBOX, -1, 2 - 4, 3, 4
    CONTROL 7, IDOK, 0x82, SS_ICON, 1, 2, 3, 4
    CONTROL "graph", IDCANCEL, "HostGraph", WS_BORDER, 1, 2, 3, 4, WS_EX_STATICEDGE
END
)rc");
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0].id, 300);
  EXPECT_TRUE(d[0].extended);
  EXPECT_EQ(d[0].width, 20);
  EXPECT_EQ(d[0].height, 16);
  EXPECT_EQ(d[0].exStyle, DWORD(WS_EX_TOOLWINDOW));
  EXPECT_EQ(d[0].style, DWORD(WS_POPUP | WS_CAPTION | DS_SETFONT));
  ASSERT_EQ(d[0].controls.size(), 4u);
  const RcControl& a = d[0].controls[0];
  EXPECT_EQ(a.id, 1002);
  EXPECT_EQ(a.style, kChild | WS_GROUP | WS_TABSTOP);
  EXPECT_EQ(a.exStyle, DWORD(WS_EX_CLIENTEDGE));
  const RcControl& b = d[0].controls[1];
  EXPECT_EQ(b.id, -1);
  EXPECT_EQ(b.className, "Button");
  EXPECT_EQ(b.x, -1);
  EXPECT_EQ(b.y, -2);
  const RcControl& icon = d[0].controls[2];
  EXPECT_EQ(icon.className, "Static");
  EXPECT_EQ(icon.text, "7");
  EXPECT_EQ(icon.id, IDOK);
  const RcControl& graph = d[0].controls[3];
  EXPECT_EQ(graph.className, "HostGraph");
  EXPECT_EQ(graph.id, IDCANCEL);
  EXPECT_EQ(graph.exStyle, DWORD(WS_EX_STATICEDGE));
}

TEST(RcParser, DialogWithoutStyleGetsThePopupDefaults) {
  std::vector<RcDialog> d = parse(
      "5 DIALOG 0, 0, 10, 10\nCAPTION \"x\"\nBEGIN\nEND\n"
      "6 DIALOG 1, 2, 3, 4\n{\n}\n");
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].style, DWORD(WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION));
  EXPECT_EQ(d[1].style, DWORD(WS_POPUP | WS_BORDER | WS_SYSMENU));
  EXPECT_TRUE(d[1].controls.empty());
  EXPECT_EQ(d[1].x, 1);
  EXPECT_EQ(d[1].y, 2);
}

TEST(RcParser, OtherResourcesCommentsAndPreprocessorAreSkipped) {
  std::vector<RcDialog> d = parse(R"rc(
// A comment with BEGIN in it
/* a block comment
   END spanning lines */
#include "resource.h"
#pragma code_page(1252)
LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US
#if 0
this is not a script at all "
#endif
1 ICON "app.ico"
2 BITMAP DISCARDABLE res\\logo.bmp
STRINGTABLE DISCARDABLE
BEGIN
    1 "first"
    2 "second { }"
END
7 DIALOG 0, 0, 50, 50
BEGIN
    LTEXT "before", 1, 0, 0, 10, 10
END
1 VERSIONINFO
 FILEVERSION 4,0,0,1
 PRODUCTVERSION 4,0,0,1
 FILEFLAGSMASK 0x3fL
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904b0"
        BEGIN
            VALUE "FileDescription", "x"
        END
    END
END
IDR_MENU MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "E&xit", 100
    END
END
3 RCDATA
BEGIN
    1, 2, "three"
END
8 DIALOG 0, 0, 60, 60
BEGIN
    LTEXT "after", 2, 0, 0, 10, 10
END
)rc");
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].id, 7);
  EXPECT_EQ(d[0].controls.at(0).text, "before");
  EXPECT_EQ(d[1].id, 8);
  EXPECT_EQ(d[1].controls.at(0).text, "after");
}

TEST(RcParser, NamedDialogsAreFoundWithoutRegardToCase) {
  std::vector<RcDialog> d = parse(
      "Settings DIALOG 0, 0, 10, 10\nBEGIN\nEND\n"
      "12 DIALOG 0, 0, 20, 20\nBEGIN\nEND\n");
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].id, -1);
  EXPECT_EQ(d[0].name, "SETTINGS");
  EXPECT_EQ(rcFindDialog(d, 0, "settings"), &d[0]);
  EXPECT_EQ(rcFindDialog(d, 0, "#12"), &d[1]);
  EXPECT_EQ(rcFindDialog(d, 12, nullptr), &d[1]);
  EXPECT_EQ(rcFindDialog(d, 13, nullptr), nullptr);
  EXPECT_EQ(rcFindDialog(d, 0, "other"), nullptr);
}

TEST(RcParser, FaultsNameTheirLine) {
  const struct {
    const char* script;
    const char* message;  // the start of the error
  } cases[] = {
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\" 1, 0, 0, 1, 1\nEND\n",
       "line 3: expected ',' after the text"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 1, 0, 0, 1, 1\n  SLIDER 3\nEND\n",
       "line 4: expected a control statement or END, found 'SLIDER'"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n\n  LTEXT \"open, 1, 0, 0, 1, 1\nEND\n",
       "line 4: unterminated string"},
      {"\n1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 1, 0, 0, 1, 1\n",
       "line 2: dialog without END"},
      {"1 DIALOG 0, 0, 10, 10\nSTYLE WS_POPUP | WS_FLOATING\nBEGIN\nEND\n",
       "line 2: unknown name 'WS_FLOATING'"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n/* never closed\nEND\n", "line 3: unterminated comment"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  CONTROL \"a\", 1, SLIDER, 0, 0, 0, 1, 1\nEND\n",
       "line 3: unknown control class SLIDER"},
      {"1 DIALOG 0, 0, 10\nBEGIN\nEND\n", "line 2: expected ',' after width"},
      {"1 DIALOG 0, 0, 10, 10\nFOO 3\nBEGIN\nEND\n", "line 2: expected BEGIN or a dialog option"},
      {"STRINGTABLE\nBEGIN\n  1 \"x\"\n", "line 2: BEGIN without END"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  EDITTEXT 1, 0, 0, 1, 1, (WS_BORDER\nEND\n",
       "line 4: expected ')'"},
      {"1 DIALOG 0, 0, 10 / 0, 10\nBEGIN\nEND\n", "line 1: division by zero"},
      {"END\n", "line 1: unexpected 'END'"},
      {"100\n", "line 1: resource '100' without a type"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    std::vector<RcDialog> dialogs;
    std::string error;
    EXPECT_FALSE(rcParseDialogs(c.script, &dialogs, &error));
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
  }
}

TEST(RcParser, EmptyAndDialoglessScriptsHaveNoDialogs) {
  std::vector<RcDialog> dialogs;
  std::string error;
  EXPECT_TRUE(rcParseDialogs("", &dialogs, &error));
  EXPECT_TRUE(dialogs.empty());
  EXPECT_TRUE(rcParseDialogs(nullptr, &dialogs, &error));
  EXPECT_TRUE(rcParseDialogs("1 ICON \"x.ico\"\n", &dialogs, &error));
  EXPECT_TRUE(dialogs.empty());
}

}  // namespace
