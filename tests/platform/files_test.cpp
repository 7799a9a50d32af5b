// Files: create, write and close; errors as Windows gives them; share modes; files held by
// another process; a full disk.
#include <orvane_platform.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr DWORD kErrorFileExists = 80;
constexpr DWORD kErrorAlreadyExists = 183;

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    orvane_reset();
    char tmpl[] = "/tmp/orvane_files_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    orvane_reset();
    fs::remove_all(dir_);
  }
  std::string path(const char* name) const { return (fs::path(dir_) / name).string(); }
  static std::string contents(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void put(const std::string& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
  }
  static HANDLE open(const std::string& p, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(p.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  }
  static BOOL write(HANDLE h, const std::string& text, DWORD* written) {
    return WriteFile(h, text.data(), DWORD(text.size()), written, nullptr);
  }
  std::string dir_;
};

TEST_F(Files, CreateWriteCloseLeavesTheBytes) {
  const std::string p = path("results.txt");
  HANDLE h = open(p, GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(write(h, "Leq 61.2 dB\r\n", &written));
  EXPECT_EQ(written, 13u);
  EXPECT_TRUE(write(h, "", &written));
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(contents(p), "Leq 61.2 dB\r\n");
  // Closed is closed.
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(write(h, "x", &written));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Files, DispositionsCreateTruncateOrKeep) {
  const std::string p = path("a.txt");
  put(p, "old contents");
  // CREATE_NEW refuses an existing file and leaves it alone.
  EXPECT_EQ(open(p, GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), kErrorFileExists);
  EXPECT_EQ(contents(p), "old contents");
  // OPEN_ALWAYS keeps the bytes and says the file was there.
  HANDLE h = open(p, GENERIC_WRITE, 0, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
  CloseHandle(h);
  EXPECT_EQ(contents(p), "old contents");
  // CREATE_ALWAYS empties it, and says so too.
  h = open(p, GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
  CloseHandle(h);
  EXPECT_EQ(contents(p), "");
  // TRUNCATE_EXISTING needs the file, OPEN_EXISTING does not create it.
  const std::string q = path("b.txt");
  EXPECT_EQ(open(q, GENERIC_WRITE, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(open(q, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(fs::exists(q));
  // CREATE_NEW on a new name creates it.
  h = open(q, GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(h);
  EXPECT_TRUE(fs::exists(q));
  EXPECT_EQ(open(q, GENERIC_WRITE, 0, 9), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Files, MissingFolderIsAMissingPath) {
  const std::string p = path("no such folder/results.txt");
  EXPECT_EQ(open(p, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(open(p, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // A file where a folder should be is a missing path too.
  put(path("plain"), "x");
  EXPECT_EQ(open(path("plain/results.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, FolderCannotBeOpenedAsAFile) {
  EXPECT_EQ(open(dir_, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(open(dir_, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Files, HeldFileRefusesToOpenAndIsNotTouched) {
  const std::string p = path("held.txt");
  put(p, "another program's data");
  orvane_file_hold(p.c_str(), 1);
  for (DWORD disposition :
       {CREATE_ALWAYS, CREATE_NEW, OPEN_EXISTING, OPEN_ALWAYS, TRUNCATE_EXISTING}) {
    SetLastError(0);
    EXPECT_EQ(open(p, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, disposition),
              INVALID_HANDLE_VALUE)
        << disposition;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << disposition;
  }
  EXPECT_EQ(contents(p), "another program's data");
  // The same file under another spelling, and through a link.
  const std::string other = dir_ + "/./sub/../held.txt";
  fs::create_directory(path("sub"));
  fs::create_symlink(p, path("link.txt"));
  EXPECT_EQ(open(other, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(open(path("link.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(contents(p), "another program's data");
  // Other files are free, and so is this one once released.
  HANDLE h = open(path("free.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  orvane_file_hold(other.c_str(), 0);
  h = open(p, GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

TEST_F(Files, HeldNameThatDoesNotExistYetIsNotCreated) {
  const std::string p = path("later.txt");
  orvane_file_hold(p.c_str(), 1);
  EXPECT_EQ(open(p, GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(fs::exists(p));
  orvane_reset();  // releases it
  HANDLE h = open(p, GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

TEST_F(Files, ShareModesBetweenOwnHandles) {
  const std::string p = path("shared.txt");
  HANDLE w = open(p, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
  ASSERT_NE(w, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(write(w, "abc", &written));
  // Readers that let the writer write may join; a second writer may not.
  HANDLE r = open(p, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  EXPECT_NE(r, INVALID_HANDLE_VALUE);
  EXPECT_EQ(open(p, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(open(p, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(contents(p), "abc");  // the refused CREATE_ALWAYS truncated nothing
  // A read handle cannot write.
  EXPECT_FALSE(write(r, "x", &written));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(r);
  CloseHandle(w);
  HANDLE again = open(p, GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);
}

TEST_F(Files, FullDiskFailsTheWrite) {
  HANDLE h = open("/dev/full", GENERIC_WRITE, 0, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 99;
  EXPECT_FALSE(write(h, std::string(1000, 'x'), &written));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Files, HandlesAreNeitherMemoryHandlesNorAddresses) {
  HANDLE h = open(path("x.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
  DWORD written = 0;
  EXPECT_FALSE(write(block, "x", &written));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(block));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(orvane_lock_count(block), 0);  // still the caller's block
  GlobalFree(block);
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Files, WriteNeedsACountAndNoOverlap) {
  HANDLE h = open(path("x.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(h, "x", 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(h);
  EXPECT_EQ(contents(path("x.txt")), "");
}

}  // namespace
