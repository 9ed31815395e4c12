#include "explorer/scene.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "explorer/sceneJson.h"
#include "viewkit/files/errorText.h"
#include "viewkit/files/safeFile.h"

namespace explorer {

namespace {

using namespace sceneJson;

// Reads the parameter info describes from v, checked by the table.
void readParam(const cloth::ParamInfo& info, const Json& v, const std::string& where,
               cloth::Params& params) {
  double value = 0.0;
  switch (info.kind) {
    case cloth::ParamKind::integer:
      value = static_cast<double>(
          whole(v, where, static_cast<int64_t>(info.least), static_cast<int64_t>(info.most)));
      break;
    case cloth::ParamKind::flag:
      if (!v.is_boolean()) throw Bad{"'" + where + "' is not true or false"};
      value = v.get<bool>() ? 1.0 : 0.0;
      break;
    case cloth::ParamKind::real:
      if (!v.is_number()) throw Bad{"'" + where + "' is not a number"};
      value = info.realField ? static_cast<double>(finiteFloat(v, where)) : v.get<double>();
      break;
    case cloth::ParamKind::choice: {
      int index = 0;
      if (!v.is_string() || !cloth::choiceIndex(info, v.get<std::string>(), index)) {
        std::string names;
        for (int k = 0; cloth::choiceName(info, k); ++k)
          names += std::string(k ? ", " : "") + cloth::choiceName(info, k);
        throw Bad{"'" + where + "' is " + v.dump() + ", not one of " + names};
      }
      value = index;
      break;
    }
  }
  if (!cloth::setParam(info, params, value))
    throw Bad{"'" + where + "' is " + v.dump() + ", not within " + number(info.least) + " to " +
              number(info.most)};
}

// Node indices of a list, each passing ok (which names what is wrong).
template <class Ok>
std::vector<int> nodeList(const Json& list, const std::string& where, int count, Ok ok) {
  std::vector<int> nodes;
  nodes.reserve(list.size());
  for (size_t k = 0; k < list.size(); ++k) {
    const std::string at = where + "[" + std::to_string(k) + "]";
    if (!list[k].is_number_integer()) throw Bad{"'" + at + "' is not a whole number"};
    int64_t value = -1;
    if (!wholeValue(list[k], value) || value < 0 || value >= count)
      throw Bad{"'" + at + "' is " + list[k].dump() + ", which names no node"};
    const int n = static_cast<int>(value);
    if (const char* wrong = ok(n)) throw Bad{"'" + at + "' is node " + list[k].dump() + wrong};
    nodes.push_back(n);
  }
  return nodes;
}

const char* always(int) {
  return nullptr;
}

// The mesh colliders, each read again from its file, which must still be
// the file that was saved (its digest).
std::vector<std::shared_ptr<const cloth::MeshObstacle>> meshColliders(const Json& doc) {
  std::vector<std::shared_ptr<const cloth::MeshObstacle>> meshes;
  if (!doc.contains("colliders")) return meshes;
  const Json& list = arrayAt(doc, "colliders", "colliders");
  for (size_t k = 0; k < list.size(); ++k) {
    const std::string where = "colliders[" + std::to_string(k) + "]";
    if (!list[k].is_object()) throw Bad{"'" + where + "' is not an object"};
    const Json& file = member(list[k], "file", where + ".file");
    const Json& digest = member(list[k], "digest", where + ".digest");
    if (!file.is_string() || !digest.is_string())
      throw Bad{"'" + where + "' needs a file name and a digest, as text"};
    std::string error;
    auto mesh = cloth::loadMeshObstacle(file.get<std::string>(), error);
    if (!mesh) throw Bad{"'" + where + "': " + file.get<std::string>() + ": " + error};
    if (mesh->digest != digest.get<std::string>())
      throw Bad{"'" + where + "': " + mesh->file +
                " is not the file the scene was saved with (digest " + mesh->digest +
                ", the scene's " + digest.get<std::string>() + ")"};
    meshes.push_back(std::move(mesh));
  }
  return meshes;
}

std::unique_ptr<cloth::Cloth> build(const Json& doc, int threads) {
  if (!doc.is_object()) throw Bad{"not a scene (not a JSON object)"};
  const int64_t version = whole(member(doc, "version", "version"), "version", INT64_MIN, INT64_MAX);
  if (version != kSceneVersion)
    throw Bad{"version " + std::to_string(version) + " is not one this program reads (" +
              std::to_string(kSceneVersion) + ")"};

  // The settings a fresh cloth alone takes (the size, for which the nodes
  // are laid out) are the scene's own, beside the parameters.
  cloth::Params params;
  int tableSize = 0;
  const cloth::ParamInfo* table = cloth::paramTable(tableSize);
  for (int k = 0; k < tableSize; ++k)
    if (table[k].atRestart)
      readParam(table[k], member(doc, table[k].name, table[k].name), table[k].name, params);
  const Json& presetName = member(doc, "preset", "preset");
  cloth::Preset preset = cloth::Preset::drape;
  if (!presetName.is_string() || !cloth::presetFromName(presetName.get<std::string>(), preset))
    throw Bad{std::string("'preset' is not one of ") + cloth::presetNames()};
  const Json& given = objectAt(doc, "params");
  for (int k = 0; k < tableSize; ++k) {
    if (table[k].atRestart) continue;
    const std::string where = std::string("params.") + table[k].name;
    // A parameter newer than the file: what the program that wrote it did.
    if (!given.contains(table[k].name) && !std::isnan(table[k].sceneDefault)) {
      cloth::setParam(table[k], params, table[k].sceneDefault);
      continue;
    }
    readParam(table[k], member(given, table[k].name, where), where, params);
  }
  std::string what;
  if (!cloth::paramsValid(params, what)) throw Bad{"'params." + what + "' is out of range"};

  const int64_t frame = whole(member(doc, "frame", "frame"), "frame", 0, INT_MAX);
  const int64_t steps = whole(member(doc, "steps", "steps"), "steps", 0, INT64_MAX);

  const int N = params.size, count = N * N;
  const std::vector<int> pins = nodeList(arrayAt(doc, "pins", "pins"), "pins", count, always);
  const Json& cuts = objectAt(doc, "cuts");
  const std::vector<int> right =
      nodeList(arrayAt(cuts, "right", "cuts.right"), "cuts.right", count,
               [N](int n) { return n % N == N - 1 ? ", which has no link right" : nullptr; });
  const std::vector<int> up =
      nodeList(arrayAt(cuts, "up", "cuts.up"), "cuts.up", count,
               [N](int n) { return n / N == N - 1 ? ", which has no link up" : nullptr; });

  const Json& nodes = objectAt(doc, "nodes");
  const char* names[3] = {"positions", "velocities", "contact"};
  const size_t needed[3] = {3u * count, 3u * count, size_t(count)};
  for (int k = 0; k < 3; ++k) {
    const std::string where = std::string("nodes.") + names[k];
    const size_t held = arrayAt(nodes, names[k], where).size();
    if (held != needed[k])
      throw Bad{"'" + where + "' holds " + std::to_string(held) + " values, size " +
                std::to_string(N) + " needs " + std::to_string(needed[k])};
  }
  const Json& positions = nodes.at("positions");
  const Json& velocities = nodes.at("velocities");
  const Json& contact = nodes.at("contact");

  std::unique_ptr<cloth::Cloth> c(new cloth::Cloth(preset, params, threads));
  // Pins first: pinning rests a node and takes it out of contact, and the
  // node's own state comes after.
  c->unpinAll();
  for (int n : pins) c->setPinned(n, true);
  for (int n : right) c->cutRight(n);
  for (int n : up) c->cutUp(n);
  for (int n = 0; n < count; ++n) {
    float p[3], v[3];
    for (int a = 0; a < 3; ++a) {
      const size_t at = 3u * n + a;
      p[a] = nodeValue(positions[at], "nodes.positions[" + std::to_string(at) + "]");
      v[a] = nodeValue(velocities[at], "nodes.velocities[" + std::to_string(at) + "]");
    }
    const std::string where = "nodes.contact[" + std::to_string(n) + "]";
    const bool touching = whole(contact[size_t(n)], where, 0, 1) == 1;
    c->setNode(n, zeVec3f(p[0], p[1], p[2]), zeVec3f(v[0], v[1], v[2]), touching);
  }
  c->setFrame(static_cast<long>(frame));
  c->setStepCount(static_cast<long>(steps));
  c->setMeshes(meshColliders(doc));
  return c;
}

Json jsonValue(const cloth::ParamInfo& info, const cloth::Params& params) {
  const double value = cloth::paramValue(info, params);
  if (info.kind == cloth::ParamKind::integer) return static_cast<int64_t>(value);
  if (info.kind == cloth::ParamKind::flag) return value != 0.0;
  if (info.kind == cloth::ParamKind::choice)
    return cloth::choiceName(info, static_cast<int>(value));
  return value;  // a float field's value is exactly this double
}

}  // namespace

bool sceneText(const cloth::Cloth& c, std::string& text, std::string& error) {
  const int N = c.size(), count = c.nodeCount();
  Json doc;
  doc["version"] = kSceneVersion;
  int tableSize = 0;
  const cloth::ParamInfo* table = cloth::paramTable(tableSize);
  // What a fresh cloth alone takes (the size) beside the parameters.
  for (int k = 0; k < tableSize; ++k)
    if (table[k].atRestart) doc[table[k].name] = jsonValue(table[k], c.params());
  doc["preset"] = cloth::presetName(c.preset());
  Json params = Json::object();
  for (int k = 0; k < tableSize; ++k)
    if (!table[k].atRestart) params[table[k].name] = jsonValue(table[k], c.params());
  doc["params"] = params;
  doc["frame"] = static_cast<int64_t>(c.frame());
  doc["steps"] = static_cast<int64_t>(c.stepCount());
  Json pins = Json::array(), right = Json::array(), up = Json::array();
  for (int n = 0; n < count; ++n) {
    if (c.pinned(n)) pins.push_back(n);
    if (n % N < N - 1 && !c.linkRight(n)) right.push_back(n);
    if (n / N < N - 1 && !c.linkUp(n)) up.push_back(n);
  }
  doc["pins"] = std::move(pins);
  doc["cuts"] = Json{{"right", std::move(right)}, {"up", std::move(up)}};
  Json positions = Json::array(), velocities = Json::array(), contact = Json::array();
  positions.get_ref<Json::array_t&>().reserve(3u * count);
  velocities.get_ref<Json::array_t&>().reserve(3u * count);
  for (int n = 0; n < count; ++n) {
    const float* p = &c.positions()[n].x;
    const float* v = &c.velocities()[n].x;
    for (int a = 0; a < 3; ++a) {
      if (!std::isfinite(p[a]) || !std::isfinite(v[a])) {
        error = "node " + std::to_string(n) + " is not finite";
        return false;
      }
      if (std::fabs(p[a]) > kMaxSceneMagnitude || std::fabs(v[a]) > kMaxSceneMagnitude) {
        error = "node " + std::to_string(n) + " is beyond " + number(kMaxSceneMagnitude);
        return false;
      }
      positions.push_back(static_cast<double>(p[a]));
      velocities.push_back(static_cast<double>(v[a]));
    }
    contact.push_back(c.inContact(n) ? 1 : 0);
  }
  if (!c.obstacles().meshes.empty()) {
    Json colliders = Json::array();
    for (const auto& mesh : c.obstacles().meshes)
      colliders.push_back(Json{{"file", mesh->file}, {"digest", mesh->digest}});
    doc["colliders"] = std::move(colliders);
  }
  doc["nodes"] = Json{{"positions", std::move(positions)},
                      {"velocities", std::move(velocities)},
                      {"contact", std::move(contact)}};

  // One member a line, the params one a line each, so that the file can be
  // read and edited; the long lists stay on one line.
  text = "{\n";
  bool first = true;
  for (auto it = doc.begin(); it != doc.end(); ++it) {
    text += first ? "  " : ",\n  ";
    first = false;
    text += Json(it.key()).dump() + ": ";
    if (it.key() == "params") {
      text += "{";
      bool firstParam = true;
      for (auto p = it->begin(); p != it->end(); ++p) {
        text += firstParam ? "\n    " : ",\n    ";
        firstParam = false;
        text += Json(p.key()).dump() + ": " + p->dump();
      }
      text += "\n  }";
    } else {
      text += it->dump();
    }
  }
  text += "\n}\n";
  return true;
}

std::unique_ptr<cloth::Cloth> clothFromScene(const std::string& text, int threads,
                                             std::string& error) {
  if (static_cast<long>(text.size()) > kMaxSceneBytes) {  // the page's text is not a file's
    error = "larger than " + std::to_string(kMaxSceneBytes >> 20) + " MiB";
    return nullptr;
  }
  // The JSON reader recurses once per level: deep enough nesting would
  // overflow the stack before it could refuse the text.
  const size_t deep = tooDeepAt(text, kMaxSceneDepth);
  if (deep != std::string::npos) {
    error = "nested deeper than " + std::to_string(kMaxSceneDepth) + " levels (at byte " +
            std::to_string(deep + 1) + ")";
    return nullptr;
  }
  Json doc;
  try {
    doc = Json::parse(text);
  } catch (const Json::parse_error& e) {
    // Not the library's message: it can quote the file's bytes.
    error = "not JSON (at byte " + std::to_string(e.byte) + ")";
    return nullptr;
  } catch (const Json::out_of_range&) {
    // A number such as 1e400, beyond any double.
    error = "a number is too large to read";
    return nullptr;
  }
  try {
    return build(doc, threads);
  } catch (const Bad& bad) {
    error = bad.what;
  } catch (const Json::exception&) {
    error = "not a scene";  // a type the checks above let through; none should
  }
  return nullptr;
}

std::unique_ptr<cloth::Cloth> readScene(const std::string& path, int threads, std::string& error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = viewkit::errorText(errno);
    return nullptr;
  }
  std::string text;
  char block[65536];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, f)) > 0) {
    text.append(block, got);
    if (static_cast<long>(text.size()) > kMaxSceneBytes) {
      std::fclose(f);
      error = "larger than " + std::to_string(kMaxSceneBytes >> 20) + " MiB";
      return nullptr;
    }
  }
  const bool failed = std::ferror(f) != 0;
  const int reason = errno;
  std::fclose(f);
  if (failed) {
    error = viewkit::errorText(reason);
    return nullptr;
  }
  return clothFromScene(text, threads, error);
}

bool writeScene(const cloth::Cloth& cloth, const std::string& path, std::string& error) {
  std::string text;
  if (!sceneText(cloth, text, error)) return false;
  return viewkit::writeFile(
      path, [&text](FILE* f) { return std::fwrite(text.data(), 1, text.size(), f) == text.size(); },
      error, viewkit::WriteMode::kNoReplace);
}

}  // namespace explorer
