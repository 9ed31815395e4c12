#include "explorer/sceneJson.h"

namespace explorer {
namespace sceneJson {

size_t tooDeepAt(const std::string& text, int most) {
  int depth = 0;
  bool inString = false, escaped = false;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (inString) {
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > most) return k;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return std::string::npos;
}

}  // namespace sceneJson
}  // namespace explorer
