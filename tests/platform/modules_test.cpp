// Modules: loading, the reasons a load fails, exports by name and by ordinal, file names.
#include <orvane_platform.h>

#include <gtest/gtest.h>

#include <elf.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string kPlatformLibrary = ORVANE_BIN_DIR "/liborvanewin32.so";
const std::string kLevelmeter = ORVANE_BIN_DIR "/levelmeter.xfm";

class Modules : public ::testing::Test {
 protected:
  void SetUp() override { orvane_reset(); }
  void TearDown() override {
    orvane_reset();
    if (!scratch_.empty()) fs::remove_all(scratch_);
  }
  std::string scratchFile(const char* name, const std::string& bytes) {
    if (scratch_.empty()) {
      char tmpl[] = "/tmp/orvane_modules_XXXXXX";
      if (!mkdtemp(tmpl)) return "";
      scratch_ = tmpl;
    }
    const std::string p = scratch_ + "/" + name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  std::string scratch_;
};

bool contains(const char* text, const std::string& part) {
  return text && std::string(text).find(part) != std::string::npos;
}

TEST_F(Modules, MissingFileIsNotFoundAndNamedInTheReason) {
  const std::string p = ORVANE_BIN_DIR "/no_such_plugin.xfm";
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA(p.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_TRUE(contains(orvane_module_error(), p)) << orvane_module_error();
  EXPECT_TRUE(contains(orvane_module_error(), "No such file")) << orvane_module_error();
  EXPECT_EQ(LoadLibraryA("liborvane_no_such_library.so"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

// A module of the other width: its ELF header with the other class and machine, which is all the
// check reads. One clear line names both.
TEST_F(Modules, ModuleOfTheOtherWidthIsTheWrongArchitecture) {
  const bool here32 = sizeof(void*) == 4;
  std::string head(64, '\0');
  std::memcpy(&head[0], ELFMAG, SELFMAG);
  head[EI_CLASS] = here32 ? ELFCLASS64 : ELFCLASS32;
  head[EI_DATA] = ELFDATA2LSB;
  head[EI_VERSION] = EV_CURRENT;
  head[EI_NIDENT + 2] = here32 ? EM_X86_64 : EM_386;  // e_machine, little-endian
  const std::string path = scratchFile("other.xfm", head);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA(path.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  const std::string error = orvane_module_error();
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  EXPECT_TRUE(contains(error.c_str(), here32 ? "a 64-bit module built for x86-64"
                                             : "a 32-bit module built for i386"))
      << error;
  EXPECT_TRUE(contains(error.c_str(), here32 ? "this process is 32-bit x86 (i386)"
                                             : "this process is 64-bit x86 (x86-64)"))
      << error;
}

TEST_F(Modules, FilesThatAreNoLibraryAreTheWrongFormat) {
  const std::string text = scratchFile("notes.xfm", "not a library at all\n");
  EXPECT_EQ(LoadLibraryA(text.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_TRUE(contains(orvane_module_error(), "ELF")) << orvane_module_error();
  // A plug-in built for Windows.
  const std::string pe =
      scratchFile("windows.xfm", std::string("MZ\x90\0\3\0\0\0", 8) + std::string(120, '\0'));
  EXPECT_EQ(LoadLibraryA(pe.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_TRUE(contains(orvane_module_error(), "Windows")) << orvane_module_error();
}

TEST_F(Modules, LibraryWithoutExportTableOffersItsOwnSymbolsByNameOnly) {
  HMODULE m = LoadLibraryA(kPlatformLibrary.c_str());
  ASSERT_NE(m, nullptr) << orvane_module_error();
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, "GlobalAlloc")),
            reinterpret_cast<void*>(&GlobalAlloc));
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(m, "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(contains(orvane_module_error(), "NoSuchFunction")) << orvane_module_error();
  // Symbols of the libraries it uses are not its exports.
  EXPECT_EQ(GetProcAddress(m, "malloc"), nullptr);
  EXPECT_EQ(GetProcAddress(m, MAKEINTRESOURCEA(2)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

  char name[4096] = {};
  const DWORD n = GetModuleFileNameA(m, name, sizeof name);
  EXPECT_EQ(std::string(name), fs::canonical(kPlatformLibrary).string());
  EXPECT_EQ(n, std::strlen(name));
  // A buffer too small gets the start of the name, terminated.
  char small[8];
  EXPECT_EQ(GetModuleFileNameA(m, small, sizeof small), sizeof small);
  EXPECT_EQ(std::string(small), std::string(name, 7));
  EXPECT_TRUE(FreeLibrary(m));
}

TEST_F(Modules, LoadingTwiceNeedsFreeingTwice) {
  HMODULE a = LoadLibraryA(kPlatformLibrary.c_str());
  HMODULE b = LoadLibraryA(kPlatformLibrary.c_str());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_NE(GetProcAddress(a, "GlobalAlloc"), nullptr);
  EXPECT_TRUE(FreeLibrary(a));
  SetLastError(0);
  EXPECT_FALSE(FreeLibrary(a));
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetProcAddress(a, "GlobalAlloc"), nullptr);
  char name[16];
  EXPECT_EQ(GetModuleFileNameA(a, name, sizeof name), 0u);
}

TEST_F(Modules, NullModuleIsTheProgram) {
  char name[4096] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, name, sizeof name), 0u);
  EXPECT_EQ(std::string(name), fs::canonical("/proc/self/exe").string());
}

TEST_F(Modules, PlugInExportsByNameAndOrdinal) {
  if (!fs::exists(kLevelmeter)) GTEST_SKIP() << kLevelmeter << " has not been built";
  HMODULE m = LoadLibraryA(kLevelmeter.c_str());
  ASSERT_NE(m, nullptr) << orvane_module_error();
  // The exported name and the ordinal reach the same function; the table maps the decorated
  // name onto the library's symbol.
  FARPROC byName = GetProcAddress(m, "_DisplayCallback@20");
  EXPECT_NE(byName, nullptr) << orvane_module_error();
  EXPECT_EQ(GetProcAddress(m, MAKEINTRESOURCEA(7)), byName);
  EXPECT_EQ(GetProcAddress(m, "DisplayCallback"), byName);
  const struct {
    const char* name;
    WORD ordinal;
  } exports[] = {{"QueryXfm", 2},   {"XfmInit", 3},         {"XfmSetup", 4},        {"XfmDo", 5},
                 {"XfmDestroy", 6}, {"DIALOGMsgProc", 100}, {"DIALOGMsgProc2", 101}};
  for (const auto& e : exports) {
    FARPROC f = GetProcAddress(m, e.name);
    EXPECT_NE(f, nullptr) << e.name;
    EXPECT_EQ(GetProcAddress(m, MAKEINTRESOURCEA(e.ordinal)), f) << e.name;
  }
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(m, MAKEINTRESOURCEA(99)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(contains(orvane_module_error(), "99")) << orvane_module_error();
  // The platform layer it links against is not among its exports.
  EXPECT_EQ(GetProcAddress(m, "GlobalAlloc"), nullptr);
  EXPECT_TRUE(FreeLibrary(m));
}

}  // namespace
