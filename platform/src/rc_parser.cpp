// Reads dialog templates out of a resource script. Ids, coordinates and styles are constant
// expressions over numbers, the names of rc_names and the script's own #defines; style
// expressions start from the statement's default style, "| X" adds and "NOT X" removes bits.
#include "rc_parser.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <strings.h>

#include "rc_lexer.h"
#include "rc_names.h"

namespace {

constexpr int kMaxDefineDepth = 32;

// A control statement of a dialog body and what the resource compiler makes of it.
struct RcStatement {
  const char* keyword;
  const char* className;
  DWORD style;  // on top of WS_CHILD | WS_VISIBLE
  enum Form { kText, kNoText, kIcon, kGeneric } form;
};

const RcStatement kStatements[] = {
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, RcStatement::kText},
    {"RTEXT", "Static", SS_RIGHT | WS_GROUP, RcStatement::kText},
    {"CTEXT", "Static", SS_CENTER | WS_GROUP, RcStatement::kText},
    {"GROUPBOX", "Button", BS_GROUPBOX, RcStatement::kText},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, RcStatement::kText},
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, RcStatement::kText},
    {"PUSHBOX", "Button", BS_PUSHBOX | WS_TABSTOP, RcStatement::kText},
    {"CHECKBOX", "Button", BS_CHECKBOX | WS_TABSTOP, RcStatement::kText},
    {"AUTOCHECKBOX", "Button", BS_AUTOCHECKBOX | WS_TABSTOP, RcStatement::kText},
    {"STATE3", "Button", BS_3STATE | WS_TABSTOP, RcStatement::kText},
    {"AUTO3STATE", "Button", BS_AUTO3STATE | WS_TABSTOP, RcStatement::kText},
    {"RADIOBUTTON", "Button", BS_RADIOBUTTON | WS_TABSTOP, RcStatement::kText},
    {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, RcStatement::kText},
    {"EDITTEXT", "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, RcStatement::kNoText},
    {"COMBOBOX", "ComboBox", CBS_SIMPLE | WS_TABSTOP, RcStatement::kNoText},
    {"LISTBOX", "ListBox", LBS_NOTIFY | WS_BORDER, RcStatement::kNoText},
    {"SCROLLBAR", "ScrollBar", SBS_HORZ, RcStatement::kNoText},
    {"ICON", "Static", SS_ICON, RcStatement::kIcon},
    {"CONTROL", "", 0, RcStatement::kGeneric},
};

// The system's control classes by their names (any case) and by their template ordinals.
const struct {
  const char* name;
  int ordinal;
} kClasses[] = {{"Button", 0x80},  {"Edit", 0x81},      {"Static", 0x82},
                {"ListBox", 0x83}, {"ScrollBar", 0x84}, {"ComboBox", 0x85}};

// Load and memory options that may follow the resource type; they mean nothing here.
const char* const kMemoryOptions[] = {"DISCARDABLE", "MOVEABLE",   "FIXED",  "PURE",     "IMPURE",
                                      "PRELOAD",     "LOADONCALL", "SHARED", "NONSHARED"};

// Resource types whose statement always carries a BEGIN ... END block.
const char* const kBlockTypes[] = {"MENU",         "MENUEX",      "VERSIONINFO",
                                   "ACCELERATORS", "STRINGTABLE", "DESIGNINFO",
                                   "TEXTINCLUDE",  "DLGINIT",     "TOOLBAR"};

bool same(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

template <size_t N>
bool oneOf(const std::string& word, const char* const (&list)[N]) {
  for (const char* w : list)
    if (same(word, w)) return true;
  return false;
}

struct Parser {
  const std::vector<RcToken>* tokens;
  size_t pos;
  const RcDefines* defines;
  int depth;  // of #define expansion
  std::string* error;

  const RcToken& peek(size_t ahead = 0) const {
    size_t i = pos + ahead;
    return i < tokens->size() ? (*tokens)[i] : tokens->back();
  }
  const RcToken& next() {
    const RcToken& t = peek();
    if (pos < tokens->size() - 1) ++pos;
    return t;
  }
  bool atEnd() const { return peek().kind == RcTokenKind::kEnd; }
  bool isPunct(const char* p, size_t ahead = 0) const {
    return peek(ahead).kind == RcTokenKind::kPunct && peek(ahead).text == p;
  }
  bool isWord(const char* w, size_t ahead = 0) const {
    return peek(ahead).kind == RcTokenKind::kName && same(peek(ahead).text, w);
  }
  bool isBegin() const { return isWord("BEGIN") || isPunct("{"); }
  bool isEndOfBlock() const { return isWord("END") || isPunct("}"); }

  bool fail(int line, const std::string& what) {
    char prefix[32];
    snprintf(prefix, sizeof prefix, "line %d: ", line);
    *error = prefix + what;
    return false;
  }
  // "found ..." for messages about the current token.
  std::string found() const {
    const RcToken& t = peek();
    switch (t.kind) {
      case RcTokenKind::kEnd:
        return "the end of the script";
      case RcTokenKind::kString:
        return "\"" + t.text + "\"";
      default:
        return "'" + t.text + "'";
    }
  }
  bool expectComma(const char* after) {
    if (isPunct(",")) {
      next();
      return true;
    }
    return fail(peek().line, std::string("expected ',' after ") + after + ", found " + found());
  }
  bool optionalComma() {
    if (!isPunct(",")) return false;
    next();
    return true;
  }

  // ---- Constant expressions ----
  bool nameValue(const RcToken& t, long* v) {
    auto d = defines->find(t.text);
    if (d != defines->end()) {
      if (depth >= kMaxDefineDepth || d->second.empty())
        return fail(t.line, "cannot evaluate '" + t.text + "'");
      std::vector<RcToken> body = d->second;
      body.push_back(RcToken{RcTokenKind::kEnd, "", 0, t.line});
      for (RcToken& b : body) b.line = t.line;
      Parser sub{&body, 0, defines, depth + 1, error};
      if (!sub.expression(v)) return false;
      if (!sub.atEnd()) return fail(t.line, "cannot evaluate '" + t.text + "'");
      return true;
    }
    if (rcNameValue(t.text.c_str(), v)) return true;
    return fail(t.line, "unknown name '" + t.text + "'");
  }
  bool primary(long* v) {
    const RcToken& t = peek();
    if (t.kind == RcTokenKind::kNumber) {
      *v = next().value;
      return true;
    }
    if (t.kind == RcTokenKind::kName && !isWord("NOT")) return nameValue(next(), v);
    if (isPunct("(")) {
      next();
      if (!expression(v)) return false;
      if (!isPunct(")")) return fail(peek().line, "expected ')', found " + found());
      next();
      return true;
    }
    return fail(t.line, "expected a number or a name, found " + found());
  }
  bool unary(long* v) {
    if (isPunct("-") || isPunct("~") || isPunct("+")) {
      const std::string op = next().text;
      if (!unary(v)) return false;
      if (op == "-") *v = -*v;
      if (op == "~") *v = ~*v;
      return true;
    }
    return primary(v);
  }
  bool product(long* v) {
    if (!unary(v)) return false;
    while (isPunct("*") || isPunct("/")) {
      const RcToken& op = next();
      long r;
      if (!unary(&r)) return false;
      if (op.text == "*") {
        *v *= r;
      } else {
        if (r == 0) return fail(op.line, "division by zero");
        *v /= r;
      }
    }
    return true;
  }
  bool sum(long* v) {
    if (!product(v)) return false;
    while (isPunct("+") || isPunct("-")) {
      const bool plus = next().text == "+";
      long r;
      if (!product(&r)) return false;
      *v = plus ? *v + r : *v - r;
    }
    return true;
  }
  bool conjunction(long* v) {
    if (!sum(v)) return false;
    while (isPunct("&")) {
      next();
      long r;
      if (!sum(&r)) return false;
      *v &= r;
    }
    return true;
  }
  bool expression(long* v) {
    if (!conjunction(v)) return false;
    while (isPunct("|")) {
      next();
      long r;
      if (!conjunction(&r)) return false;
      *v |= r;
    }
    return true;
  }
  bool integer(int* out) {
    long v;
    if (!expression(&v)) return false;
    *out = int(v);
    return true;
  }
  // A style: terms joined by '|', each adding its bits or, after NOT, removing them from what
  // the default and the terms before it have set.
  bool style(DWORD base, DWORD* out) {
    DWORD v = base;
    for (;;) {
      long term;
      if (isWord("NOT")) {
        next();
        if (!conjunction(&term)) return false;
        v &= ~DWORD(term);
      } else {
        if (!conjunction(&term)) return false;
        v |= DWORD(term);
      }
      if (!isPunct("|")) break;
      next();
    }
    *out = v;
    return true;
  }

  // ---- Skipping what is not a dialog ----
  bool skipBlock() {
    const int start = peek().line;
    int level = 0;
    do {
      if (atEnd()) return fail(start, "BEGIN without END");
      if (isBegin()) ++level;
      if (isEndOfBlock()) --level;
      next();
    } while (level > 0);
    return true;
  }
  bool skipResource(const RcToken& type) {
    while (peek().kind == RcTokenKind::kName && oneOf(peek().text, kMemoryOptions)) next();
    if (type.kind == RcTokenKind::kName && oneOf(type.text, kBlockTypes)) {
      while (!isBegin()) {
        if (atEnd() || isEndOfBlock())
          return fail(type.line, "resource '" + type.text + "' without BEGIN ... END");
        next();
      }
      return skipBlock();
    }
    // A file resource (`1 ICON "x.ico"`) ends with its line; data may follow in a block.
    while (!atEnd() && peek().line == type.line && !isBegin()) next();
    if (isBegin()) return skipBlock();
    return true;
  }

  // ---- Dialogs ----
  bool textOrName(std::string* out, const char* what) {
    const RcToken& t = peek();
    if (t.kind == RcTokenKind::kString || t.kind == RcTokenKind::kName ||
        t.kind == RcTokenKind::kNumber) {
      *out = next().text;
      return true;
    }
    return fail(t.line, std::string("expected ") + what + ", found " + found());
  }
  bool quoted(std::string* out, const char* what) {
    if (peek().kind != RcTokenKind::kString)
      return fail(peek().line, std::string("expected ") + what + " in quotes, found " + found());
    *out = next().text;
    return true;
  }
  bool rectangle(int* x, int* y, int* w, int* h) {
    return integer(x) && expectComma("x") && integer(y) && expectComma("y") && integer(w) &&
           expectComma("width") && integer(h);
  }
  bool controlClass(std::string* out) {
    const RcToken& t = peek();
    if (t.kind == RcTokenKind::kString || t.kind == RcTokenKind::kName) {
      for (const auto& c : kClasses)
        if (same(t.text, c.name)) {
          next();
          *out = c.name;
          return true;
        }
      // Any class may be named in quotes; unquoted, only the system's own.
      if (t.kind == RcTokenKind::kName) return fail(t.line, "unknown control class " + t.text);
      *out = next().text;
      return true;
    }
    if (t.kind == RcTokenKind::kNumber) {
      for (const auto& c : kClasses)
        if (c.ordinal == t.value) {
          next();
          *out = c.name;
          return true;
        }
    }
    return fail(t.line, "expected the control's class, found " + found());
  }
  // The optional tail of a control: [, style [, exstyle [, help id]]].
  bool controlTail(RcControl* c, bool extended, bool styleDone) {
    if (!styleDone && optionalComma()) {
      if (!style(c->style, &c->style)) return false;
      styleDone = true;
    }
    if (styleDone && optionalComma()) {
      if (!style(0, &c->exStyle)) return false;
      if (extended && optionalComma()) {
        int help;
        if (!integer(&help)) return false;
      }
    }
    // A DIALOGEX control may carry creation data in a block of its own.
    if (extended && isBegin()) return skipBlock();
    return true;
  }
  bool control(const RcStatement& s, bool extended, RcControl* c) {
    *c = RcControl{};
    c->line = next().line;
    c->className = s.className;
    c->style = WS_CHILD | WS_VISIBLE | s.style;
    c->id = -1;
    switch (s.form) {
      case RcStatement::kText:
        return quoted(&c->text, "the control's text") && expectComma("the text") &&
               integer(&c->id) && expectComma("the id") &&
               rectangle(&c->x, &c->y, &c->width, &c->height) && controlTail(c, extended, false);
      case RcStatement::kNoText: {
        // A combo box is simple only when the script names no other kind: the kinds share
        // their bits, so the default cannot be added to a kind the script gives.
        const bool combo = c->className == std::string("ComboBox");
        if (combo) c->style &= ~DWORD(CBS_DROPDOWNLIST);
        if (!integer(&c->id) || !expectComma("the id") ||
            !rectangle(&c->x, &c->y, &c->width, &c->height) || !controlTail(c, extended, false))
          return false;
        if (combo && (c->style & CBS_DROPDOWNLIST) == 0) c->style |= CBS_SIMPLE;
        return true;
      }
      case RcStatement::kIcon:
        if (!textOrName(&c->text, "the icon") || !expectComma("the icon") || !integer(&c->id) ||
            !expectComma("the id") || !integer(&c->x) || !expectComma("x") || !integer(&c->y))
          return false;
        if (optionalComma()) {
          if (!integer(&c->width) || !expectComma("width") || !integer(&c->height)) return false;
        }
        return controlTail(c, extended, false);
      case RcStatement::kGeneric:
        return textOrName(&c->text, "the control's text") && expectComma("the text") &&
               integer(&c->id) && expectComma("the id") && controlClass(&c->className) &&
               expectComma("the class") && style(c->style, &c->style) && expectComma("the style") &&
               rectangle(&c->x, &c->y, &c->width, &c->height) && controlTail(c, extended, true);
    }
    return false;
  }
  bool dialogOptions(RcDialog* d) {
    bool styled = false, captioned = false;
    while (!isBegin()) {
      const RcToken& t = peek();
      if (t.kind != RcTokenKind::kName)
        return fail(t.line, "expected BEGIN or a dialog option, found " + found());
      next();
      if (same(t.text, "STYLE")) {
        if (!style(0, &d->style)) return false;
        styled = true;
      } else if (same(t.text, "EXSTYLE")) {
        if (!style(0, &d->exStyle)) return false;
      } else if (same(t.text, "CAPTION")) {
        if (!quoted(&d->caption, "the caption")) return false;
        captioned = true;
      } else if (same(t.text, "FONT")) {
        int ignored;
        if (!integer(&d->fontSize) || !expectComma("the font size") ||
            !quoted(&d->fontFace, "the font name"))
          return false;
        for (int extra = 0; extra < 3 && optionalComma(); ++extra)
          if (!integer(&ignored)) return false;
      } else if (same(t.text, "CLASS")) {
        if (!textOrName(&d->className, "the dialog class")) return false;
      } else if (same(t.text, "MENU")) {
        if (!textOrName(&d->menu, "the menu")) return false;
      } else if (same(t.text, "LANGUAGE")) {
        while (!atEnd() && peek().line == t.line) next();
      } else if (same(t.text, "CHARACTERISTICS") || same(t.text, "VERSION")) {
        int ignored;
        if (!integer(&ignored)) return false;
      } else {
        return fail(t.line, "expected BEGIN or a dialog option, found '" + t.text + "'");
      }
    }
    if (!styled) d->style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    if (captioned) d->style |= WS_CAPTION;
    if (!d->fontFace.empty()) d->style |= DS_SETFONT;
    return true;
  }
  bool dialog(const RcToken& name, const RcToken& type, std::vector<RcDialog>* out) {
    RcDialog d{};
    d.line = type.line;
    d.extended = same(type.text, "DIALOGEX");
    d.id = -1;
    if (name.kind == RcTokenKind::kNumber) {
      d.id = int(name.value);
    } else if (name.kind == RcTokenKind::kName && defines->count(name.text)) {
      long v;
      if (!nameValue(name, &v)) return false;
      d.id = int(v);
    } else {
      d.name = name.text;
      for (char& c : d.name) c = char(toupper((unsigned char)c));
    }
    while (peek().kind == RcTokenKind::kName && oneOf(peek().text, kMemoryOptions)) next();
    if (!rectangle(&d.x, &d.y, &d.width, &d.height)) return false;
    if (d.extended && optionalComma()) {
      int help;
      if (!integer(&help)) return false;
    }
    if (!dialogOptions(&d)) return false;
    next();  // BEGIN
    while (!isEndOfBlock()) {
      const RcToken& t = peek();
      if (t.kind == RcTokenKind::kEnd)
        return fail(d.line, "dialog without END (the script ends inside it)");
      const RcStatement* s = nullptr;
      if (t.kind == RcTokenKind::kName)
        for (const RcStatement& k : kStatements)
          if (same(t.text, k.keyword)) s = &k;
      if (!s) return fail(t.line, "expected a control statement or END, found " + found());
      RcControl c;
      if (!control(*s, d.extended, &c)) return false;
      d.controls.push_back(c);
    }
    next();  // END
    out->push_back(d);
    return true;
  }

  bool script(std::vector<RcDialog>* out) {
    while (!atEnd()) {
      const RcToken& t = peek();
      if (isWord("LANGUAGE")) {
        next();
        while (!atEnd() && peek().line == t.line) next();
        continue;
      }
      if (isBegin() || isEndOfBlock()) return fail(t.line, "unexpected " + found());
      if (isWord("STRINGTABLE")) {
        const RcToken type = next();
        if (!skipResource(type)) return false;
        continue;
      }
      if (t.kind != RcTokenKind::kNumber && t.kind != RcTokenKind::kName &&
          t.kind != RcTokenKind::kString)
        return fail(t.line, "expected a resource, found " + found());
      const RcToken name = next();
      const RcToken& type = peek();
      if (type.kind == RcTokenKind::kEnd || type.kind == RcTokenKind::kPunct)
        return fail(name.line, "resource '" + name.text + "' without a type");
      const RcToken typeToken = next();
      if (typeToken.kind == RcTokenKind::kName &&
          (same(typeToken.text, "DIALOG") || same(typeToken.text, "DIALOGEX"))) {
        if (!dialog(name, typeToken, out)) return false;
      } else if (!skipResource(typeToken)) {
        return false;
      }
    }
    return true;
  }
};

}  // namespace

bool rcParseDialogs(const char* script, std::vector<RcDialog>* dialogs, std::string* error) {
  dialogs->clear();
  std::vector<RcToken> tokens;
  RcDefines defines;
  if (!rcTokenize(script, &tokens, &defines, error)) return false;
  Parser p{&tokens, 0, &defines, 0, error};
  return p.script(dialogs);
}

const RcDialog* rcFindDialog(const std::vector<RcDialog>& dialogs, int id, const char* name) {
  if (name && name[0] == '#') {
    id = atoi(name + 1);
    name = nullptr;
  }
  for (const RcDialog& d : dialogs) {
    if (name ? (d.id < 0 && same(d.name, name)) : d.id == id) return &d;
  }
  return nullptr;
}
