// The host's hooks in a plug-in's import table (see user_hooks_win32.h), the OrvaneUser they
// serve, and the accounting of the plug-in's memory blocks.
#include "host/person/win32/user_hooks_win32.h"

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <orvane_platform.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/person/dialog_box.h"
#include "host/person/person.h"
#include "host/system/system.h"

namespace orvane {

namespace {

OrvaneUser user{};  // all members null: the defaults of orvane_platform.h

// ---- Plug-in dialogs ----

constexpr UINT_PTR kPersonTimer = 0x4F52;  // the person's turn in a plug-in dialog
constexpr UINT kPersonTurnMs = 20;         // after painting: WM_TIMER waits for WM_PAINT
constexpr UINT_PTR kPromptTimer = 0x4F53;  // a dialog box nobody scripted
constexpr UINT kPromptMs = 100;
constexpr UINT_PTR kSaveTimer = 0x4F54;  // the save dialog that did not take its answer
constexpr UINT kSaveGiveUpMs = 5000;

// One DialogBoxParamA call in progress; it lives on that call's stack.
struct DialogFrame {
  HINSTANCE module = nullptr;
  int resource = 0;
  DLGPROC proc = nullptr;  // the plug-in's own procedure
  HWND dialog = nullptr;   // bound at the first message the dialog sends
  bool shown = false;
  bool ended = false;
  bool busy = false;  // the person's turn is running (nested loops deliver timers too)
  bool closeSent = false;
};
std::vector<DialogFrame*> frames;
std::vector<std::string> notes;  // for takeSystemNotes

DialogFrame* frameOf(HWND dialog) {
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
    if ((*it)->dialog == dialog) return *it;
  }
  return nullptr;
}

void endFrame(DialogFrame* f, INT_PTR result) {
  if (f->ended) return;
  f->ended = true;
  KillTimer(f->dialog, kPersonTimer);
  if (user.dialogEnded) user.dialogEnded(user.context, f->dialog, f->resource, result);
}

void personTurn(DialogFrame* f) {
  // A modal dialog shows itself once its queue first runs empty; the person waits for that.
  if (f->busy || f->ended || !IsWindowVisible(f->dialog)) return;
  f->busy = true;
  HWND dialog = f->dialog;
  if (!f->shown) {
    f->shown = true;
    if (user.dialogShown) user.dialogShown(user.context, dialog, f->resource);
  }
  int acted = 0;
  if (!f->ended && user.dialogIdle) acted = user.dialogIdle(user.context, dialog, f->resource);
  if (!f->ended && !acted) {
    if (!f->closeSent) {
      f->closeSent = true;
      SendMessageA(dialog, WM_CLOSE, 0, 0);
    } else {
      // WM_CLOSE did not end it: no run may wait for a person who is not there.
      endFrame(f, -1);
      EndDialog(dialog, -1);
    }
  }
  f->busy = false;
}

INT_PTR CALLBACK relayProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogFrame* f = frameOf(dialog);
  if (!f && !frames.empty() && !frames.back()->dialog) {
    f = frames.back();  // the first message of the dialog the innermost call creates
    f->dialog = dialog;
  }
  if (!f) return FALSE;
  if (message == WM_TIMER && wParam == kPersonTimer) {
    personTurn(f);
    return TRUE;
  }
  INT_PTR result = f->proc ? f->proc(dialog, message, wParam, lParam) : FALSE;
  if (message == WM_INITDIALOG && !f->ended) SetTimer(dialog, kPersonTimer, kPersonTurnMs, nullptr);
  return result;
}

INT_PTR WINAPI hookDialogBoxParamA(HINSTANCE module, LPCSTR name, HWND owner, DLGPROC proc,
                                   LPARAM param) {
  DialogFrame frame;
  frame.module = module;
  frame.resource = IS_INTRESOURCE(name) ? LOWORD(reinterpret_cast<ULONG_PTR>(name)) : 0;
  frame.proc = proc;
  frames.push_back(&frame);
  INT_PTR result = DialogBoxParamA(module, name, owner, relayProc, param);
  frames.erase(std::find(frames.begin(), frames.end(), &frame));
  return result;
}

}  // namespace

INT_PTR personDialogBox(HINSTANCE module, int resource, DLGPROC proc) {
  return hookDialogBoxParamA(module, MAKEINTRESOURCEA(resource), nullptr, proc, 0);
}

namespace {

BOOL WINAPI hookEndDialog(HWND dialog, INT_PTR result) {
  // The person looks at the dialog while its controls and curve buffers still stand.
  if (DialogFrame* f = frameOf(dialog)) endFrame(f, result);
  return EndDialog(dialog, result);
}

// ---- Message boxes and other dialog boxes ----

struct PendingBox {
  int answer;
  HWND box = nullptr;
};
std::vector<PendingBox*> pendingBoxes;  // MessageBoxA calls in progress, innermost last
std::set<HWND> saveBoxes;               // save dialogs now open
std::set<HWND> handledBoxes;
HHOOK cbtHook = nullptr;

bool isDialogBox(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::strcmp(name, "#32770") == 0;
}

void pressButton(HWND box, int id) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

void CALLBACK answerPrompt(HWND box, UINT, UINT_PTR timer, DWORD) {
  // The save dialog may turn out to be the system's own only after it was activated; and a box
  // with a box of its own open waits for that one first.
  if (saveBoxes.count(box) || frameOf(box)) {
    KillTimer(box, timer);
    return;
  }
  if (!IsWindowEnabled(box)) return;
  KillTimer(box, timer);
  LRESULT def = SendMessageA(box, DM_GETDEFID, 0, 0);
  pressButton(box, HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDCANCEL);
}

LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    // A handle of a box long closed may come back for a new one.
    std::erase_if(handledBoxes, [](HWND box) { return !IsWindow(box); });
    bool known = frameOf(window) || saveBoxes.count(window) || handledBoxes.count(window);
    if (!known && isDialogBox(window)) {
      handledBoxes.insert(window);
      if (!pendingBoxes.empty() && !pendingBoxes.back()->box) {
        pendingBoxes.back()->box = window;
        pressButton(window, pendingBoxes.back()->answer);
      } else {
        SetTimer(window, kPromptTimer, kPromptMs, answerPrompt);
      }
    }
  }
  return CallNextHookEx(cbtHook, code, wParam, lParam);
}

int WINAPI hookMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  PendingBox pending{user.messageBox ? user.messageBox(user.context, owner, text, caption, type)
                                     : firstButtonOf(type)};
  pendingBoxes.push_back(&pending);
  int pressed = MessageBoxA(owner, text, caption, type);
  pendingBoxes.pop_back();
  handledBoxes.erase(pending.box);
  return pressed;
}

// ---- The save dialog ----

struct SaveAnswer {
  BOOL answered = FALSE;
  std::string path;
  HWND box = nullptr;
};

UINT_PTR CALLBACK saveHookProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* answer = reinterpret_cast<SaveAnswer*>(GetWindowLongPtrA(child, GWLP_USERDATA));
  if (message == WM_INITDIALOG) {
    answer = reinterpret_cast<SaveAnswer*>(reinterpret_cast<OPENFILENAMEA*>(lParam)->lCustData);
    SetWindowLongPtrA(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(answer));
    return 0;
  }
  if (!answer) return 0;
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE) {
    HWND box = GetParent(child);
    answer->box = box;
    saveBoxes.insert(box);
    if (answer->answered) {
      // The name field is edt1 in some versions of the dialog and cmb13 in others.
      for (int field : {edt1, cmb13}) {
        if (GetDlgItem(box, field)) SetDlgItemTextA(box, field, answer->path.c_str());
      }
      pressButton(box, IDOK);
    } else {
      pressButton(box, IDCANCEL);
    }
    SetTimer(child, kSaveTimer, kSaveGiveUpMs, nullptr);
    return 0;
  }
  if (message == WM_TIMER && wParam == kSaveTimer) {
    // The dialog kept the name (a folder that does not exist, say): give up as a person would.
    KillTimer(child, kSaveTimer);
    pressButton(GetParent(child), IDCANCEL);
    return 0;
  }
  return 0;
}

BOOL WINAPI hookGetSaveFileNameA(OPENFILENAMEA* ofn) {
  if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) return GetSaveFileNameA(ofn);
  // The person answers on a copy; the system's dialog then gets the same answer typed in.
  OPENFILENAMEA asked = *ofn;
  std::vector<char> file(ofn->lpstrFile, ofn->lpstrFile + ofn->nMaxFile);
  std::vector<char> title(asked.lpstrFileTitle && asked.nMaxFileTitle ? asked.nMaxFileTitle : 1);
  asked.lpstrFile = file.data();
  if (asked.lpstrFileTitle) asked.lpstrFileTitle = title.data();
  SaveAnswer answer;
  answer.answered = user.saveFileName ? user.saveFileName(user.context, &asked) : FALSE;
  if (answer.answered) answer.path.assign(file.data(), strnlen(file.data(), file.size()));

  OPENFILENAMEA shown = *ofn;
  shown.lStructSize = sizeof shown;
  shown.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
  shown.Flags &= ~OFN_ENABLETEMPLATE;
  shown.lpfnHook = saveHookProc;
  shown.lCustData = reinterpret_cast<LPARAM>(&answer);
  // The person's file type is the one the dialog opens with: selecting it in the open dialog's
  // list does not reach the index the dialog returns on every version of the system.
  if (answer.answered) shown.nFilterIndex = asked.nFilterIndex;
  BOOL result = GetSaveFileNameA(&shown);
  saveBoxes.erase(answer.box);
  if (answer.answered && !result) {
    notes.push_back("the save dialog did not take " + answer.path + ": it was cancelled");
  } else if (answer.answered && shown.nFilterIndex != asked.nFilterIndex) {
    notes.push_back("the save dialog returned file type " + std::to_string(shown.nFilterIndex) +
                    ", not " + std::to_string(asked.nFilterIndex));
  }
  ofn->nFilterIndex = shown.nFilterIndex;
  ofn->nFileOffset = shown.nFileOffset;
  ofn->nFileExtension = shown.nFileExtension;
  return result;
}

// ---- Help and beeps ----

BOOL WINAPI hookWinHelpA(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  if (user.help) user.help(user.context, window, file, command, data);
  return TRUE;
}

BOOL WINAPI hookMessageBeep(UINT type) {
  if (user.beep) user.beep(user.context, type);
  return MessageBeep(type);
}

// ---- The plug-in's memory blocks ----

std::set<HGLOBAL> liveBlocks;  // allocated by a watched plug-in, not freed nor given away

HGLOBAL WINAPI hookGlobalAlloc(UINT flags, SIZE_T bytes) {
  HGLOBAL block = GlobalAlloc(flags, bytes);
  if (block) liveBlocks.insert(block);
  return block;
}

HGLOBAL WINAPI hookGlobalReAlloc(HGLOBAL block, SIZE_T bytes, UINT flags) {
  HGLOBAL moved = GlobalReAlloc(block, bytes, flags);
  if (moved && moved != block && liveBlocks.erase(block)) liveBlocks.insert(moved);
  return moved;
}

HGLOBAL WINAPI hookGlobalFree(HGLOBAL block) {
  HGLOBAL left = GlobalFree(block);
  if (!left) liveBlocks.erase(block);
  return left;
}

}  // namespace

std::vector<ClipboardItem>& clipboardTransferLog() {
  static std::vector<ClipboardItem>* log = new std::vector<ClipboardItem>;
  return *log;
}

namespace {

HANDLE WINAPI hookSetClipboardData(UINT format, HANDLE data) {
  // The block as handed over: the report keeps every transfer, not only the last of a format.
  std::vector<unsigned char> bytes;
  if (const void* p = data ? GlobalLock(data) : nullptr) {
    const auto* first = static_cast<const unsigned char*>(p);
    bytes.assign(first, first + GlobalSize(data));
    GlobalUnlock(data);
  }
  HANDLE taken = SetClipboardData(format, data);
  if (taken) {
    liveBlocks.erase(data);  // the clipboard owns it now
    clipboardTransferLog().push_back({format, clipboardFormatName(format), std::move(bytes)});
  }
  return taken;
}

// ---- The import table ----

template <typename F>
void* address(F f) {
  return reinterpret_cast<void*>(f);
}

void* hookFor(const char* name) {
  static const struct {
    const char* name;
    void* hook;
  } hooks[] = {
      {"DialogBoxParamA", address(hookDialogBoxParamA)},
      {"EndDialog", address(hookEndDialog)},
      {"MessageBoxA", address(hookMessageBoxA)},
      {"GetSaveFileNameA", address(hookGetSaveFileNameA)},
      {"WinHelpA", address(hookWinHelpA)},
      {"MessageBeep", address(hookMessageBeep)},
      {"GlobalAlloc", address(hookGlobalAlloc)},
      {"GlobalReAlloc", address(hookGlobalReAlloc)},
      {"GlobalFree", address(hookGlobalFree)},
      {"SetClipboardData", address(hookSetClipboardData)},
  };
  for (const auto& h : hooks) {
    if (std::strcmp(h.name, name) == 0) return h.hook;
  }
  return nullptr;
}

void patchImports(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return;
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       imp->Name != 0; ++imp) {
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    auto* names = imp->OriginalFirstThunk
                      ? reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk)
                      : slot;
    for (; slot->u1.Function != 0; ++slot, ++names) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      void* hook = hookFor(reinterpret_cast<const char*>(byName->Name));
      if (!hook) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old))
        continue;
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
    }
  }
}

}  // namespace

std::vector<std::string> takeSystemNotes() {
  std::vector<std::string> taken;
  taken.swap(notes);
  return taken;
}

bool hookedDialogOf(HWND dialog, HINSTANCE* module, int* resource) {
  DialogFrame* f = dialog ? frameOf(dialog) : nullptr;
  if (!f) return false;
  if (module) *module = f->module;
  if (resource) *resource = f->resource;
  return true;
}

void watchPluginModule(HMODULE module) {
  patchImports(module);
  // Dialog boxes are answered for as long as the host runs, person or not.
  if (!cbtHook) cbtHook = SetWindowsHookExA(WH_CBT, cbtProc, nullptr, GetCurrentThreadId());
}

}  // namespace orvane

extern "C" {

void orvane_set_user(const OrvaneUser* person) { orvane::user = person ? *person : OrvaneUser{}; }

void orvane_memory_stats(OrvaneMemoryStats* out) {
  if (!out) return;
  *out = OrvaneMemoryStats{};
  for (HGLOBAL block : orvane::liveBlocks) {
    ++out->liveBlocks;
    UINT flags = GlobalFlags(block);
    if (flags != GMEM_INVALID_HANDLE && (flags & GMEM_LOCKCOUNT) > 0) ++out->lockedBlocks;
  }
}

int orvane_lock_count(HGLOBAL block) {
  UINT flags = GlobalFlags(block);
  return flags == GMEM_INVALID_HANDLE ? -1 : static_cast<int>(flags & GMEM_LOCKCOUNT);
}

}  // extern "C"
