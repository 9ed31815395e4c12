#include "viewkit/files/safeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "viewkit/files/errorText.h"
#include "viewkit/files/temporaryFile.h"

namespace viewkit {

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The browser's file system has no renameat2; link() does the work there.
int systemRenameNoReplace(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
  return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#else
  (void)from;
  (void)to;
  errno = ENOSYS;
  return -1;
#endif
}

NamingCalls naming;

int callLink(const char* from, const char* to) {
  return naming.link != nullptr ? naming.link(from, to) : ::link(from, to);
}
int callRenameNoReplace(const char* from, const char* to) {
  return naming.renameNoReplace != nullptr ? naming.renameNoReplace(from, to)
                                           : systemRenameNoReplace(from, to);
}

// The rename is only durable once the directory that holds it is on disk.
// File systems that cannot sync a directory say so with EINVAL.
bool syncDirectory(const std::string& dir, std::string& error) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    error = errorText(errno);
    return false;
  }
  const bool synced = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int syncError = errno;
  const bool closed = close(fd) == 0;
  if (!synced || !closed) {
    error = errorText(synced ? errno : syncError);
    return false;
  }
  return true;
}

// Standard output and the other open descriptors under their device names:
// the descriptor itself is the target, not whatever it happens to lead to.
int descriptorNamed(const std::string& path) {
  if (path == "-" || path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const size_t n = std::strlen(prefix);
    if (path.compare(0, n, prefix) != 0 || path.size() == n || path.size() > n + 6) continue;
    if (path.find_first_not_of("0123456789", n) != std::string::npos) continue;
    return std::atoi(path.c_str() + n);
  }
  return -1;
}

// Follows the symbolic links of path's last name to what they lead to:
// target is the path of the entry to write (absent when the last link
// dangles). The links of /proc name open files, not paths, so following
// stops there with throughProc set, as it does at a descriptor's name
// (descriptor is then its number, or -1).
bool followLinks(const std::string& path, std::string& target, bool& throughProc, int& descriptor,
                 std::string& error) {
  target = path;
  throughProc = false;
  for (int hops = 0;; ++hops) {
    descriptor = descriptorNamed(target);
    if (descriptor >= 0) return true;
    if (target.compare(0, 6, "/proc/") == 0) {
      throughProc = true;
      return true;
    }
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    if (hops == 40) {
      error = errorText(ELOOP);
      return false;
    }
    std::string text(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = readlink(target.c_str(), &text[0], text.size());
    if (n < 0 || static_cast<size_t>(n) >= text.size()) {
      error = errorText(n < 0 ? errno : ENAMETOOLONG);
      return false;
    }
    text.resize(static_cast<size_t>(n));
    target = text[0] == '/' ? text : directoryOf(target) + "/" + text;
  }
}

// Writes the content straight into an open stream: a device, a FIFO or a
// descriptor. There is nothing to undo when this fails part way.
bool writeInto(FILE* f, bool ours, const std::function<bool(FILE*)>& body, std::string& error) {
  errno = 0;
  bool ok = body(f);
  if (!ok && error.empty()) error = errno != 0 ? errorText(errno) : "write failed";
  if (ok && (std::fflush(f) != 0 || std::ferror(f))) {
    ok = false;
    error = errorText(errno);
  }
  if (ours && std::fclose(f) != 0 && ok) {
    ok = false;
    error = errorText(errno);
  }
  return ok;
}

bool writeStream(const std::string& path, int descriptor, const std::function<bool(FILE*)>& body,
                 std::string& error) {
  if (descriptor == 1) return writeInto(stdout, false, body, error);
  if (descriptor == 2) return writeInto(stderr, false, body, error);
  const int fd =
      descriptor >= 0 ? dup(descriptor) : open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errorText(errno);
    return false;
  }
  FILE* f = fdopen(fd, "wb");
  if (f == nullptr) {
    error = errorText(errno);
    close(fd);
    return false;
  }
  return writeInto(f, true, body, error);
}

// Copies the finished temporary file into a name that did not exist, made
// with O_EXCL: the last way not to replace anything where the file system
// has neither hard links nor an exclusive rename. A failed copy is removed.
bool copyExclusively(const std::string& from, const std::string& to, mode_t mode,
                     std::string& error) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    error = errorText(errno);
    return false;
  }
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (out < 0) {
    error = errorText(errno);
    close(in);
    return false;
  }
  bool ok = true;
  char buf[65536];
  for (;;) {
    const ssize_t n = read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) ok = false;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      const ssize_t w = write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0)
        ok = false;
      else
        done += w;
    }
    if (!ok) break;
  }
  if (ok && fsync(out) != 0) ok = false;
  if (!ok) error = errorText(errno);
  if (close(out) != 0 && ok) {
    ok = false;
    error = errorText(errno);
  }
  close(in);  // read only: nothing can be lost
  if (!ok) unlink(to.c_str());
  return ok;
}

// Gives the finished temporary file the name path, which must not exist.
bool nameWithoutReplacing(const std::string& tmp, const std::string& path, mode_t mode,
                          std::string& error) {
  // link() refuses an existing name, so a file that appeared meanwhile is
  // still not overwritten; the temporary name is dropped afterwards.
  if (callLink(tmp.c_str(), path.c_str()) == 0) {
    unlink(tmp.c_str());
    return true;
  }
  if (errno == EEXIST) {
    error = errorText(EEXIST);
    return false;
  }
  // No hard links here (FAT, some network and FUSE file systems).
  if (callRenameNoReplace(tmp.c_str(), path.c_str()) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EPERM) {
    error = errorText(errno);
    return false;
  }
  if (!copyExclusively(tmp, path, mode, error)) return false;
  unlink(tmp.c_str());
  return true;
}

}  // namespace

NamingCalls setNamingCalls(const NamingCalls& calls) {
  const NamingCalls before = naming;
  naming = calls;
  return before;
}

bool nameNewFile(const std::string& from, const std::string& to, std::string& error) {
  error.clear();
  struct stat st;
  if (stat(from.c_str(), &st) != 0) {
    error = errorText(errno);
    return false;
  }
  if (!nameWithoutReplacing(from, to, st.st_mode & 0777, error)) return false;
  if (!syncDirectory(directoryOf(to), error)) {
    unlink(to.c_str());  // a new name that may not last is taken back
    return false;
  }
  return true;
}

std::string freeFileName(const std::string& stem, const std::string& ext) {
  std::string name = stem + ext;
  for (int k = 1; exists(name); ++k) name = stem + "-" + std::to_string(k) + ext;
  return name;
}

bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& body,
                         std::string& error, bool replace) {
  return writeFile(path, body, error, replace ? WriteMode::kReplace : WriteMode::kNoReplace);
}

bool writeFile(const std::string& path, const std::function<bool(FILE*)>& body, std::string& error,
               WriteMode mode, Delivery* delivery) {
  error.clear();
  if (delivery != nullptr) *delivery = Delivery::kNone;
  const bool userOutput = mode == WriteMode::kUserOutput;

  // Files that are the user's choice are written as named: through links to
  // their target, and into a stream when that is what the name is.
  std::string target = path;
  mode_t fileMode = newFileMode();
  if (mode == WriteMode::kNoReplace) {
    if (exists(path)) {
      error = errorText(EEXIST);
      return false;
    }
  } else {
    int descriptor = -1;
    bool throughProc = false;
    if (!followLinks(path, target, throughProc, descriptor, error)) return false;
    struct stat st;
    const bool present = descriptor >= 0 || stat(target.c_str(), &st) == 0;
    if (present && descriptor < 0 && S_ISDIR(st.st_mode)) {
      error = errorText(EISDIR);
      return false;
    }
    if (present && descriptor < 0 && S_ISSOCK(st.st_mode)) {
      error = "a socket, not a file";
      return false;
    }
    const bool stream = descriptor >= 0 || throughProc || (present && !S_ISREG(st.st_mode));
    if (stream) {
      if (!userOutput) {
        error = "not a regular file";
        return false;
      }
      if (!writeStream(target, descriptor, body, error)) return false;
      if (delivery != nullptr) *delivery = Delivery::kStream;
      return true;
    }
    // The file keeps its permissions when its content is replaced.
    if (present) fileMode = st.st_mode & 07777 & ~static_cast<mode_t>(S_ISUID | S_ISGID);
  }

  std::string tmp;
  int tmpError = 0;
  const int fd = createTemporaryFile(target, fileMode, tmp, tmpError);
  if (fd < 0) {
    error = errorText(tmpError);
    return false;
  }
  FILE* f = fdopen(fd, "wb");
  if (f == nullptr) {
    error = errorText(errno);
    close(fd);
    unlink(tmp.c_str());
    return false;
  }
  errno = 0;
  bool ok = body(f);
  if (!ok && error.empty()) error = errno != 0 ? errorText(errno) : "write failed";
  if (ok && (std::fflush(f) != 0 || std::ferror(f) || fsync(fd) != 0)) {
    ok = false;
    error = errorText(errno);
  }
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    error = errorText(errno);
  }
  bool named = false;
  if (ok) {
    if (mode == WriteMode::kNoReplace) {
      named = nameWithoutReplacing(tmp, target, fileMode, error);
    } else {
      named = std::rename(tmp.c_str(), target.c_str()) == 0;
      if (!named) error = errorText(errno);
    }
    ok = named;
  }
  if (!ok) {
    unlink(tmp.c_str());
    return false;
  }
  if (!syncDirectory(directoryOf(target), error)) {
    // A new name that may not last is taken back; a replaced file's old
    // content is gone either way, so the new one stays.
    if (mode == WriteMode::kNoReplace) unlink(target.c_str());
    return false;
  }
  if (delivery != nullptr) *delivery = Delivery::kFile;
  return true;
}

}  // namespace viewkit
