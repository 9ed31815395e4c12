// A fresh directory under /tmp for one test: its entries can be listed, and
// it is emptied (files and empty folders) and removed when the test ends.
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + ".XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) ADD_FAILURE() << "cannot make " << pattern;
    path_ = pattern;
  }
  ~ScratchDir() {
    for (const std::string& name : entries()) {
      const std::string p = path_ + "/" + name;
      if (unlink(p.c_str()) != 0) rmdir(p.c_str());
    }
    rmdir(path_.c_str());
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }

  // Names in the directory, hidden ones included, sorted.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(path_.c_str())) {
      while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
          names.push_back(e->d_name);
      closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::string path_;
};
