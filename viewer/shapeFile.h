// Files of shape records as the viewer reads them: every record one after
// another to the end of the file, all or nothing, and what each holds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "zeShape/zeShape.h"
#include "zeu/zeVec3f.h"

namespace shapeview {

struct ShapeRecord {
  std::unique_ptr<zeShape> shape;
  int64_t offset = 0;  // byte of the file where the record starts
};

struct ShapeFile {
  std::vector<ShapeRecord> records;
  int64_t bytes = 0;  // the size of all records together: the file's length
};

// The most records read from one file.
constexpr size_t kMaxRecords = 65536;
// The most bytes of records read from input that is not a regular file;
// a regular file is bounded by its size.
constexpr int64_t kMaxStreamBytes = int64_t(1) << 30;

// Reads every record of path into file, printing nothing. On failure file
// is left empty and error holds the message for the user, one of
//   "cannot open <path>: <reason>"
//   "<path>: no records"
//   "<path>: record <k> at byte <offset> is truncated or invalid"
//   "<path>: more than <kMaxRecords> records"
//   "<path>: more than <kMaxStreamBytes> bytes of records from input that
//    is not a regular file"
bool readShapeFile(const std::string& path, ShapeFile& file, std::string& error);

// Bytes the record of shape takes in a file.
int64_t recordSize(const zeShape& shape);

// The GL name of a drawStyle ("GL_TRIANGLE_STRIP"), or its number.
std::string modeName(uint32_t drawStyle);

// The box around a shape's own vertex positions; empty without vertices.
struct Bounds {
  bool empty = true;
  zeVec3f low, high;
  void add(const zeVec3f& p);
  void add(const Bounds& b);
};
Bounds boundsOf(const zeShape& shape);

// "record <k> at byte <offset>: <mode> <L> vertices, ..." without newline.
std::string infoLine(size_t k, const ShapeRecord& record);

// All records as one OBJ, object "record<k>" for record k.
bool writeObjFile(FILE* out, const ShapeFile& file);

}  // namespace shapeview
