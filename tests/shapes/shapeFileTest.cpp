// The binary shape record: exact bytes, round trips, and records that are
// cut short or carry impossible counts.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShape.h"
#include "zeShape/zeShapeRecord.h"

namespace {

using Bytes = std::vector<unsigned char>;
const char kRejected[] = "readFromFile: record is truncated or invalid\n";

Bytes streamContents(FILE* f) {
  Bytes out;
  std::rewind(f);
  int c;
  while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<unsigned char>(c));
  return out;
}

Bytes recordOf(zeShape& s) {
  FILE* f = std::tmpfile();
  s.writeToFile(f);
  Bytes b = streamContents(f);
  std::fclose(f);
  return b;
}

FILE* streamWith(const Bytes& b) {
  FILE* f = std::tmpfile();
  if (!b.empty()) std::fwrite(b.data(), 1, b.size(), f);
  std::rewind(f);
  return f;
}

// Reads the bytes into s and returns what it printed.
std::string readInto(zeShape& s, const Bytes& b) {
  FILE* f = streamWith(b);
  const std::string out = stdoutOf([&] { s.readFromFile(f); });
  std::fclose(f);
  return out;
}

void putU32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

void appendU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void appendF32(Bytes& b, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  appendU32(b, v);
}

// A shape using every list, with distinct values everywhere.
void fillRich(zeShape& s) {
  s.enablePerVertexTextureCoords();
  s.drawStyle = GL_TRIANGLE_FAN;
  s.transformOrder = ze_S_T_R;
  s.Normal.set(0.5f, -0.25f, 2);
  s.Color.set(0.1f, 0.2f, 0.3f, 0.4f);
  s.Translation.set(-1, 2.5f, 1e-7f);
  s.Scale.set(3, 4, 5);
  s.Rotation.set(33, 1, 0, -1);
  s.enablePicking = false;
  for (int i = 0; i < 3; ++i) {
    s.addPoint(i * 1.5f, -i * 0.75f, 100.0f + i);
    s.normalList[i].set(0, i * 0.125f, 1);
    s.colorList[i].set(i * 0.25f, 0.5f, 0.75f, 1 - i * 0.125f);
    s.textureCoordList[i].set(i * 0.5f, 1, -3);
  }
  for (int k : {0, 1, -1, 2}) s.addIndex(k);
}

// Everything a rejected read must leave untouched.
struct Snapshot {
  Bytes record;
  const void* lists[8];
  std::vector<float> world, window;
  explicit Snapshot(zeShape& s) : record(recordOf(s)) {
    const void* l[8] = {s.vertexList,       s.absVertexList, s.screenVertexList, s.normalList,
                        s.textureCoordList, s.colorList,     s.indexList,        s.normalCountList};
    std::memcpy(lists, l, sizeof lists);
    for (int i = 0; i < s.listLength; ++i) {
      world.insert(world.end(), {s.absVertexList[i].x, s.absVertexList[i].y, s.absVertexList[i].z});
      window.insert(window.end(),
                    {s.screenVertexList[i].x, s.screenVertexList[i].y, s.screenVertexList[i].z});
    }
  }
  bool operator==(const Snapshot& o) const {
    return record == o.record && std::memcmp(lists, o.lists, sizeof lists) == 0 &&
           world == o.world && window == o.window;
  }
};

TEST(ShapeRecord, NewShapeWritesTheEightySixByteHeader) {
  zeShape s(false, false, false);
  Bytes expected;
  appendU32(expected, 3);
  expected.push_back(1);
  for (float f :
       {0.f, 0.f, 1.f, 1.f, 1.f, 1.f, 1.f, 0.f, 0.f, 0.f, 1.f, 1.f, 1.f, 0.f, 0.f, 1.f, 0.f})
    appendF32(expected, f);
  expected.push_back(1);
  appendU32(expected, 0);
  expected.push_back(0);
  appendU32(expected, 0);
  for (int i = 0; i < 3; ++i) expected.push_back(0);
  ASSERT_EQ(expected.size(), 86u);
  std::string out;
  Bytes got;
  out = stdoutOf([&] { got = recordOf(s); });
  EXPECT_EQ(got, expected);
  EXPECT_EQ(out, "");
}

TEST(ShapeRecord, ListsFollowTheHeaderInOrder) {
  zeShape s(true, true, true);
  fillRich(s);
  const Bytes b = recordOf(s);
  ASSERT_EQ(b.size(), 86u + 3 * (12 + 12 + 16 + 12) + 4 * 4);
  EXPECT_EQ(b[4], 5);   // ze_S_T_R
  EXPECT_EQ(b[73], 0);  // picking off
  EXPECT_EQ(b[74], 3);  // vertex count
  EXPECT_EQ(b[78], 1);  // indexed
  EXPECT_EQ(b[79], 4);  // index count
  EXPECT_EQ(Bytes(b.begin() + 83, b.begin() + 86), (Bytes{1, 1, 1}));
  Bytes tail(b.end() - 8, b.end());  // the last two indices: -1 and 2
  EXPECT_EQ(tail, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0}));
  Bytes firstNormalY(b.begin() + 86 + 36 + 16, b.begin() + 86 + 36 + 20);  // normal 1, y
  Bytes expected;
  appendF32(expected, 0.125f);
  EXPECT_EQ(firstNormalY, expected);
}

TEST(ShapeRecord, ClothMeshRecordSize) {
  zeMeshShape m(60, 60);
  EXPECT_EQ(recordOf(m).size(), 172642u);
}

TEST(ShapeRecord, WriteReadWriteGivesTheSameBytes) {
  zeShape a(true, true, true);
  fillRich(a);
  const Bytes first = recordOf(a);

  zeShape b(false, false, false);
  b.addPoint(9, 9, 9);
  EXPECT_EQ(readInto(b, first), "");
  EXPECT_EQ(recordOf(b), first);
  EXPECT_EQ(b.drawStyle, a.drawStyle);
  EXPECT_EQ(b.transformOrder, ze_S_T_R);
  EXPECT_FALSE(b.enablePicking);
  EXPECT_TRUE(b.enableIndex && b.enableVertexNormals && b.enableVertexColors &&
              b.enableVertexTextureCoords);
  ASSERT_EQ(b.listLength, 3);
  ASSERT_EQ(b.indexListLength, 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_VEC3_EXACT(b.vertexList[i], a.vertexList[i].x, a.vertexList[i].y, a.vertexList[i].z);
    EXPECT_VEC3_EXACT(b.normalList[i], a.normalList[i].x, a.normalList[i].y, a.normalList[i].z);
    EXPECT_EQ(b.colorList[i].w, a.colorList[i].w);
    EXPECT_EQ(b.textureCoordList[i].z, -3.0f);
    EXPECT_EQ(b.normalCountList[i], 0);
  }
  EXPECT_EQ(b.indexList[2], -1);
  // The read shape is usable: it draws and picks without stale sizes.
  b.calculateNormals();

  // Reading again, into normals that are on and counted, clears the counts.
  for (int i = 0; i < 3; ++i) b.normalCountList[i] = 2;
  EXPECT_EQ(readInto(b, first), "");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b.normalCountList[i], 0);

  // A mesh keeps its grid size when it reads a plain shape's record.
  zeMeshShape m(2, 3);
  EXPECT_EQ(readInto(m, first), "");
  EXPECT_EQ(m.N, 2);
  EXPECT_EQ(m.M, 3);
  EXPECT_EQ(m.listLength, 3);
  EXPECT_EQ(recordOf(m), first);
}

TEST(ShapeRecord, ListsSwitchedOffInTheRecordKeepTheirBlocks) {
  zeShape a(false, false, false);
  a.addPoint(1, 2, 3);
  a.addPoint(4, 5, 6);
  const Bytes rec = recordOf(a);

  zeShape b(true, true, true);
  fillRich(b);
  zeVec4f* colours = b.colorList;
  EXPECT_EQ(readInto(b, rec), "");
  EXPECT_FALSE(b.enableVertexColors);
  EXPECT_FALSE(b.enableIndex);
  EXPECT_EQ(b.colorList, colours);
  EXPECT_EQ(b.listLength, 2);
  EXPECT_EQ(recordOf(b), rec);

  // Any non-zero byte reads as true.
  Bytes odd = rec;
  odd[73] = 0x80;
  zeShape c(false, false, false);
  EXPECT_EQ(readInto(c, odd), "");
  EXPECT_TRUE(c.enablePicking);
}

// A list kept through a read with its flag off is not maintained; switching
// it back on must not expose its stale (or never written) entries.
TEST(ShapeRecord, ListsSwitchedBackOnAfterARecordStartFromDefaults) {
  zeShape small(true, true, false);
  small.addPoint();
  small.addPoint();
  small.setVertexColor(0, 0.25f, 0.5f, 0.75f, 0.5f);
  zeShape big(false, false, false);
  for (int v = 0; v < 4; ++v) big.addPoint(v, v, v);
  EXPECT_EQ(readInto(small, recordOf(big)), "");
  ASSERT_EQ(small.listLength, 4);

  small.enablePerVertexColors();
  small.enablePerVertexNormals();
  small.enablePerVertexTextureCoords();
  for (int v = 0; v < 4; ++v) {
    EXPECT_EQ(small.colorList[v].x, 1.0f);
    EXPECT_EQ(small.colorList[v].w, 1.0f);
    EXPECT_EQ(small.normalList[v].z, 1.0f);
    EXPECT_EQ(small.normalCountList[v], 0);
    EXPECT_EQ(small.textureCoordList[v].x, 0.0f);
  }
}

TEST(ShapeRecord, TwoRecordsInOneStreamReadBackInOrder) {
  zeShape a(true, true, true);
  fillRich(a);
  zeMeshShape m(3, 2);
  FILE* f = std::tmpfile();
  a.writeToFile(f);
  m.writeToFile(f);
  std::rewind(f);
  zeShape x(false, false, false), y(false, false, false);
  x.readFromFile(f);
  y.readFromFile(f);
  EXPECT_EQ(std::fgetc(f), EOF);
  std::fclose(f);
  EXPECT_EQ(recordOf(x), recordOf(a));
  EXPECT_EQ(recordOf(y), recordOf(m));
  EXPECT_EQ(y.indexListLength, 10);
}

TEST(ShapeRecord, RecordsCutShortAreRejectedWithoutChange) {
  zeShape a(true, true, true);
  fillRich(a);
  const Bytes full = recordOf(a);
  for (size_t cut = 0; cut < full.size(); ++cut) {
    zeMeshShape target(2, 2);
    target.absVertexList[1].set(7, 8, 9);
    target.screenVertexList[3].set(70, 80, 0.5f);
    const Snapshot before(target);
    EXPECT_EQ(readInto(target, Bytes(full.begin(), full.begin() + cut)), kRejected)
        << "cut at " << cut;
    EXPECT_TRUE(Snapshot(target) == before) << "cut at " << cut;
  }
}

TEST(ShapeRecord, ImpossibleCountsAreRejectedWithoutChange) {
  zeShape a(true, true, true);
  fillRich(a);
  const Bytes full = recordOf(a);
  struct Case {
    uint32_t vertices, indices;
  };
  const Case cases[] = {
      {0xFFFFFFFFu, 4}, {3, 0xFFFFFFFFu}, {0x80000000u, 4},           {3, 0x80000000u},
      {0x7FFFFFFFu, 4}, {3, 0x7FFFFFFFu}, {0x7FFFFFFFu, 0x7FFFFFFFu}, {4, 4}};
  for (const Case& c : cases) {
    Bytes b = full;
    putU32(b, 74, c.vertices);
    putU32(b, 79, c.indices);
    zeShape target(false, true, false);
    target.addPoint(1, 1, 1);
    const Snapshot before(target);
    EXPECT_EQ(readInto(target, b), kRejected) << c.vertices << " " << c.indices;
    EXPECT_TRUE(Snapshot(target) == before);
  }

  // A negative index count is rejected even with the index list off.
  zeShape plain(false, false, false);
  Bytes b = recordOf(plain);
  putU32(b, 79, 0xFFFFFFFEu);
  zeShape target(false, false, false);
  EXPECT_EQ(readInto(target, b), kRejected);
  EXPECT_EQ(target.indexListLength, 0);
}

TEST(ShapeRecord, FailedWritesAreReported) {
  zeShape a(true, true, true);
  fillRich(a);
  char buf[40];
  FILE* small = fmemopen(buf, sizeof buf, "w");
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(stdoutOf([&] { a.writeToFile(small); }), "writeToFile: write failed\n");
  std::fclose(small);

  FILE* readOnly = std::fopen("/dev/null", "r");
  ASSERT_NE(readOnly, nullptr);
  EXPECT_EQ(stdoutOf([&] { a.writeToFile(readOnly); }), "writeToFile: write failed\n");
  std::fclose(readOnly);
}

// The quiet reader and writer: the record's outcome as a status, nothing
// printed, the shape unchanged unless the record was read whole, and never
// more bytes taken than the caller allows.
TEST(ShapeRecord, QuietReadsSayWhyAndPrintNothing) {
  zeShape a(true, true, true);
  fillRich(a);
  const Bytes full = recordOf(a);
  ASSERT_EQ(zeShapeRecordSize(a), full.size());
  Bytes negative = full;
  ASSERT_GT(negative.size(), 86u);
  putU32(negative, 74, 0xFFFFFFFFu);
  struct Case {
    const char* name;
    Bytes bytes;
    uint64_t maxBytes;
    zeRecordStatus status;
  };
  const Case cases[] = {
      {"whole", full, UINT64_MAX, zeRecordStatus::ok},
      {"exactly the limit", full, full.size(), zeRecordStatus::ok},
      {"one byte over the limit", full, full.size() - 1, zeRecordStatus::tooLarge},
      {"limit below a header", full, 85, zeRecordStatus::tooLarge},
      {"nothing left", Bytes(), UINT64_MAX, zeRecordStatus::end},
      {"cut in the body", Bytes(full.begin(), full.end() - 1), UINT64_MAX,
       zeRecordStatus::truncated},
      {"cut in the header", Bytes(full.begin(), full.begin() + 40), UINT64_MAX,
       zeRecordStatus::truncated},
      {"negative count", negative, UINT64_MAX, zeRecordStatus::invalid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    zeShape target(false, true, false);
    target.addPoint(1, 1, 1);
    const Snapshot before(target);
    FILE* f = streamWith(c.bytes);
    zeRecordStatus status = zeRecordStatus::ok;
    EXPECT_EQ(stdoutOf([&] { status = zeReadShapeRecord(target, f, c.maxBytes); }), "");
    EXPECT_EQ(status, c.status) << zeRecordStatusText(status);
    if (c.status == zeRecordStatus::ok)
      EXPECT_EQ(recordOf(target), full);
    else
      EXPECT_TRUE(Snapshot(target) == before);
    std::fclose(f);
  }

  char buf[40];
  FILE* small = fmemopen(buf, sizeof buf, "w");
  ASSERT_NE(small, nullptr);
  bool written = true;
  EXPECT_EQ(stdoutOf([&] { written = zeWriteShapeRecord(a, small); }), "");
  EXPECT_FALSE(written);
  std::fclose(small);
}

}  // namespace
