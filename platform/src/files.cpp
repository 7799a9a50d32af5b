// Files as the plug-ins write their exports: create or open, write, close. Share modes are
// honoured between the handles of this process, and files held by another process (see
// held_files.cpp) refuse to open.
#include "internal.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <unordered_map>

namespace {

struct OpenFile {
  int fd;
  DWORD access;  // GENERIC_READ | GENERIC_WRITE
  DWORD share;   // FILE_SHARE_READ | FILE_SHARE_WRITE
  dev_t device;
  ino_t inode;
};

struct FileState {
  std::unordered_map<uintptr_t, OpenFile> open;
};

FileState& files() {
  static FileState* s = new FileState;
  return *s;
}

OpenFile* find(HANDLE h) {
  auto& open = files().open;
  auto it = open.find(reinterpret_cast<uintptr_t>(h));
  return it == open.end() ? nullptr : &it->second;
}

bool taken(HANDLE h) { return find(h) != nullptr; }

// The error Windows gives where the system said `err`. A missing name is a missing file when
// its folder exists and a missing path otherwise.
DWORD errorFromErrno(int err, const char* path) {
  switch (err) {
    case ENOENT: {
      std::filesystem::path folder = std::filesystem::path(path).parent_path();
      struct stat st;
      const bool folderExists =
          stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      return folderExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return kErrorFileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return kErrorFilenameExcedRange;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ETXTBSY:
    case EBUSY:
      return ERROR_SHARING_VIOLATION;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    default:
      return kErrorGenFailure;
  }
}

// Two opens of one file agree when each one's share mode allows the other's access.
bool sharingAllows(const OpenFile& held, DWORD access, DWORD share) {
  auto allows = [](DWORD shareMode, DWORD otherAccess) {
    if ((otherAccess & GENERIC_READ) && !(shareMode & FILE_SHARE_READ)) return false;
    if ((otherAccess & GENERIC_WRITE) && !(shareMode & FILE_SHARE_WRITE)) return false;
    return true;
  };
  return allows(held.share, access) && allows(share, held.access);
}

HANDLE fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

WINBASEAPI HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                     DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                     HANDLE hTemplateFile) {
  if (!lpFileName) return fail(ERROR_INVALID_PARAMETER);
  if (!*lpFileName) return fail(ERROR_PATH_NOT_FOUND);
  int flags = O_CLOEXEC;
  switch (dwCreationDisposition) {
    case CREATE_NEW:
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      flags |= O_CREAT | O_TRUNC;
      break;
    case OPEN_EXISTING:
      break;
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      if (!(dwDesiredAccess & GENERIC_WRITE)) return fail(ERROR_INVALID_PARAMETER);
      flags |= O_TRUNC;
      break;
    default:
      return fail(ERROR_INVALID_PARAMETER);
  }
  const bool reads = dwDesiredAccess & GENERIC_READ;
  const bool writes = dwDesiredAccess & GENERIC_WRITE;
  flags |= writes ? (reads ? O_RDWR : O_WRONLY) : O_RDONLY;
  const DWORD access = dwDesiredAccess & (GENERIC_READ | GENERIC_WRITE);
  const DWORD share = dwShareMode & (FILE_SHARE_READ | FILE_SHARE_WRITE);

  // Refusals come before the open so that a refused file is neither created nor truncated.
  if (fileIsHeld(lpFileName)) return fail(ERROR_SHARING_VIOLATION);
  struct stat before;
  const bool existed = stat(lpFileName, &before) == 0;
  if (existed) {
    for (const auto& entry : files().open) {
      const OpenFile& f = entry.second;
      if (f.device == before.st_dev && f.inode == before.st_ino && !sharingAllows(f, access, share))
        return fail(ERROR_SHARING_VIOLATION);
    }
  }

  const int fd = open(lpFileName, flags, 0666);
  if (fd < 0) return fail(errorFromErrno(errno, lpFileName));
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return fail(ERROR_ACCESS_DENIED);
  }
  HANDLE h = handleNew(kHandleFile, taken);
  if (!h) {
    close(fd);
    return fail(kErrorTooManyOpenFiles);
  }
  files().open.emplace(reinterpret_cast<uintptr_t>(h),
                       OpenFile{fd, access, share, st.st_dev, st.st_ino});
  const bool reopened =
      existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
  SetLastError(reopened ? kErrorAlreadyExists : ERROR_SUCCESS);
  return h;
}

WINBASEAPI BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  // Windows dereferences the count without checking; asynchronous writes are not offered.
  if (!lpNumberOfBytesWritten || lpOverlapped) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpNumberOfBytesWritten = 0;
  const OpenFile* f = find(hFile);
  if (!f) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!(f->access & GENERIC_WRITE)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (nNumberOfBytesToWrite > 0 && !lpBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const char* bytes = static_cast<const char*>(lpBuffer);
  DWORD done = 0;
  int err = 0;
  while (done < nNumberOfBytesToWrite) {
    const ssize_t n = write(f->fd, bytes + done, nNumberOfBytesToWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      err = errno;
      break;
    }
    // A write that takes nothing is a device that has no room left.
    if (n == 0) {
      err = ENOSPC;
      break;
    }
    done += DWORD(n);
  }
  *lpNumberOfBytesWritten = done;
  if (done < nNumberOfBytesToWrite) {
    SetLastError(errorFromErrno(err, ""));
    return FALSE;
  }
  return TRUE;
}

WINBASEAPI BOOL WINAPI CloseHandle(HANDLE hObject) {
  auto& open = files().open;
  auto it = open.find(reinterpret_cast<uintptr_t>(hObject));
  if (it == open.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const int fd = it->second.fd;
  open.erase(it);
  // The descriptor is gone whatever close says; a delayed write error still fails the call.
  if (close(fd) != 0 && errno != EINTR) {
    SetLastError(errorFromErrno(errno, ""));
    return FALSE;
  }
  return TRUE;
}
