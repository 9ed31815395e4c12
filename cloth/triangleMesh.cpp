#include "cloth/triangleMesh.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>

namespace cloth {

namespace {

// Statements of OBJ that say nothing about the shape's surface.
const char* const kIgnored[] = {
    "vt",     "vn",         "vp",        "o",      "g",     "s",        "usemtl",
    "mtllib", "l",          "p",         "cstype", "deg",   "bmat",     "step",
    "curv",   "curv2",      "surf",      "parm",   "trim",  "hole",     "scrv",
    "sp",     "end",        "con",       "mg",     "bevel", "c_interp", "d_interp",
    "lod",    "shadow_obj", "trace_obj", "ctech",  "stech"};

bool ignored(const std::string& word) {
  for (const char* w : kIgnored)
    if (word == w) return true;
  return false;
}

std::string at(long line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

// A number as OBJ writes them; false when the word is not one.
bool number(const std::string& word, double& value) {
  if (word.empty()) return false;
  const char* begin = word.c_str();
  char* end = nullptr;
  errno = 0;
  value = std::strtod(begin, &end);
  return end == begin + word.size();
}

// The vertex a face names: "k", "k/t", "k//n" or "k/t/n", k from 1, or
// negative, counting back from the last vertex read.
bool faceVertex(const std::string& word, long vertices, long& index, std::string& error) {
  const std::string head = word.substr(0, word.find('/'));
  char* end = nullptr;
  errno = 0;
  const long k = std::strtol(head.c_str(), &end, 10);
  if (head.empty() || end != head.c_str() + head.size() || errno == ERANGE) {
    error = "'" + word.substr(0, 40) + "' is not a vertex number";
    return false;
  }
  index = k > 0 ? k - 1 : vertices + k;
  if (k == 0 || index < 0 || index >= vertices) {
    error = "a face names vertex " + head + ", which does not exist";
    return false;
  }
  return true;
}

// Every edge in exactly two triangles, once in each direction.
bool closed(const TriangleMesh& mesh, std::string& error) {
  std::map<std::pair<int, int>, int> edges;  // directed edge -> times seen
  for (const auto& t : mesh.triangles)
    for (int k = 0; k < 3; ++k) ++edges[{t[k], t[(k + 1) % 3]}];
  for (const auto& e : edges) {
    const auto back = edges.find({e.first.second, e.first.first});
    if (e.second != 1 || back == edges.end() || back->second != 1) {
      error = "the mesh is not closed (the edge between vertices " +
              std::to_string(e.first.first + 1) + " and " + std::to_string(e.first.second + 1) +
              " does not join exactly two faces turned alike)";
      return false;
    }
  }
  return true;
}

}  // namespace

bool parseObjMesh(const std::string& text, TriangleMesh& mesh, std::string& error) {
  mesh = TriangleMesh();
  if (text.find('\0') != std::string::npos) {
    error = "not OBJ text (it holds a zero byte)";
    return false;
  }
  std::vector<int> joined;  // each vertex read -> the vertex it became
  std::map<std::array<float, 3>, int> places;
  std::istringstream in(text);
  std::string line;
  long number_ = 0;
  std::vector<long> face;
  while (std::getline(in, line)) {
    ++number_;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    if (word == "v") {
      double xyz[3];
      for (double& c : xyz) {
        std::string w;
        if (!(words >> w) || !number(w, c)) {
          error = at(number_, "a vertex needs three numbers");
          return false;
        }
        if (!std::isfinite(c) || !std::isfinite(static_cast<float>(c))) {
          error = at(number_, "a coordinate is not a finite number");
          return false;
        }
      }
      const std::array<float, 3> p{static_cast<float>(xyz[0]), static_cast<float>(xyz[1]),
                                   static_cast<float>(xyz[2])};
      const auto found = places.emplace(p, static_cast<int>(mesh.vertices.size()));
      if (found.second) mesh.vertices.emplace_back(p[0], p[1], p[2]);
      joined.push_back(found.first->second);
    } else if (word == "f") {
      face.clear();
      std::string w;
      while (words >> w) {
        long k;
        std::string what;
        if (!faceVertex(w, static_cast<long>(joined.size()), k, what)) {
          error = at(number_, what);
          return false;
        }
        face.push_back(joined[static_cast<size_t>(k)]);
      }
      if (face.size() < 3) {
        error = at(number_, "a face needs three vertices");
        return false;
      }
      for (size_t k = 1; k + 1 < face.size(); ++k) {
        const std::array<int, 3> t{static_cast<int>(face[0]), static_cast<int>(face[k]),
                                   static_cast<int>(face[k + 1])};
        if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) {
          error = at(number_, "a face uses one vertex twice");
          return false;
        }
        mesh.triangles.push_back(t);
      }
    } else if (!ignored(word)) {
      error = at(number_, "not OBJ ('" + word.substr(0, 20) + "' begins no OBJ statement)");
      return false;
    }
  }
  if (mesh.triangles.empty()) {
    error = "no faces: the mesh is empty";
    return false;
  }
  return closed(mesh, error);
}

bool readObjMesh(const std::string& path, TriangleMesh& mesh, std::string& error,
                 std::string* bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st;
  std::string text;
  bool ok = ::fstat(fd, &st) == 0;
  if (!ok) {
    error = std::strerror(errno);
  } else if (S_ISDIR(st.st_mode)) {
    error = "is a directory";
    ok = false;
  } else if (!S_ISREG(st.st_mode)) {
    error = "not a regular file";
    ok = false;
  } else if (st.st_size > kMaxObjBytes) {
    error = "larger than " + std::to_string(kMaxObjBytes >> 20) + " MiB";
    ok = false;
  }
  // Read to the end, but never past the bound, should the file grow.
  char block[65536];
  while (ok) {
    const ssize_t got = ::read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = std::strerror(errno);
      ok = false;
    } else if (got == 0) {
      break;
    } else if (static_cast<long>(text.size()) + got > kMaxObjBytes) {
      error = "larger than " + std::to_string(kMaxObjBytes >> 20) + " MiB";
      ok = false;
    } else {
      text.append(block, static_cast<size_t>(got));
    }
  }
  ::close(fd);
  if (!ok || !parseObjMesh(text, mesh, error)) return false;
  if (bytes) *bytes = std::move(text);
  return true;
}

}  // namespace cloth
