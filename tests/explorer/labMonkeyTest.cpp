// The lab under random hands: drapeExplorer on a 1920 x 1080 Xvfb screen
// with a window manager, driven through xdotool by a seeded generator with
// the keys of its key table (the ones that write files too; Escape only at
// the end), other keys for the panel's fields, left and right clicks on the
// cloth and beside it, drags (plain, with Ctrl, with Shift), the wheel, Tab
// and clicks and drags in the panel while it shows. At the end it must quit
// on Escape with status 0 and nothing on standard error (so no sanitizer
// report), every file it wrote must read back in a reader of its own (libpng,
// a strict OBJ parser, the shape library, nlohmann's JSON, ffprobe), every
// number of every scene must be finite, and the last scene, opened by the
// program in batch, must run on to the very bytes the lab wrote.
//
// ZE_MONKEY_SECONDS (default 30) and ZE_MONKEY_SEED (default: from the
// clock, printed) choose the run; scripts/monkey.sh runs a long one. The
// generator's choices follow the seed; what they meet depends on timing.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testkit/scratchDir.h"
#include "testkit/xSession.h"
#include "zeShape/zeShape.h"

namespace {

constexpr int kW = 1920, kH = 1080;
using Clock = std::chrono::steady_clock;

void pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string str(long v) {
  return std::to_string(v);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// The file named by a "wrote <name>" line (a video's line goes on after a colon).
std::string wroteName(const std::string& line) {
  if (line.rfind("wrote ", 0) != 0) return "";
  const std::string rest = line.substr(6);
  return rest.substr(0, rest.find(": "));
}

std::string extensionOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? "" : name.substr(dot);
}

// ---- the readers ----

std::string checkPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    return "libpng: " + std::string(image.message);
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  const bool read = png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
  if (!read) return "libpng: " + std::string(image.message);
  if (image.width < 1 || image.width > kW || image.height < 1 || image.height > kH)
    return "size " + str(image.width) + " x " + str(image.height);
  return "";
}

// Every line a vertex, a normal or a triangle "f a//a b//b c//c" naming a vertex.
std::string checkObj(const std::string& path) {
  std::ifstream in(path);
  long v = 0, vn = 0, faces = 0;
  std::vector<std::string> triangles;
  for (std::string line; std::getline(in, line);) {
    float a, b, c;
    int used = 0;
    if (line.rfind("v ", 0) == 0 || line.rfind("vn ", 0) == 0) {
      const bool normal = line[1] == 'n';
      if (std::sscanf(line.c_str() + (normal ? 3 : 2), "%f %f %f%n", &a, &b, &c, &used) != 3 ||
          used + (normal ? 3 : 2) != static_cast<int>(line.size()) || !std::isfinite(a) ||
          !std::isfinite(b) || !std::isfinite(c))
        return "bad line '" + line + "'";
      ++(normal ? vn : v);
    } else if (line.rfind("f ", 0) == 0) {
      ++faces;
      triangles.push_back(line);
    } else if (!line.empty() && line[0] != '#' && line.rfind("o ", 0) != 0 &&
               line.rfind("g ", 0) != 0 && line.rfind("s ", 0) != 0) {
      return "unknown line '" + line + "'";
    }
  }
  if (v == 0 || v != vn) return str(v) + " vertices, " + str(vn) + " normals";
  const long side = std::lround(std::sqrt(static_cast<double>(v)));
  if (side * side != v) return str(v) + " vertices are no square sheet";
  for (const std::string& t : triangles) {
    long i[6];
    int used = 0;
    if (std::sscanf(t.c_str(), "f %ld//%ld %ld//%ld %ld//%ld%n", &i[0], &i[1], &i[2], &i[3], &i[4],
                    &i[5], &used) != 6 ||
        used != static_cast<int>(t.size()))
      return "bad face '" + t + "'";
    for (long k : i)
      if (k < 1 || k > v) return "face '" + t + "' names no vertex";
  }
  if (faces > 2 * (side - 1) * (side - 1)) return str(faces) + " faces for " + str(v) + " nodes";
  return "";
}

std::string checkShape(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return "cannot open";
  zeShape s(false, false, false);
  s.readFromFile(f);
  std::fclose(f);
  const long side = std::lround(std::sqrt(static_cast<double>(s.listLength)));
  if (s.listLength < 64 || side * side != s.listLength) return str(s.listLength) + " vertices";
  for (int n = 0; n < s.listLength; ++n) {
    const zeVec3f& p = s.vertexList[n];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
      return "vertex " + str(n) + " is not finite";
  }
  return "";
}

// "" when two shape records hold the same vertices, normals and strips to
// the bit; the colours are left out (the strain look paints the lab's).
std::string sameCloth(const std::string& pathA, const std::string& pathB) {
  zeShape a(false, false, false), b(false, false, false);
  for (auto [path, shape] : {std::pair{pathA, &a}, std::pair{pathB, &b}}) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "cannot open " + path;
    shape->readFromFile(f);
    std::fclose(f);
  }
  if (a.listLength != b.listLength || a.indexListLength != b.indexListLength) return "sizes differ";
  if (!a.normalList || !b.normalList) return "no normals";
  const size_t n = static_cast<size_t>(a.listLength);
  if (std::memcmp(a.vertexList, b.vertexList, n * sizeof(zeVec3f)) != 0) return "vertices differ";
  if (std::memcmp(a.normalList, b.normalList, n * sizeof(zeVec3f)) != 0) return "normals differ";
  if (a.indexListLength > 0 &&
      std::memcmp(a.indexList, b.indexList, sizeof(*a.indexList) * a.indexListLength) != 0)
    return "strips differ";
  return "";
}

// A scene's frame, or a reason in `error`: every number finite, the node
// lists as long as the size needs.
long sceneFrame(const std::string& path, std::string& error) {
  const nlohmann::json j = nlohmann::json::parse(std::ifstream(path), nullptr, false);
  if (j.is_discarded() || !j.is_object()) return error = "not JSON", -1;
  const long size = j.value("size", 0L), nodes = size * size;
  const auto& n = j["nodes"];
  const struct {
    const char* name;
    long length;
  } lists[] = {{"positions", 3 * nodes}, {"velocities", 3 * nodes}, {"contact", nodes}};
  for (const auto& list : lists) {
    const auto& values = n[list.name];
    if (!values.is_array() || static_cast<long>(values.size()) != list.length)
      return error = std::string(list.name) + " is not " + str(list.length) + " values", -1;
    for (const auto& value : values)
      if (!value.is_number() || !std::isfinite(value.get<double>()))
        return error = std::string(list.name) + " holds " + value.dump(), -1;
  }
  for (const auto& p : j["params"].items())
    if (p.value().is_number() && !std::isfinite(p.value().get<double>()))
      return error = "params." + p.key() + " is " + p.value().dump(), -1;
  if (!j["frame"].is_number_integer()) return error = "no frame", -1;
  return j["frame"].get<long>();
}

std::string checkScene(const std::string& path) {
  std::string error;
  sceneFrame(path, error);
  return error;
}

// The program without a display in `dir`: standard output, error and status.
struct BatchRun {
  int status;
  std::string out, err;
};
BatchRun program(const std::string& dir, const std::string& args) {
  const std::string o = dir + "/../monkey-batch.out", e = dir + "/../monkey-batch.err";
  const int s = std::system(
      ("cd " + dir + " && env -u DISPLAY " E2E_PROGRAM " " + args + " >" + o + " 2>" + e).c_str());
  BatchRun r{WIFEXITED(s) ? WEXITSTATUS(s) : -1, ScratchDir::contents(o), ScratchDir::contents(e)};
  std::remove(o.c_str());
  std::remove(e.c_str());
  return r;
}

// ---- the hands ----

enum Action {
  kFileKey,     // p, o, w, s (and m when ffmpeg is there)
  kLabKey,      // the key table's other keys
  kOtherKey,    // keys the table lacks: digits, Return, BackSpace for the panel's fields
  kTab,         //
  kClick,       // left, on the cloth or beside it
  kRightClick,  //
  kDrag,        // left, on the cloth or beside it
  kCtrlDrag,    //
  kShiftDrag,   //
  kWheel,       //
  kPanel,       // a click or drag inside the panel (while it shows)
  kActions
};
const struct {
  const char* name;
  int weight;
} kActionTable[kActions] = {{"file key", 8}, {"lab key", 14},  {"other key", 5},
                            {"Tab", 4},      {"click", 10},    {"right click", 7},
                            {"drag", 12},    {"ctrl drag", 7}, {"shift drag", 5},
                            {"wheel", 8},    {"panel", 20}};

struct Monkey {
  Monkey(unsigned long long seed, xsession::XSession& session, unsigned long w)
      : random(seed), x(session), window(w) {}

  std::mt19937_64 random;
  xsession::XSession& x;
  unsigned long window;
  bool panelShown = false;
  bool ffmpeg = std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
  long counts[kActions] = {};
  std::deque<std::string> recent;  // the last few things sent, for a failure's message

  void remember(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += a + " ";
    recent.push_back(line);
    if (recent.size() > 12) recent.pop_front();
  }
  std::string lastSent() const {
    std::string text;
    for (const std::string& line : recent) text += "\n  " + line;
    return text;
  }

  int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }
  template <class T>
  const T& pick(const std::vector<T>& v) {
    return v[between(0, static_cast<int>(v.size()) - 1)];
  }

  // Near the middle, where the cloth mostly is, or anywhere on the screen.
  std::pair<int, int> point() {
    if (between(0, 1))
      return {between(kW / 2 - 450, kW / 2 + 450), between(kH / 2 - 300, kH / 2 + 300)};
    return {between(0, kW - 1), between(0, kH - 1)};
  }
  // The panel as it opens: 420 wide at the right edge, its controls down to
  // some 750 pixels.
  std::pair<int, int> panelPoint() { return {between(kW - 425, kW - 15), between(12, 755)}; }
  // ImGui reads the pointer once a frame: what the panel gets is held longer.
  std::string hold(bool panel = false) {
    return panel ? "0." + str(between(10, 25)) : "0.0" + str(between(1, 9));
  }

  bool xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    remember(args);
    return x.run(args) == 0;
  }
  bool key(const std::string& k) {
    remember({"key", k});
    return x.sendKey(window, k);
  }
  bool drag(std::pair<int, int> from, const char* modifier, bool panel) {
    std::vector<std::string> a = {"mousemove", str(from.first), str(from.second)};
    if (modifier) a.insert(a.end(), {"keydown", modifier});
    a.insert(a.end(), {"mousedown", "1", "sleep", hold(panel)});
    for (int k = between(1, 4); k > 0; --k) {
      const auto to = panel ? panelPoint() : point();
      a.insert(a.end(), {"mousemove", str(to.first), str(to.second), "sleep", hold(panel)});
    }
    a.insert(a.end(), {"mouseup", "1"});
    if (modifier) a.insert(a.end(), {"keyup", modifier});
    return xdotool(a);
  }

  bool act(Action a) {
    static const std::vector<std::string> labKeys = {"space", "period", "r", "n",
                                                     "t",     "v",      "u", "F1"};
    static const std::vector<std::string> otherKeys = {
        "1", "5", "0", "period", "minus", "BackSpace", "Return", "e", "Left", "Right", "a"};
    std::vector<std::string> fileKeys = {"p", "o", "w", "s"};
    if (ffmpeg) fileKeys.push_back("m");
    switch (a) {
      case kFileKey:
        return key(pick(fileKeys));
      case kLabKey: {
        // F1 goes back to full screen soon: in a window, a click on the
        // title bar's close button would end the lab, and the wheel on the
        // desktop around it switch desktops, leaving the lab hidden (and
        // not drawing).
        const std::string& k = pick(labKeys);
        if (k != "F1") return key(k);
        const bool windowed = key(k);
        pause(between(2, 10) / 10.0);
        // Two quick switches can reach the window manager in either order.
        for (int tries = 0; tries < 3; ++tries) {
          if (!key(k)) return false;
          const auto g = x.waitForGeometry(
              window, [](const xsession::Geometry& g) { return g.width == kW && g.height == kH; },
              3.0);
          if (g && g->width == kW && g->height == kH) return windowed;
        }
        return false;
      }
      case kOtherKey:
        return key(pick(otherKeys));
      case kTab:
        panelShown = !panelShown;
        return key("Tab");
      case kClick:
      case kRightClick: {
        const auto p = point();
        return xdotool(
            {"mousemove", str(p.first), str(p.second), "click", a == kClick ? "1" : "3"});
      }
      case kDrag:
        return drag(point(), nullptr, false);
      case kCtrlDrag:
        return drag(point(), "ctrl", false);
      case kShiftDrag:
        return drag(point(), "shift", false);
      case kWheel: {
        const auto p = point();
        return xdotool({"mousemove", str(p.first), str(p.second), "click", "--repeat",
                        str(between(1, 6)), "--delay", "30", between(0, 1) ? "4" : "5"});
      }
      case kPanel: {
        const auto p = panelPoint();
        if (between(0, 2))
          return xdotool({"mousemove", str(p.first), str(p.second), "sleep", hold(true),
                          "mousedown", "1", "sleep", hold(true), "mouseup", "1"});
        return drag(p, between(0, 3) ? nullptr : "ctrl", true);
      }
      default:
        return false;
    }
  }
  Action choose() {
    int total = 0;
    for (const auto& row : kActionTable) total += row.weight;
    for (;;) {
      int r = between(0, total - 1), a = 0;
      while (r >= kActionTable[a].weight) r -= kActionTable[a++].weight;
      if (a != kPanel || panelShown) return static_cast<Action>(a);
    }
  }
};

double environmentNumber(const char* name, double otherwise) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtod(v, nullptr) : otherwise;
}

}  // namespace

TEST(LabMonkey, RandomHandsLeaveNoCrashNoReportAndFilesThatReadBack) {
  const double seconds = environmentNumber("ZE_MONKEY_SECONDS", 30.0);
  const auto seed = static_cast<unsigned long long>(environmentNumber(
      "ZE_MONKEY_SEED",
      static_cast<double>(std::chrono::system_clock::now().time_since_epoch().count() % 1000000)));
  std::printf("monkey: seed %llu, %.0f s\n", seed, seconds);
  std::fflush(stdout);
  RecordProperty("seed", std::to_string(seed));

  ScratchDir scratch("labMonkey");
  const std::string dir = scratch.path();
  xsession::XSession x;
  ASSERT_TRUE(x.ok()) << x.error();
  // What a failed run leaves, for a look: ZE_MONKEY_KEEP=<directory>.
  struct Keep {
    const std::string &dir, &out, &err;
    ~Keep() {
      const char* keep = std::getenv("ZE_MONKEY_KEEP");
      if (::testing::Test::HasFailure() && keep && *keep)
        std::system(("mkdir -p " + std::string(keep) + " && cp -r " + dir + "/. " + out + " " +
                     err + " " + keep + "/")
                        .c_str());
    }
  } keep{dir, x.stdoutPath(), x.stderrPath()};
  char here[4096];
  ASSERT_TRUE(getcwd(here, sizeof here) && chdir(dir.c_str()) == 0);
  const bool launched = x.launch(E2E_PROGRAM, {}, {xsession::leakCheckOff()});
  ASSERT_EQ(chdir(here), 0);
  ASSERT_TRUE(launched);
  const auto w = x.findWindow("zeu", 60.0);
  ASSERT_TRUE(w) << x.programStderr();
  x.waitForGeometry(
      *w, [](const xsession::Geometry& g) { return g.width == kW; }, 60.0);

  Monkey monkey(seed, x, *w);
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end && x.running()) {
    const Action a = monkey.choose();
    ++monkey.counts[a];
    monkey.act(a);
    pause(monkey.between(0, 60) / 1000.0);
  }
  std::printf("monkey: seed %llu, %.0f s, actions:", seed, seconds);
  long total = 0;
  for (int a = 0; a < kActions; ++a) {
    std::printf(" %s %ld,", kActionTable[a].name, monkey.counts[a]);
    total += monkey.counts[a];
  }
  std::printf(" %ld in all\n", total);
  std::fflush(stdout);
  if (!x.running()) {
    const auto status = x.waitExit(1.0);
    FAIL() << "ended early with status " << (status ? *status : -1) << " after" << monkey.lastSent()
           << "\nstandard error: " << x.programStderr();
  }

  // Hands off, the panel hidden, the cloth paused: each s names the frame.
  monkey.xdotool({"mouseup", "1", "mouseup", "3", "keyup", "ctrl", "keyup", "shift"});
  if (monkey.panelShown) monkey.key("Tab");
  monkey.xdotool({"set_desktop", "0"});
  size_t seen = linesOf(x.programStdout()).size();
  auto saveScene = [&](std::string& name) {
    name.clear();
    if (!monkey.key("s")) return -1L;
    const auto until = Clock::now() + std::chrono::seconds(120);
    while (Clock::now() < until && name.empty() && x.running()) {
      const auto lines = linesOf(x.programStdout());
      for (; seen < lines.size(); ++seen)
        if (extensionOf(wroteName(lines[seen])) == ".json") name = wroteName(lines[seen]);
      if (name.empty()) pause(0.1);
    }
    std::string error;
    return name.empty() ? -1L : sceneFrame(dir + "/" + name, error);
  };
  std::string first, second;
  long f1 = saveScene(first);
  pause(3.0);
  if (saveScene(second) != f1) {
    monkey.key("space");
    pause(1.0);
    f1 = saveScene(first);
  }
  ASSERT_GE(f1, 0) << "no scene at the end: " << x.programStderr();
  // The steps are taken at the next draws, which a big cloth makes slow.
  const int steps = 5;
  for (int k = 0; k < steps; ++k) monkey.key("period");
  long stepped = f1;
  for (int tries = 0; tries < 60 && stepped >= 0 && stepped < f1 + steps; ++tries) {
    pause(1.0);
    stepped = saveScene(second);
  }
  ASSERT_TRUE(monkey.key("w"));
  const long f2 = saveScene(second);
  ASSERT_EQ(f2, f1 + steps) << "the cloth did not take the steps; standard error: "
                            << x.programStderr();

  ASSERT_TRUE(monkey.key("Escape"));
  const auto status = x.waitExit(120.0);
  const std::string err = x.programStderr();
  EXPECT_EQ(status, 0) << err;
  EXPECT_EQ(err, "");

  // Every file the lab wrote reads back, and no other file was left.
  std::map<std::string, std::string (*)(const std::string&)> readers = {
      {".png", checkPng},
      {".obj", checkObj},
      {".shape", checkShape},
      {".json", checkScene},
      {".mp4", [](const std::string& p) {
         return std::system(("ffprobe -v error -count_frames " + p + " >/dev/null 2>&1").c_str()) ==
                        0
                    ? std::string()
                    : std::string("ffprobe refuses it");
       }}};
  std::vector<std::string> written;
  std::string lastShape;
  for (const std::string& line : linesOf(x.programStdout())) {
    const std::string name = wroteName(line);
    if (name.empty()) continue;
    written.push_back(name);
    const std::string ext = extensionOf(name);
    if (ext == ".shape") lastShape = name;
    ASSERT_TRUE(readers.count(ext)) << line;
    EXPECT_EQ(readers[ext](dir + "/" + name), "") << name;
  }
  std::sort(written.begin(), written.end());
  EXPECT_EQ(scratch.entries(), written);
  std::printf("monkey: %zu files written and read back\n", written.size());

  // The scene saved before the steps runs on, in the program, to the bits of
  // the lab's shape record after them and to the scene saved with it; opened
  // twice on other thread counts it gives the same digest.
  const BatchRun shape = program(
      dir, "--scene " + first + " --batch " + str(f2) + " --threads 1 --shape monkey-batch.shape");
  EXPECT_EQ(shape.status, 0) << shape.err;
  EXPECT_EQ(sameCloth(dir + "/monkey-batch.shape", dir + "/" + lastShape), "") << lastShape;
  const std::string on = " --batch " + str(f2 + 10);
  const BatchRun a = program(dir, "--scene " + first + on + " --threads 3");
  const BatchRun b = program(dir, "--scene " + second + on + " --threads 2");
  EXPECT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.err + b.err, "");
  EXPECT_EQ(a.out.rfind("cloth digest " + str(f2 + 10) + " ", 0), 0u) << a.out;
  EXPECT_EQ(a.out, b.out);
}
