// A private X session for tests that run real programs as a desktop would:
// an Xvfb server of a chosen screen size, optionally with the openbox window
// manager, and one program under test with its output captured to files.
// Windows are found, measured and sent keys through xdotool and xwininfo;
// screenshots go through ImageMagick's import and convert.
//
//   xsession::XSession x;                       // 1920 x 1080 with openbox
//   ASSERT_TRUE(x.ok()) << x.error();
//   ASSERT_TRUE(x.launch("/path/to/program", {"arg"}));
//   auto w = x.findWindow("zeu", 10.0);
//   auto g = x.waitForGeometry(*w, [](const xsession::Geometry& g) {
//     return g.width == 1920; }, 10.0);
//   x.sendKey(*w, "Escape");
//   EXPECT_EQ(x.waitExit(5.0), 0);
//
// Everything started is killed and reaped when the session is destroyed.
// Display numbers: Options::firstDisplay..lastDisplay when set, else the range
// "N-M" in the environment variable ZE_XDISPLAYS, else the server picks a
// free one itself. All waits poll; none sleeps for a fixed time.
#pragma once

#include <sys/types.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace xsession {

// Screen positions have the origin at the top-left corner of the screen.
struct Geometry {
  int x = 0, y = 0;            // client (drawing) area: upper-left corner
  int width = 0, height = 0;   // client area size
  int frameX = 0, frameY = 0;  // the top-level window holding it (the window manager's frame)
  int frameWidth = 0, frameHeight = 0;
};

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // 8-bit RGB, top row first

  std::array<int, 3> pixel(int x, int y) const;  // x, y from the top-left corner
};

struct Options {
  int width = 1920;
  int height = 1080;
  bool windowManager = true;  // start openbox and wait until it manages the screen
  int firstDisplay = -1;      // -1: ZE_XDISPLAYS, else chosen by the server
  int lastDisplay = -1;
  double startTimeout = 20.0;  // seconds for the server and the window manager
};

class XSession {
 public:
  explicit XSession(const Options& options = Options());
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& display() const { return display_; }  // for example ":42"

  // Starts the program under test with DISPLAY set to this session and its
  // standard output and error going to files. One program per session.
  // `environment` entries ("NAME=value") are added to, or replace, the
  // variables the program inherits; DISPLAY is always the session's.
  bool launch(const std::string& program, const std::vector<std::string>& args = {},
              const std::vector<std::string>& environment = {});
  bool running();
  // Exit status of the program (128 + signal number if a signal ended it),
  // or nothing if it is still running after the timeout.
  std::optional<int> waitExit(double timeoutSeconds);
  std::string programStdout() const;
  std::string programStderr() const;
  const std::string& stdoutPath() const { return stdoutPath_; }
  const std::string& stderrPath() const { return stderrPath_; }

  // The first window whose title is exactly `title`, polling until the timeout.
  std::optional<unsigned long> findWindow(const std::string& title, double timeoutSeconds);
  std::optional<Geometry> geometry(unsigned long window);
  // Polls the geometry until `done` holds or the timeout passes; returns the
  // last geometry read either way (nothing if the window could not be read).
  std::optional<Geometry> waitForGeometry(unsigned long window,
                                          const std::function<bool(const Geometry&)>& done,
                                          double timeoutSeconds);
  // Sends one key (an X keysym name such as "Escape" or "F1") to the window.
  bool sendKey(unsigned long window, const std::string& key);

  // The whole screen; also kept as a PNG at `pngPath` when one is given.
  std::optional<Image> screenshot(const std::string& pngPath = std::string());

  // Runs a helper command on this display, capturing its standard output.
  // Returns the exit status, or -1 if it could not run or timed out.
  int run(const std::vector<std::string>& argv, std::string* out = nullptr,
          double timeoutSeconds = 10.0);

 private:
  bool startServer(const Options& options);
  bool startWindowManager(double timeoutSeconds);
  pid_t spawn(const std::vector<std::string>& argv, int stdoutFd, int stderrFd, int extraFd = -1,
              const std::vector<std::string>& environment = {});
  static void stop(pid_t& pid);

  std::string error_;
  std::string display_;
  std::string dir_;  // scratch directory for output files and screenshots
  std::string stdoutPath_, stderrPath_;
  pid_t server_ = -1;
  pid_t windowManager_ = -1;
  pid_t program_ = -1;
  std::optional<int> programStatus_;
};

// An environment entry for a program under test that keeps ASAN_OPTIONS and
// turns the leak check off. In sanitizer builds Mesa unloads its GL driver at
// exit, before the leak checker runs, so the driver's lifetime allocations
// would be reported as leaks of an unknown module on stderr. The programs'
// own allocations are leak-checked by the unit tests.
std::string leakCheckOff();

}  // namespace xsession
