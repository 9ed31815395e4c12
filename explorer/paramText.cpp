#include "explorer/paramText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace explorer {

namespace {

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

// Digits with an optional '-' in front, and nothing else.
bool wholeText(const std::string& text) {
  size_t k = text[0] == '-' ? 1 : 0;
  if (k == text.size()) return false;
  for (; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return false;
  return true;
}

// A decimal number: digits, '-', '.', exponent; never "nan", "inf" or hex.
bool decimalText(const std::string& text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E'))
      return false;
  return true;
}

}  // namespace

std::string allowedValues(const cloth::ParamInfo& info) {
  const std::string name = info.name;
  switch (info.kind) {
    case cloth::ParamKind::flag:
      return name + " takes 0, 1, off or on";
    case cloth::ParamKind::integer:
      return name + " takes a whole number from " + number(info.least) + " to " + number(info.most);
    case cloth::ParamKind::real:
      break;
    case cloth::ParamKind::choice: {
      std::string names;
      for (int k = 0; cloth::choiceName(info, k); ++k)
        names += std::string(k ? ", " : "") + cloth::choiceName(info, k);
      return name + " takes one of " + names;
    }
  }
  return name + " takes a number from " + number(info.least) + " to " + number(info.most);
}

bool readParamValue(const cloth::ParamInfo& info, const std::string& text, double& value) {
  if (text.empty()) return false;
  double v;
  if (info.kind == cloth::ParamKind::flag && (text == "on" || text == "off")) {
    v = text == "on" ? 1.0 : 0.0;
  } else if (info.kind == cloth::ParamKind::choice) {
    int index = 0;
    if (!cloth::choiceIndex(info, text, index)) return false;
    v = index;
  } else {
    if (info.kind != cloth::ParamKind::real ? !wholeText(text) : !decimalText(text)) return false;
    errno = 0;
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
  }
  // The table's own check: the range (in float for float fields), whole
  // numbers for integers, 0 or 1 for flags.
  cloth::Params scratch;
  if (!cloth::setParam(info, scratch, v)) return false;
  value = v;
  return true;
}

bool readSetting(const std::string& setting, const cloth::ParamInfo*& info, double& value,
                 std::string& error) {
  const size_t equals = setting.find('=');
  const std::string name = setting.substr(0, equals);
  info = cloth::findParam(name);
  if (!info) {
    error = name.empty()
                ? std::string("missing the parameter's name (NAME=VALUE, see --list-params)")
                : "no parameter is called '" + name + "' (see --list-params)";
    return false;
  }
  if (equals == std::string::npos) {
    error = "missing '=VALUE' (" + allowedValues(*info) + ")";
    return false;
  }
  if (!readParamValue(*info, setting.substr(equals + 1), value)) {
    error = allowedValues(*info);
    return false;
  }
  return true;
}

std::string paramList() {
  std::string text;
  char line[200];
  std::snprintf(line, sizeof line, "%-18s %-16s %-9s %s\n", "name", "range", "default", "meaning");
  text += line;
  const cloth::Params defaults;
  int count;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k) {
    const cloth::ParamInfo& info = table[k];
    std::string range = number(info.least) + " to " + number(info.most);
    if (info.kind == cloth::ParamKind::flag) range = "0 or 1";
    if (info.kind == cloth::ParamKind::choice) {
      range.clear();
      for (int c = 0; cloth::choiceName(info, c); ++c)
        range += std::string(c ? " or " : "") + cloth::choiceName(info, c);
    }
    std::snprintf(line, sizeof line, "%-18s %-16s %-9s %s%s\n", info.name, range.c_str(),
                  cloth::formatParam(info, cloth::paramValue(info, defaults)).c_str(), info.meaning,
                  info.atRestart ? " (at restart)" : "");
    text += line;
  }
  text += "presets (--preset NAME; their values first, every --set over them):\n";
  int presets;
  const cloth::PresetInfo* preset = cloth::presetTable(presets);
  for (int k = 0; k < presets; ++k) {
    std::snprintf(line, sizeof line, "  %-16s %s\n", preset[k].name, preset[k].meaning);
    text += line;
  }
  return text;
}

}  // namespace explorer
