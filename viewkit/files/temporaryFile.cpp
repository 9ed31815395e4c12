#include "viewkit/files/temporaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace viewkit {

std::string temporaryPattern(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t cut = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, cut) + "." + path.substr(cut) + "." + std::to_string(getpid()) + ".XXXXXX";
}

mode_t newFileMode() {
  // The umask can only be read by setting it; it is put back at once.
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

int createTemporaryFile(const std::string& path, mode_t mode, std::string& name, int& error) {
  name = temporaryPattern(path);
  const int fd = mkostemp(&name[0], O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    name.clear();
    return -1;
  }
  // mkostemp creates 0600; a saved picture, mesh or video should be as
  // readable as any other file the user makes.
  if (fchmod(fd, mode) != 0) {
    error = errno;
    close(fd);
    unlink(name.c_str());
    name.clear();
    return -1;
  }
  return fd;
}

}  // namespace viewkit
