// Record reader check: an independent decoding of the record layout decides
// whether each read must succeed, and the shape is compared with it byte for
// byte (floats by their bits, so NaN payloads count).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/fuzz/shapeFuzzChecks.h"
#include "zeShape/zeNiceShapes.h"

namespace shapefuzz {

void silenceStdout() {
  std::fflush(stdout);
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    close(null);
  }
}

namespace {

constexpr size_t kHeader = 86;
// Offsets of the one-byte flags in the header: written as 0 or 1, read as
// "not zero".
constexpr size_t kBoolOffsets[] = {73, 78, 83, 84, 85};
constexpr int kMaxRecordsPerStream = 8;

uint32_t u32At(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// What the record at the front of `bytes` says, if it is a whole valid record.
struct Record {
  bool valid = false;
  size_t size = 0;  // header and body
  const uint8_t* p = nullptr;
  int32_t L = 0, K = 0;
  bool indexed = false, normals = false, colors = false, texCoords = false;
  // Body offsets of the lists (from the start of the record).
  size_t vertexAt = 0, normalAt = 0, colorAt = 0, texAt = 0, indexAt = 0;
};

Record decode(const uint8_t* bytes, size_t available) {
  Record r;
  if (available < kHeader) return r;
  r.p = bytes;
  r.L = static_cast<int32_t>(u32At(bytes + 74));
  r.indexed = bytes[78] != 0;
  r.K = static_cast<int32_t>(u32At(bytes + 79));
  r.normals = bytes[83] != 0;
  r.colors = bytes[84] != 0;
  r.texCoords = bytes[85] != 0;
  if (r.L < 0 || r.K < 0) return r;
  const uint64_t L = static_cast<uint64_t>(r.L);
  uint64_t at = kHeader;
  r.vertexAt = at;
  at += 12 * L;
  r.normalAt = at;
  if (r.normals) at += 12 * L;
  r.colorAt = at;
  if (r.colors) at += 16 * L;
  r.texAt = at;
  if (r.texCoords) at += 12 * L;
  r.indexAt = at;
  if (r.indexed) at += 4 * static_cast<uint64_t>(r.K);
  if (at > available) return r;
  r.size = static_cast<size_t>(at);
  r.valid = true;
  return r;
}

// Appends the raw bytes of a value.
template <class T>
void put(std::vector<uint8_t>& out, const T& v) {
  const auto* b = reinterpret_cast<const uint8_t*>(&v);
  out.insert(out.end(), b, b + sizeof v);
}

template <class T>
void putList(std::vector<uint8_t>& out, const T* list, int32_t n) {
  if (n <= 0) return;
  const auto* b = reinterpret_cast<const uint8_t*>(list);
  out.insert(out.end(), b, b + sizeof(T) * static_cast<size_t>(n));
}

// Everything a read may change, with the lists whose flag is clear recorded
// by their block address only (a read must leave those blocks alone).
std::vector<uint8_t> snapshot(const zeShape& s) {
  std::vector<uint8_t> out;
  put(out, s.drawStyle);
  put(out, s.transformOrder);
  put(out, s.Normal);
  put(out, s.Color);
  put(out, s.Translation);
  put(out, s.Scale);
  put(out, s.Rotation);
  put(out, s.enablePicking);
  put(out, s.listLength);
  put(out, s.enableIndex);
  put(out, s.indexListLength);
  put(out, s.enableVertexNormals);
  put(out, s.enableVertexColors);
  put(out, s.enableVertexTextureCoords);
  put(out, s.space);
  putList(out, s.vertexList, s.listLength);
  putList(out, s.absVertexList, s.listLength);
  putList(out, s.screenVertexList, s.listLength);
  if (s.enableVertexNormals) {
    putList(out, s.normalList, s.listLength);
    putList(out, s.normalCountList, s.listLength);
  } else {
    put(out, s.normalList);
    put(out, s.normalCountList);
  }
  if (s.enableVertexColors)
    putList(out, s.colorList, s.listLength);
  else
    put(out, s.colorList);
  if (s.enableVertexTextureCoords)
    putList(out, s.textureCoordList, s.listLength);
  else
    put(out, s.textureCoordList);
  if (s.enableIndex)
    putList(out, s.indexList, s.indexListLength);
  else
    put(out, s.indexList);
  return out;
}

std::vector<uint8_t> recordOf(zeShape& s) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  if (f == nullptr) std::abort();
  s.writeToFile(f);
  std::fclose(f);
  std::vector<uint8_t> out(buf, buf + len);
  std::free(buf);
  return out;
}

bool sameBytes(const void* a, const void* b, size_t n) {
  return n == 0 || std::memcmp(a, b, n) == 0;
}

// The shape after a successful read of r, compared field by field.
std::string compareWithRecord(const zeShape& s, const Record& r) {
  const uint8_t* p = r.p;
  if (s.drawStyle != u32At(p)) return "drawStyle differs from the record";
  if (static_cast<int>(s.transformOrder) != p[4]) return "transformOrder differs from the record";
  if (!sameBytes(&s.Normal, p + 5, 12) || !sameBytes(&s.Color, p + 17, 16) ||
      !sameBytes(&s.Translation, p + 33, 12) || !sameBytes(&s.Scale, p + 45, 12) ||
      !sameBytes(&s.Rotation, p + 57, 16))
    return "a vector setting differs from the record";
  if (s.enablePicking != (p[73] != 0) || s.enableIndex != r.indexed ||
      s.enableVertexNormals != r.normals || s.enableVertexColors != r.colors ||
      s.enableVertexTextureCoords != r.texCoords)
    return "a flag differs from the record";
  if (s.listLength != r.L || s.indexListLength != r.K) return "a count differs from the record";
  const size_t L = static_cast<size_t>(r.L);
  if (!sameBytes(s.vertexList, p + r.vertexAt, 12 * L)) return "vertex positions differ";
  if (r.normals && !sameBytes(s.normalList, p + r.normalAt, 12 * L)) return "normals differ";
  if (r.colors && !sameBytes(s.colorList, p + r.colorAt, 16 * L)) return "colours differ";
  if (r.texCoords && !sameBytes(s.textureCoordList, p + r.texAt, 12 * L))
    return "texture coordinates differ";
  if (r.indexed && !sameBytes(s.indexList, p + r.indexAt, 4 * static_cast<size_t>(r.K)))
    return "indices differ";
  // The lists draw fills must have L entries too: touching the last entry
  // lets AddressSanitizer check their size.
  if (L > 0) {
    volatile float sink = s.absVertexList[L - 1].x + s.screenVertexList[L - 1].x;
    if (r.normals) sink = sink + static_cast<float>(s.normalCountList[L - 1]);
    (void)sink;
  }
  return std::string();
}

// Reads the records of data, one after another, into s; `name` says which
// shape for the messages.
std::string readStream(zeShape& s, const char* name, const uint8_t* data, size_t size) {
  // fmemopen needs a non-empty buffer; an empty input is a stream at its end.
  static const uint8_t kNothing[1] = {0};
  FILE* f = fmemopen(const_cast<uint8_t*>(size ? data : kNothing), size ? size : 1, "rb");
  if (f == nullptr) std::abort();
  if (size == 0) std::fgetc(f);

  std::string error;
  size_t at = 0;
  for (int n = 0; n < kMaxRecordsPerStream && error.empty(); ++n) {
    const Record r = decode(data + at, size - at);
    const std::vector<uint8_t> before = snapshot(s);
    void* const blocks[] = {s.normalList, s.normalCountList, s.colorList, s.textureCoordList,
                            s.indexList};
    s.readFromFile(f);
    const std::string where = std::string(name) + ", record " + std::to_string(n) + ": ";

    if (!r.valid) {
      if (snapshot(s) != before) error = where + "a rejected record changed the shape";
      break;
    }
    error = compareWithRecord(s, r);
    if (!error.empty()) {
      error = where + error;
      break;
    }
    if (static_cast<size_t>(std::ftell(f)) != at + r.size) {
      error = where + "the stream is not left just past the record";
      break;
    }
    // A list the record leaves off keeps its old block.
    if ((!r.normals && (s.normalList != blocks[0] || s.normalCountList != blocks[1])) ||
        (!r.colors && s.colorList != blocks[2]) ||
        (!r.texCoords && s.textureCoordList != blocks[3]) ||
        (!r.indexed && s.indexList != blocks[4])) {
      error = where + "a list switched off by the record lost its block";
      break;
    }

    // Written again, the record comes out as read, its flags as 0 or 1.
    std::vector<uint8_t> expected(data + at, data + at + r.size);
    for (size_t o : kBoolOffsets) expected[o] = expected[o] != 0;
    const std::vector<uint8_t> written = recordOf(s);
    if (written != expected) {
      error = where + "the record written back differs from the one read";
      break;
    }
    zeShape copy(false, false, false);
    FILE* g = fmemopen(const_cast<uint8_t*>(written.data()), written.size(), "rb");
    if (g == nullptr) std::abort();
    copy.readFromFile(g);
    std::fclose(g);
    if (recordOf(copy) != written) {
      error = where + "a shape read from the written record writes other bytes";
      break;
    }
    at += r.size;
  }
  std::fclose(f);
  return error;
}

}  // namespace

std::string checkShapeRecord(const uint8_t* data, size_t size) {
  zeShape fresh(false, false, false);
  std::string error = readStream(fresh, "fresh shape", data, size);
  if (!error.empty()) return error;

  // A shape holding data in every list, its world and window positions set
  // as a draw would have left them.
  zeMeshShape mesh(3, 4);
  mesh.enablePerVertexTextureCoords();
  for (int i = 0; i < mesh.listLength; ++i) {
    const float f = static_cast<float>(i);
    mesh.absVertexList[i].set(f, -f, 0.5f);
    mesh.screenVertexList[i].set(10.0f * f, 20.0f, 0.25f);
    mesh.normalList[i].set(0.0f, 1.0f, 0.0f);
    mesh.normalCountList[i] = i;
    mesh.textureCoordList[i].set(f, f, f);
  }
  mesh.Translation.set(1.0f, 2.0f, 3.0f);
  error = readStream(mesh, "mesh shape", data, size);
  if (error.empty() && (mesh.N != 3 || mesh.M != 4)) error = "a read changed the mesh's grid size";
  return error;
}

}  // namespace shapefuzz
