// Modules: plug-in libraries loaded with the dynamic loader, their exports found through the
// ordinal table that the build generates from each plug-in's export definitions, and their
// resource scripts for the dialogs.
#include "internal.h"

#include <dlfcn.h>
#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What an HMODULE stands for. Loading the same library again returns the same record with one
// more reference, as Windows does; each reference holds one dlopen reference.
struct Module {
  HMODULE handle;  // from the layer's handle range: fits a 32-bit handle field
  void* library;
  std::string path;
  const OrvaneExportEntry* exports;  // null when the library has no table
  const char* resourceScript;        // null when the library has none
  int references;
};

struct ModuleState {
  std::vector<Module*> loaded;
  std::string error;  // the last failure, for orvane_module_error
};

ModuleState& modules() {
  static ModuleState* s = new ModuleState;
  return *s;
}

Module* find(HMODULE h) {
  if (!h) return nullptr;
  for (Module* m : modules().loaded)
    if (m->handle == h) return m;
  return nullptr;
}

bool handleTaken(HANDLE h) { return find(static_cast<HMODULE>(h)) != nullptr; }

Module* findLibrary(void* library) {
  for (Module* m : modules().loaded)
    if (m->library == library) return m;
  return nullptr;
}

template <typename T>
T failWith(DWORD error, std::string reason, T result) {
  modules().error = std::move(reason);
  SetLastError(error);
  return result;
}

#if defined(__i386__)
constexpr unsigned kOwnMachine = EM_386;
constexpr const char* kOwnMachineName = "32-bit x86 (i386)";
#else
constexpr unsigned kOwnMachine = EM_X86_64;
constexpr const char* kOwnMachineName = "64-bit x86 (x86-64)";
#endif

const char* machineName(unsigned machine) {
  switch (machine) {
    case EM_386:
      return "i386";
    case EM_X86_64:
      return "x86-64";
    case EM_ARM:
      return "ARM";
    case EM_AARCH64:
      return "AArch64";
    case EM_RISCV:
      return "RISC-V";
    case EM_PPC64:
      return "PowerPC 64";
    default:
      return nullptr;
  }
}

// Looks at the file before the loader does, to tell a missing file from one built for another
// machine or for Windows. Returns 0 when the loader may try it.
DWORD checkImage(const char* path, std::string& reason) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    reason = std::string(path) + ": cannot open module: " + strerror(err);
    return (err == EACCES || err == EPERM) ? ERROR_ACCESS_DENIED : ERROR_MOD_NOT_FOUND;
  }
  unsigned char head[EI_NIDENT + 4] = {};
  const ssize_t n = read(fd, head, sizeof head);
  close(fd);
  if (n >= 2 && head[0] == 'M' && head[1] == 'Z') {
    reason = std::string(path) +
             ": wrong format: a Windows (PE) image, not a shared library for this platform";
    return ERROR_BAD_EXE_FORMAT;
  }
  if (n < ssize_t(sizeof head) || memcmp(head, ELFMAG, SELFMAG) != 0) {
    reason = std::string(path) + ": wrong format: not a shared library (no ELF header)";
    return ERROR_BAD_EXE_FORMAT;
  }
  // e_machine follows e_ident and e_type, in the file's own byte order.
  const unsigned lo = head[EI_NIDENT + 2], hi = head[EI_NIDENT + 3];
  const unsigned machine = head[EI_DATA] == ELFDATA2MSB ? (lo << 8 | hi) : (hi << 8 | lo);
  const bool bits32 = head[EI_CLASS] == ELFCLASS32;
  if (machine != kOwnMachine || bits32 != (sizeof(void*) == 4)) {
    const char* name = machineName(machine);
    reason = std::string(path) + ": wrong architecture: a " + (bits32 ? "32" : "64") +
             "-bit module built for " + (name ? name : "machine " + std::to_string(machine)) +
             "; this process is " + kOwnMachineName + " and loads only " + kOwnMachineName +
             " modules";
    return ERROR_BAD_EXE_FORMAT;
  }
  return 0;
}

// The loader's own failures, for names it searched for or files that passed the check.
DWORD classifyLoaderError(const std::string& text) {
  if (text.find("wrong ELF class") != std::string::npos) return ERROR_BAD_EXE_FORMAT;
  if (text.find("undefined symbol") != std::string::npos) return ERROR_PROC_NOT_FOUND;
  if (text.find("cannot open shared object") != std::string::npos) return ERROR_MOD_NOT_FOUND;
  return ERROR_BAD_EXE_FORMAT;
}

std::string loadedPath(void* library, const char* requested) {
  link_map* map = nullptr;
  const char* name = requested;
  if (dlinfo(library, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
    name = map->l_name;
  char resolved[PATH_MAX];
  return realpath(name, resolved) ? std::string(resolved) : std::string(name);
}

// A symbol the library itself defines. dlsym also searches the libraries it depends on, but a
// module only offers its own exports (a plug-in does not export this layer's functions).
void* ownSymbol(void* library, const char* symbol) {
  dlerror();
  void* address = dlsym(library, symbol);
  if (!address || library == RTLD_DEFAULT) return address;
  link_map* map = nullptr;
  link_map* owner = nullptr;
  Dl_info info{};
  if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 ||
      !dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) || !owner)
    return address;
  return owner == map ? address : nullptr;
}

FARPROC symbolOf(void* library, const char* symbol) {
  return reinterpret_cast<FARPROC>(ownSymbol(library, symbol));
}

}  // namespace

WINBASEAPI HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  if (!lpLibFileName || !*lpLibFileName)
    return failWith<HMODULE>(ERROR_MOD_NOT_FOUND, "LoadLibraryA: no module name", nullptr);
  // Bare names are left to the loader's search; paths are checked first.
  if (strchr(lpLibFileName, '/')) {
    std::string reason;
    if (DWORD error = checkImage(lpLibFileName, reason))
      return failWith<HMODULE>(error, reason, nullptr);
  }
  void* library = dlopen(lpLibFileName, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* text = dlerror();
    std::string reason = text ? text : std::string(lpLibFileName) + ": cannot load module";
    const DWORD error = classifyLoaderError(reason);
    return failWith<HMODULE>(error, reason, nullptr);
  }
  if (Module* m = findLibrary(library)) {
    ++m->references;
    return m->handle;
  }
  const HMODULE handle = static_cast<HMODULE>(handleNew(kHandleModule, handleTaken));
  if (!handle) {
    dlclose(library);
    return failWith<HMODULE>(ERROR_NOT_ENOUGH_MEMORY, "LoadLibraryA: no module handle left",
                             nullptr);
  }
  auto* m = new Module{handle, library, loadedPath(library, lpLibFileName), nullptr, nullptr, 1};
  m->exports =
      static_cast<const OrvaneExportEntry*>(ownSymbol(library, ORVANE_EXPORT_TABLE_SYMBOL));
  m->resourceScript = static_cast<const char*>(ownSymbol(library, ORVANE_RESOURCE_SCRIPT_SYMBOL));
  modules().loaded.push_back(m);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

WINBASEAPI BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  Module* m = find(hLibModule);
  if (!m) return failWith<BOOL>(ERROR_MOD_NOT_FOUND, "FreeLibrary: not a loaded module", FALSE);
  void* library = m->library;
  if (--m->references == 0) {
    std::erase(modules().loaded, m);
    delete m;
  }
  dlclose(library);
  return TRUE;
}

WINBASEAPI FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  // The null module is the program itself: its symbols by name, no ordinals.
  if (!hModule) {
    FARPROC f = IS_INTRESOURCE(lpProcName) ? nullptr : symbolOf(RTLD_DEFAULT, lpProcName);
    if (f) return f;
    return failWith<FARPROC>(ERROR_PROC_NOT_FOUND, "GetProcAddress: not found in the program",
                             nullptr);
  }
  Module* m = find(hModule);
  if (!m)
    return failWith<FARPROC>(ERROR_MOD_NOT_FOUND, "GetProcAddress: not a loaded module", nullptr);
  const std::string& path = m->path;
  if (IS_INTRESOURCE(lpProcName)) {
    const WORD ordinal = LOWORD(lpProcName);
    if (!m->exports)
      return failWith<FARPROC>(ERROR_PROC_NOT_FOUND,
                               path + ": no export table, so no ordinal " + std::to_string(ordinal),
                               nullptr);
    for (const OrvaneExportEntry* e = m->exports; e->ordinal; ++e) {
      if (e->ordinal != ordinal) continue;
      if (FARPROC f = symbolOf(m->library, e->symbol)) return f;
      return failWith<FARPROC>(ERROR_PROC_NOT_FOUND,
                               path + ": ordinal " + std::to_string(ordinal) + " names symbol " +
                                   e->symbol + ", which the library does not define",
                               nullptr);
    }
    return failWith<FARPROC>(
        ERROR_PROC_NOT_FOUND,
        path + ": ordinal " + std::to_string(ordinal) + " is not in the export table", nullptr);
  }
  // Exported names may differ from the library's symbols ("_DisplayCallback@20" is
  // "DisplayCallback"); names the table does not list are the library's own symbols.
  const char* symbol = lpProcName;
  for (const OrvaneExportEntry* e = m->exports; e && e->ordinal; ++e)
    if (e->name && strcmp(e->name, lpProcName) == 0) {
      symbol = e->symbol;
      break;
    }
  if (FARPROC f = symbolOf(m->library, symbol)) return f;
  return failWith<FARPROC>(ERROR_PROC_NOT_FOUND, path + ": export '" + lpProcName + "' not found",
                           nullptr);
}

WINBASEAPI DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string path;
  if (!hModule) {
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    path.assign(exe, n > 0 ? size_t(n) : 0);
  } else if (Module* m = find(hModule)) {
    path = m->path;
  } else {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (!lpFilename || nSize == 0) {
    SetLastError(kErrorInsufficientBuffer);
    return 0;
  }
  // As on Windows: a name that does not fit is cut, terminated, and the full size returned.
  if (path.size() >= nSize) {
    memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(kErrorInsufficientBuffer);
    return nSize;
  }
  memcpy(lpFilename, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return DWORD(path.size());
}

WINBASEAPI BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
  if (phModule) *phModule = nullptr;
  const DWORD supported =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!phModule || dwFlags != supported) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The module whose library holds the address: the loader knows which object it lies in.
  Dl_info info{};
  link_map* owner = nullptr;
  if (!dladdr1(lpModuleName, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) || !owner) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  for (Module* m : modules().loaded) {
    link_map* map = nullptr;
    if (dlinfo(m->library, RTLD_DI_LINKMAP, &map) == 0 && map == owner) {
      *phModule = m->handle;
      SetLastError(ERROR_SUCCESS);
      return TRUE;
    }
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return FALSE;
}

const char* moduleResourceScript(HINSTANCE module) {
  const Module* m = find(module);
  return m ? m->resourceScript : nullptr;
}

void moduleResetError() { modules().error.clear(); }

extern "C" ORVANE_EXPORT LPCSTR orvane_module_error(void) { return modules().error.c_str(); }
