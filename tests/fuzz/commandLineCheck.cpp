#include <cmath>
#include <vector>

#include "explorer/address.h"
#include "explorer/commandLine.h"
#include "explorer/paramText.h"
#include "tests/fuzz/explorerFuzzChecks.h"

namespace explorerfuzz {

namespace {

std::vector<std::string> split(const std::string& text, char at) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t to; (to = text.find(at, from)) != std::string::npos; from = to + 1)
    parts.push_back(text.substr(from, to - from));
  parts.push_back(text.substr(from));
  return parts;
}

// What every accepted command line or address must give.
std::string checkOptions(const explorer::Options& o) {
  std::string what;
  if (o.help || o.listParams) return "";
  if (o.size < cloth::kMinSize || o.size > cloth::kMaxSize) return "size out of range";
  if (o.params.size != o.size) return "the parameters' size is not the size";
  if (!cloth::paramsValid(o.params, what)) return "parameter out of range: " + what;
  if (o.threads < cloth::kMinThreads || o.threads > cloth::kMaxThreads)
    return "threads out of range";
  if (o.batch < -1 || o.batch > 100000000) return "frames out of range";
  if ((!o.obj.empty() || !o.shape.empty()) && o.batch < 0) return "a file to write without --batch";
  // A value the panel and --list-params show must read back.
  int count = 0;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k) {
    const double value = cloth::paramValue(table[k], o.params);
    if (table[k].kind == cloth::ParamKind::choice) continue;
    const std::string shown = cloth::formatParam(table[k], value);
    double back = 0;
    if (!explorer::readParamValue(table[k], shown, back))
      return std::string(table[k].name) + " shown as '" + shown + "' does not read back";
  }
  return "";
}

}  // namespace

std::string checkCommandLine(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  explorer::Options options;
  std::string error;
  bool ok = false;
  if (!text.empty() && text[0] == '?') {
    ok = explorer::parseAddress(split(split(text.substr(1), '\n')[0], '&'), options, error);
    if (ok && options.threads != 1) return "the page runs on more than one thread";
  } else {
    std::vector<std::string> words = split(text, '\n');
    words.insert(words.begin(), "drapeExplorer");
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    ok = explorer::parseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
  }
  if (!ok) {
    if (error.empty() || error.find('\n') != std::string::npos)
      return "refused without one line of reason: '" + error + "'";
    return "";
  }
  return checkOptions(options);
}

}  // namespace explorerfuzz
