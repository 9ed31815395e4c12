// The checked reading of a scene file's JSON: members that must be there,
// whole numbers and floats within their ranges, and a scan for nesting too
// deep to parse safely. What is wrong is thrown as sceneJson::Bad, one line
// naming the member.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "explorer/scene.h"

namespace explorer {
namespace sceneJson {

// Members kept in the order they are written, so that a file reads in the
// order described.
using Json = nlohmann::ordered_json;

// What is wrong with a scene, thrown from deep in the reading.
struct Bad {
  std::string what;
};

inline std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

inline const Json& member(const Json& object, const char* name, const std::string& where) {
  const auto it = object.find(name);
  if (it == object.end()) throw Bad{"missing '" + where + "'"};
  return *it;
}

inline const Json& objectAt(const Json& object, const char* name) {
  const Json& v = member(object, name, name);
  if (!v.is_object()) throw Bad{"'" + std::string(name) + "' is not an object"};
  return v;
}

inline const Json& arrayAt(const Json& object, const char* name, const std::string& where) {
  const Json& v = member(object, name, where);
  if (!v.is_array()) throw Bad{"'" + where + "' is not an array"};
  return v;
}

// The value of a whole number that fits 64 bits; false for anything else
// (60.0 is not a whole number here).
inline bool wholeValue(const Json& v, int64_t& value) {
  if (!v.is_number_integer()) return false;
  if (v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) return false;
  value = v.get<int64_t>();
  return true;
}

// A whole number in [least, most].
inline int64_t whole(const Json& v, const std::string& where, int64_t least, int64_t most) {
  int64_t value = 0;
  if (!v.is_number_integer()) throw Bad{"'" + where + "' is not a whole number"};
  if (!wholeValue(v, value) || value < least || value > most)
    throw Bad{"'" + where + "' is " + v.dump() + ", not within " + std::to_string(least) + " to " +
              std::to_string(most)};
  return value;
}

// A number that is a finite float (JSON has no infinities or NaN, but a
// number can lie beyond the float range).
inline float finiteFloat(const Json& v, const std::string& where) {
  if (!v.is_number()) throw Bad{"'" + where + "' is not a number"};
  const double d = v.get<double>();
  if (!(std::fabs(d) <= FLT_MAX)) throw Bad{"'" + where + "' is " + v.dump() + ", not a float"};
  return static_cast<float>(d);
}

// A node's position coordinate or velocity component.
inline float nodeValue(const Json& v, const std::string& where) {
  const float f = finiteFloat(v, where);
  if (std::fabs(f) > kMaxSceneMagnitude)
    throw Bad{"'" + where + "' is " + v.dump() + ", beyond " + number(kMaxSceneMagnitude)};
  return f;
}

/// Where the text's arrays and objects first nest deeper than `most`
/// (brackets inside strings do not count), or npos. A scan without recursion.
size_t tooDeepAt(const std::string& text, int most);

}  // namespace sceneJson
}  // namespace explorer
