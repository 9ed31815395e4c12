#include "explorer/address.h"

namespace explorer {

namespace {

struct AddressName {
  const char* name;
  const char* option;
};

constexpr AddressName kNames[] = {{"size", "--size"},
                                  {"preset", "--preset"},
                                  {"scene", "--scene"},
                                  {"frames", "--batch"},
                                  {"collider", "--collider"}};

// The command line's message in the address's words: each option's name
// becomes the address value's, and a parameter's setting is its own value.
std::string inAddressWords(std::string text) {
  const std::string set = "--set ";
  if (text.compare(0, set.size(), set) == 0) text.erase(0, set.size());
  for (const AddressName& n : kNames) {
    const std::string option = n.option;
    for (size_t at = text.find(option); at != std::string::npos; at = text.find(option, at + 1))
      text.replace(at, option.size(), n.name);
  }
  return text;
}

}  // namespace

bool parseAddress(const std::vector<std::string>& values, Options& options, std::string& error) {
  std::vector<std::string> words{"lab"};
  for (const std::string& value : values) {
    const size_t equals = value.find('=');
    const std::string name = value.substr(0, equals);
    if (name == "timers") continue;
    const AddressName* known = nullptr;
    for (const AddressName& n : kNames)
      if (name == n.name) known = &n;
    if (known) {
      words.push_back(known->option);
      words.push_back(equals == std::string::npos ? "" : value.substr(equals + 1));
    } else if (cloth::findParam(name)) {
      words.push_back("--set");
      words.push_back(value);
    } else {
      error = "unknown address value '" + name +
              "' (size, preset, scene, frames, collider or a parameter of drapeExplorer "
              "--list-params)";
      return false;
    }
  }
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  if (!parseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error)) {
    error = inAddressWords(error);
    return false;
  }
  options.threads = 1;
  return true;
}

}  // namespace explorer
