#include "viewer/shapeFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "viewkit/files/errorText.h"
#include "viewkit/files/objWriter.h"
#include "zeShape/zeShapeRecord.h"

namespace shapeview {

namespace {

std::string twoDecimals(float v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(v));
  // -0.001 and -0.0 both print as "-0.00"; a bound of zero has no sign.
  return std::strcmp(text, "-0.00") == 0 ? "0.00" : text;
}

std::string point(const zeVec3f& p) {
  return "(" + twoDecimals(p.x) + ", " + twoDecimals(p.y) + ", " + twoDecimals(p.z) + ")";
}

const char* onOff(bool on) {
  return on ? "on" : "off";
}

}  // namespace

bool readShapeFile(const std::string& path, ShapeFile& file, std::string& error) {
  file = ShapeFile();
  FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) {
    error = "cannot open " + path + ": " + viewkit::errorText(errno);
    return false;
  }
  // A directory opens but cannot be read.
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(in);
    error = "cannot open " + path + ": " + viewkit::errorText(EISDIR);
    return false;
  }

  // Memory follows what the file holds, not what its headers claim: a
  // regular file gives at most its size, anything else (a pipe, a device
  // such as /dev/zero) at most kMaxStreamBytes, and no input more than
  // kMaxRecords records.
  const bool regular = fstat(fileno(in), &st) == 0 && S_ISREG(st.st_mode);
  const int64_t limit = regular ? static_cast<int64_t>(st.st_size) : kMaxStreamBytes;
  ShapeFile read;
  bool ok = true;
  while (ok) {
    auto shape = std::make_unique<zeShape>(false, false, false);
    const int64_t left = limit > read.bytes ? limit - read.bytes : 0;
    if (read.records.size() == kMaxRecords) {
      const int c = std::fgetc(in);
      if (c == EOF) break;
      error = path + ": more than " + std::to_string(kMaxRecords) + " records";
      ok = false;
      break;
    }
    const zeRecordStatus status = zeReadShapeRecord(*shape, in, static_cast<uint64_t>(left));
    if (status == zeRecordStatus::end) break;
    if (status == zeRecordStatus::tooLarge && !regular) {
      error = path + ": more than " + std::to_string(kMaxStreamBytes) +
              " bytes of records from input that is not a regular file";
      ok = false;
      break;
    }
    if (status != zeRecordStatus::ok) {
      // Past the end of a regular file is a record cut short.
      error = path + ": record " + std::to_string(read.records.size()) + " at byte " +
              std::to_string(read.bytes) + " is truncated or invalid";
      ok = false;
      break;
    }
    ShapeRecord record;
    record.offset = read.bytes;
    read.bytes += recordSize(*shape);
    record.shape = std::move(shape);
    read.records.push_back(std::move(record));
  }
  if (ok && std::ferror(in)) {
    error = "cannot open " + path + ": " + viewkit::errorText(errno);
    ok = false;
  }
  std::fclose(in);
  if (ok && read.records.empty()) {
    error = path + ": no records";
    ok = false;
  }
  if (ok) file = std::move(read);
  return ok;
}

int64_t recordSize(const zeShape& s) {
  const int64_t L = s.listLength;
  int64_t size = 86 + 12 * L;
  if (s.enableVertexNormals) size += 12 * L;
  if (s.enableVertexColors) size += 16 * L;
  if (s.enableVertexTextureCoords) size += 12 * L;
  if (s.enableIndex) size += 4 * static_cast<int64_t>(s.indexListLength);
  return size;
}

std::string modeName(uint32_t drawStyle) {
  static const char* const kNames[] = {
      "GL_POINTS",         "GL_LINES",        "GL_LINE_LOOP", "GL_LINE_STRIP", "GL_TRIANGLES",
      "GL_TRIANGLE_STRIP", "GL_TRIANGLE_FAN", "GL_QUADS",     "GL_QUAD_STRIP", "GL_POLYGON"};
  if (drawStyle < sizeof kNames / sizeof kNames[0]) return kNames[drawStyle];
  return std::to_string(drawStyle);
}

void Bounds::add(const zeVec3f& p) {
  // A position that is not a number has no place in a box.
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return;
  if (empty) {
    low = p;
    high = p;
    empty = false;
    return;
  }
  low.set(std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z));
  high.set(std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z));
}

void Bounds::add(const Bounds& b) {
  if (b.empty) return;
  add(b.low);
  add(b.high);
}

Bounds boundsOf(const zeShape& shape) {
  Bounds b;
  for (int32_t i = 0; i < shape.listLength; ++i) b.add(shape.vertexList[i]);
  return b;
}

std::string infoLine(size_t k, const ShapeRecord& record) {
  const zeShape& s = *record.shape;
  const Bounds b = boundsOf(s);
  // Without its list a record holds no indices, whatever count it carries.
  const int32_t indices = s.enableIndex ? s.indexListLength : 0;
  return "record " + std::to_string(k) + " at byte " + std::to_string(record.offset) + ": " +
         modeName(s.drawStyle) + " " + std::to_string(s.listLength) + " vertices, " +
         std::to_string(indices) + " indices, normals " + onOff(s.enableVertexNormals) +
         ", colours " + onOff(s.enableVertexColors) + ", texture " +
         onOff(s.enableVertexTextureCoords) + ", bounds " +
         (b.empty ? std::string("none") : point(b.low) + " to " + point(b.high));
}

bool writeObjFile(FILE* out, const ShapeFile& file) {
  long first = 1;
  for (size_t k = 0; k < file.records.size(); ++k)
    if (!viewkit::writeObjShape(out, *file.records[k].shape, "record" + std::to_string(k), first))
      return false;
  return true;
}

}  // namespace shapeview
