// The shape record: an 86-byte little-endian header followed by the vertex
// positions and each per-vertex list and the index list that is switched on.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "zeShape/zeShape.h"
#include "zeShape/zeShapeLists.h"
#include "zeShape/zeShapeRecord.h"

namespace {

constexpr size_t kHeaderSize = 86;

// ---- Writing: fields are encoded into a small buffer that is flushed to the
// stream whenever it fills, so large lists do not cost a call per float. ----

class RecordWriter {
 public:
  explicit RecordWriter(FILE* stream) : stream_(stream) {}

  void u8(uint8_t v) {
    if (used_ == sizeof buf_) flush();
    buf_[used_++] = v;
  }
  void u32(uint32_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
    u8(static_cast<uint8_t>(v >> 16));
    u8(static_cast<uint8_t>(v >> 24));
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
  }
  void boolean(bool v) { u8(v ? 1 : 0); }
  void vec3(const zeVec3f& v) {
    f32(v.x);
    f32(v.y);
    f32(v.z);
  }
  void vec4(const zeVec4f& v) {
    f32(v.x);
    f32(v.y);
    f32(v.z);
    f32(v.w);
  }

  // Writes what is buffered and pushes it to the stream; true when every
  // byte of the record reached it.
  bool finish() {
    flush();
    if (ok_ && std::fflush(stream_) != 0) ok_ = false;
    return ok_;
  }

 private:
  void flush() {
    if (ok_ && used_ > 0 && std::fwrite(buf_, 1, used_, stream_) != used_) ok_ = false;
    used_ = 0;
  }

  FILE* stream_;
  unsigned char buf_[4096];
  size_t used_ = 0;
  bool ok_ = true;
};

// ---- Reading: the whole record is read into memory first, in pieces of
// bounded size, so a count that the stream does not back never causes an
// allocation of its own size, and a bad record changes nothing. ----

// Appends count bytes from the stream to out; false when the stream ends
// or fails first.
bool readBytes(FILE* stream, std::vector<unsigned char>& out, uint64_t count) {
  constexpr uint64_t kPiece = 64 * 1024;
  while (count > 0) {
    const size_t piece = static_cast<size_t>(count < kPiece ? count : kPiece);
    const size_t at = out.size();
    out.resize(at + piece);
    if (std::fread(out.data() + at, 1, piece, stream) != piece) return false;
    count -= piece;
  }
  return true;
}

class RecordDecoder {
 public:
  explicit RecordDecoder(const unsigned char* bytes) : p_(bytes) {}

  uint8_t u8() { return *p_++; }
  uint32_t u32() {
    const uint32_t v = static_cast<uint32_t>(p_[0]) | static_cast<uint32_t>(p_[1]) << 8 |
                       static_cast<uint32_t>(p_[2]) << 16 | static_cast<uint32_t>(p_[3]) << 24;
    p_ += 4;
    return v;
  }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  float f32() {
    const uint32_t bits = u32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  bool boolean() { return u8() != 0; }
  void vec3(zeVec3f& v) {
    const float x = f32();
    const float y = f32();
    const float z = f32();
    v.set(x, y, z);
  }
  void vec4(zeVec4f& v) {
    const float x = f32();
    const float y = f32();
    const float z = f32();
    const float w = f32();
    v.set(x, y, z, w);
  }

 private:
  const unsigned char* p_;
};

}  // namespace

bool zeWriteShapeRecord(const zeShape& shape, FILE* stream) {
  const zeShape& s = shape;
  RecordWriter out(stream);
  out.u32(s.drawStyle);
  out.u8(static_cast<uint8_t>(s.transformOrder));
  out.vec3(s.Normal);
  out.vec4(s.Color);
  out.vec3(s.Translation);
  out.vec3(s.Scale);
  out.vec4(s.Rotation);
  out.boolean(s.enablePicking);
  out.i32(s.listLength);
  out.boolean(s.enableIndex);
  out.i32(s.indexListLength);
  out.boolean(s.enableVertexNormals);
  out.boolean(s.enableVertexColors);
  out.boolean(s.enableVertexTextureCoords);

  for (int32_t i = 0; i < s.listLength; ++i) out.vec3(s.vertexList[i]);
  if (s.enableVertexNormals)
    for (int32_t i = 0; i < s.listLength; ++i) out.vec3(s.normalList[i]);
  if (s.enableVertexColors)
    for (int32_t i = 0; i < s.listLength; ++i) out.vec4(s.colorList[i]);
  if (s.enableVertexTextureCoords)
    for (int32_t i = 0; i < s.listLength; ++i) out.vec3(s.textureCoordList[i]);
  if (s.enableIndex)
    for (int32_t i = 0; i < s.indexListLength; ++i) out.i32(s.indexList[i]);
  return out.finish();
}

void zeShape::writeToFile(FILE* stream) {
  if (!zeWriteShapeRecord(*this, stream)) std::printf("writeToFile: write failed\n");
}

void zeShape::readFromFile(FILE* stream) {
  if (zeReadShapeRecord(*this, stream) != zeRecordStatus::ok)
    std::printf("readFromFile: record is truncated or invalid\n");
}

uint64_t zeShapeRecordSize(const zeShape& s) {
  const uint64_t L = s.listLength < 0 ? 0u : static_cast<uint64_t>(s.listLength);
  const uint64_t K = s.indexListLength < 0 ? 0u : static_cast<uint64_t>(s.indexListLength);
  const uint64_t perVertex = 12u + (s.enableVertexNormals ? 12u : 0u) +
                             (s.enableVertexColors ? 16u : 0u) +
                             (s.enableVertexTextureCoords ? 12u : 0u);
  return kHeaderSize + perVertex * L + (s.enableIndex ? 4u * K : 0u);
}

const char* zeRecordStatusText(zeRecordStatus status) {
  switch (status) {
    case zeRecordStatus::ok:
      return "record read";
    case zeRecordStatus::end:
      return "no record";
    case zeRecordStatus::truncated:
      return "record is truncated";
    case zeRecordStatus::invalid:
      return "record is invalid";
    case zeRecordStatus::tooLarge:
      return "record is too large";
  }
  return "record is invalid";
}

zeRecordStatus zeReadShapeRecord(zeShape& shape, FILE* stream, uint64_t maxBytes) {
  zeShape& s = shape;
  const int first = std::fgetc(stream);
  if (first == EOF) return std::ferror(stream) ? zeRecordStatus::truncated : zeRecordStatus::end;
  std::ungetc(first, stream);
  if (maxBytes < kHeaderSize) return zeRecordStatus::tooLarge;

  std::vector<unsigned char> record;
  record.reserve(kHeaderSize);
  if (!readBytes(stream, record, kHeaderSize)) return zeRecordStatus::truncated;

  RecordDecoder header(record.data());
  const uint32_t newDrawStyle = header.u32();
  const uint8_t newOrder = header.u8();
  zeVec3f newNormal, newTranslation, newScale;
  zeVec4f newColor, newRotation;
  header.vec3(newNormal);
  header.vec4(newColor);
  header.vec3(newTranslation);
  header.vec3(newScale);
  header.vec4(newRotation);
  const bool newPicking = header.boolean();
  const int32_t L = header.i32();
  const bool newIndexed = header.boolean();
  const int32_t K = header.i32();
  const bool newNormals = header.boolean();
  const bool newColors = header.boolean();
  const bool newTexCoords = header.boolean();

  if (L < 0 || K < 0) return zeRecordStatus::invalid;
  // Counts are at most 2^31 - 1 and entries at most 52 bytes per vertex, so
  // the body size cannot overflow 64 bits; it must still fit in memory.
  const uint64_t perVertex =
      12u + (newNormals ? 12u : 0u) + (newColors ? 16u : 0u) + (newTexCoords ? 12u : 0u);
  const uint64_t body =
      perVertex * static_cast<uint64_t>(L) + (newIndexed ? 4u * static_cast<uint64_t>(K) : 0u);
  if (body > static_cast<uint64_t>(PTRDIFF_MAX) - kHeaderSize ||
      static_cast<uint64_t>(L) > SIZE_MAX / sizeof(zeVec4f) ||
      static_cast<uint64_t>(K) > SIZE_MAX / sizeof(int32_t))
    return zeRecordStatus::invalid;
  if (body > maxBytes - kHeaderSize) return zeRecordStatus::tooLarge;
  if (!readBytes(stream, record, body)) return zeRecordStatus::truncated;

  // The record is complete: only now does the shape change.
  s.drawStyle = newDrawStyle;
  s.transformOrder = static_cast<xformOrder>(newOrder);
  s.Normal = newNormal;
  s.Color = newColor;
  s.Translation = newTranslation;
  s.Scale = newScale;
  s.Rotation = newRotation;
  s.enablePicking = newPicking;
  const int32_t oldLength = s.listLength;
  s.listLength = L;
  s.enableIndex = newIndexed;
  s.indexListLength = K;
  s.enableVertexNormals = newNormals;
  s.enableVertexColors = newColors;
  s.enableVertexTextureCoords = newTexCoords;

  RecordDecoder in(record.data() + kHeaderSize);
  zeResizeList(s.vertexList, L);
  zeResizeList(s.absVertexList, L);
  zeResizeList(s.screenVertexList, L);
  // World and window positions are stale until the next draw; new entries
  // start at the origin rather than with leftover heap contents.
  for (int32_t i = oldLength; i < L; ++i) {
    s.absVertexList[i].set(0.0f, 0.0f, 0.0f);
    s.screenVertexList[i].set(0.0f, 0.0f, 0.0f);
  }
  for (int32_t i = 0; i < L; ++i) in.vec3(s.vertexList[i]);
  if (newNormals) {
    s.enablePerVertexNormals();
    for (int32_t i = 0; i < L; ++i) {
      in.vec3(s.normalList[i]);
      s.normalCountList[i] = 0;
    }
  }
  if (newColors) {
    s.enablePerVertexColors();
    for (int32_t i = 0; i < L; ++i) in.vec4(s.colorList[i]);
  }
  if (newTexCoords) {
    s.enablePerVertexTextureCoords();
    for (int32_t i = 0; i < L; ++i) in.vec3(s.textureCoordList[i]);
  }
  if (newIndexed) {
    zeResizeList(s.indexList, K);
    for (int32_t i = 0; i < K; ++i) s.indexList[i] = in.i32();
  }
  return zeRecordStatus::ok;
}
