#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "platform/Paths.h"

HMODULE LoadLibraryA(const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  if (std::strchr(name, '/') == nullptr) {
    const std::string local = ProgramFolder() + name;
    if (HMODULE module = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
  }
  return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<FARPROC>(dlsym(module, name));
}

BOOL FreeLibrary(HMODULE module) { return module != nullptr && dlclose(module) == 0; }
