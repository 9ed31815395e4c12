/// @file
/// Shape records for programs that report problems themselves: the same
/// record as zeShape::writeToFile and zeShape::readFromFile, but a failure is
/// returned with its reason instead of being printed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "zeShape/zeShape.h"

/// What zeReadShapeRecord found at the stream's position.
enum class zeRecordStatus {
  ok,         ///< a whole record was read into the shape
  end,        ///< the stream was already at its end: there is no record
  truncated,  ///< the stream ended or failed inside the record
  invalid,    ///< the record's counts are negative or too large for memory
  tooLarge    ///< the record is larger than the byte limit the caller gave
};

/// Reads the record at the stream's position into shape as readFromFile does, printing nothing; the
/// shape is unchanged unless the result is ok. At most maxBytes bytes are consumed, so a count in
/// the header never commits more memory than the caller allows.
zeRecordStatus zeReadShapeRecord(zeShape& shape, FILE* stream, uint64_t maxBytes = UINT64_MAX);

/// Writes shape's record at the stream's position as writeToFile does, printing nothing; true when
/// every byte reached the stream.
bool zeWriteShapeRecord(const zeShape& shape, FILE* stream);

/// The size in bytes of shape's record.
uint64_t zeShapeRecordSize(const zeShape& shape);

/// A short English phrase for a status ("record is truncated"), for messages.
const char* zeRecordStatusText(zeRecordStatus status);
