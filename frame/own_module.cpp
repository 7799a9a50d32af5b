#include "frame/own_module.h"

HINSTANCE ownModule() {
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!GetModuleHandleExA(flags, (LPCSTR)(void*)&ownModule, &module)) return nullptr;
  return (HINSTANCE)module;
}

HINSTANCE runModule(HINSTANCE stored) { return stored != nullptr ? stored : ownModule(); }
