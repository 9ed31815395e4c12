#include "viewkit/safeFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace viewkit {

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// "dir/.name.XXXXXX": hidden, beside the target, so the final rename stays
// within one file system.
std::string temporaryPattern(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return dir + "." + name + ".XXXXXX";
}

}  // namespace

std::string freeFileName(const std::string& stem, const std::string& ext) {
  std::string name = stem + ext;
  for (int k = 1; exists(name); ++k) name = stem + "-" + std::to_string(k) + ext;
  return name;
}

bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& body,
                         std::string& error, bool replace) {
  error.clear();
  if (!replace && exists(path)) {
    error = std::strerror(EEXIST);
    return false;
  }
  std::string tmp = temporaryPattern(path);
  const int fd = mkstemp(&tmp[0]);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  FILE* f = fdopen(fd, "wb");
  if (f == nullptr) {
    error = std::strerror(errno);
    close(fd);
    unlink(tmp.c_str());
    return false;
  }
  // mkstemp creates 0600; a saved picture or mesh should be as readable as
  // any other file the user makes.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);

  errno = 0;
  bool ok = body(f);
  if (!ok && error.empty()) error = errno != 0 ? std::strerror(errno) : "write failed";
  if (ok && (std::fflush(f) != 0 || std::ferror(f) || fsync(fd) != 0)) {
    ok = false;
    error = std::strerror(errno != 0 ? errno : EIO);
  }
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    error = std::strerror(errno);
  }
  if (ok) {
    // link() refuses an existing name, so a file that appeared meanwhile is
    // still not overwritten; rename() replaces atomically when asked to.
    const int moved =
        replace ? std::rename(tmp.c_str(), path.c_str()) : link(tmp.c_str(), path.c_str());
    if (moved != 0) {
      ok = false;
      error = std::strerror(errno);
    }
  }
  if (!ok || !replace) unlink(tmp.c_str());
  return ok;
}

}  // namespace viewkit
