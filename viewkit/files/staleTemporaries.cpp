#include "viewkit/files/staleTemporaries.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

namespace viewkit {

namespace {

bool processGone(long pid) {
  if (pid <= 0 || pid == static_cast<long>(getpid())) return false;
  return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

bool temporaryNamePid(const std::string& name, long& pid) {
  // ".", NAME, ".", PID, ".", six characters: at least 10 bytes.
  const size_t n = name.size();
  if (n < 10 || name[0] != '.' || name[n - 7] != '.') return false;
  for (size_t k = n - 6; k < n; ++k)
    if (!std::isalnum(static_cast<unsigned char>(name[k]))) return false;
  const size_t dot = name.rfind('.', n - 8);
  if (dot == std::string::npos || dot < 2 || n - 7 - (dot + 1) > 9) return false;
  long value = 0;
  for (size_t k = dot + 1; k < n - 7; ++k) {
    if (!std::isdigit(static_cast<unsigned char>(name[k]))) return false;
    value = value * 10 + (name[k] - '0');
  }
  if (dot + 1 == n - 7) return false;  // no digits
  pid = value;
  return true;
}

std::vector<std::string> removeStaleTemporaries(const std::string& dir) {
  std::vector<std::string> removed;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return removed;
  while (const dirent* e = readdir(d)) {
    long pid = 0;
    if (!temporaryNamePid(e->d_name, pid) || !processGone(pid)) continue;
    const std::string path = (dir == "/" ? "" : dir) + "/" + e->d_name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) continue;
    if (unlink(path.c_str()) == 0) removed.push_back(path);
  }
  closedir(d);
  return removed;
}

}  // namespace viewkit
