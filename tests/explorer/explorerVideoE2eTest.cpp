// drapeExplorer's video key under Xvfb with a window manager: `m` records
// the full-screen window of an odd-sized screen through the real ffmpeg into
// an MP4 that ffprobe reads at the even size with every frame reported;
// Escape, or the window manager closing the window, while recording still
// finishes the file; without ffmpeg on PATH the key says so and the program
// goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "testkit/scratchDir.h"
#include "testkit/xSession.h"

namespace {

constexpr int kW = 641, kH = 481;  // the video is 640 x 480

void pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

struct Explorer {
  xsession::XSession x{[] {
    xsession::Options o;
    o.width = kW;
    o.height = kH;
    return o;
  }()};
  unsigned long window = 0;

  Explorer(const std::string& directory, const std::vector<std::string>& environment) {
    if (!x.ok()) return;
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(directory.c_str()) != 0) return;
    const bool launched = x.launch(E2E_PROGRAM, {}, environment);
    if (chdir(here) != 0 || !launched) return;
    const auto w = x.findWindow("zeu", 30.0);
    if (!w) return;
    const auto g = x.waitForGeometry(
        *w, [](const xsession::Geometry& g) { return g.width == kW && g.height == kH; }, 30.0);
    if (g && g->width == kW && g->height == kH) window = *w;
  }
  // Polls the output (standard output or error) until it holds `text`.
  std::string waitFor(bool errors, const std::string& text, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string out;
    do {
      out = errors ? x.programStderr() : x.programStdout();
      if (out.find(text) != std::string::npos) break;
      pause(0.1);
    } while (std::chrono::steady_clock::now() < end);
    return out;
  }
};

TEST(ExplorerVideo, RecordsTheWindowAsH264AtItsEvenSize) {
  ScratchDir scratch("explorerVideo");
  Explorer e(scratch.path(), {xsession::leakCheckOff()});
  ASSERT_TRUE(e.window != 0) << e.x.error() << " stderr: " << e.x.programStderr();
  pause(1.5);  // the frame rate has been measured
  ASSERT_TRUE(e.x.sendKey(e.window, "m"));
  pause(3.0);
  ASSERT_TRUE(e.x.sendKey(e.window, "m"));
  const std::string out = e.waitFor(false, "\n", 30.0);
  char name[64] = "";
  long frames = -1, dropped = -1;
  ASSERT_EQ(
      std::sscanf(out.c_str(), "wrote %63[^:]: %ld frames, %ld dropped\n", name, &frames, &dropped),
      3)
      << out;
  EXPECT_EQ(std::string(name).rfind("drape-", 0), 0u) << name;
  // How many the encoder takes depends on the time the machine leaves it;
  // every frame drawn is either in the file or counted.
  EXPECT_GE(frames, 1);
  EXPECT_GE(dropped, 0);
  EXPECT_GE(frames + dropped, 30) << "three seconds at 10 frames a second at least";

  std::string probe;
  EXPECT_EQ(e.x.run({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                     "-show_entries", "stream=codec_name,width,height,nb_read_frames", "-of",
                     "csv=p=0", scratch.path() + "/" + name},
                    &probe, 60.0),
            0);
  EXPECT_EQ(probe, "h264,640,480," + std::to_string(frames) + "\n");
  // Upright: the overlay's grey text is in the top rows, not the bottom ones.
  std::string rgb;
  EXPECT_EQ(e.x.run({"ffmpeg", "-v", "error", "-i", scratch.path() + "/" + name, "-frames:v", "1",
                     "-f", "rawvideo", "-pix_fmt", "rgb24", "-"},
                    &rgb, 60.0),
            0);
  ASSERT_EQ(rgb.size(), 640u * 480 * 3);
  auto textPixels = [&](int firstRow) {
    int count = 0;
    for (int y = firstRow; y < firstRow + 100; ++y)
      for (int x = 0; x < 640; ++x) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(&rgb[(y * 640 + x) * 3]);
        count += p[0] > 150 && std::abs(p[0] - p[1]) < 20 && std::abs(p[1] - p[2]) < 20;
      }
    return count;
  };
  // How much text the first kept frame shows depends on the machine's speed
  // (a sanitizer build's first frames are slow): compare top and bottom.
  const int top = textPixels(0), bottom = textPixels(380);
  EXPECT_GT(top, 3 * bottom + 10) << "top " << top << ", bottom " << bottom;

  // Escape while recording finishes the second file before the program ends.
  ASSERT_TRUE(e.x.sendKey(e.window, "m"));
  pause(1.0);
  ASSERT_TRUE(e.x.sendKey(e.window, "Escape"));
  const auto status = e.x.waitExit(30.0);
  EXPECT_EQ(status ? *status : -1, 0);
  const std::string all = e.x.programStdout();
  EXPECT_NE(all.find(".mp4: ", out.size()), std::string::npos) << all;
  EXPECT_EQ(scratch.entries().size(), 2u) << "two videos and no temporary file";
  EXPECT_EQ(e.x.programStderr(), "");
}

// The window manager's close (Alt+F4 under openbox), not Escape, during a
// recording: the file is finished and whole, and no temporary is left.
TEST(ExplorerVideo, ClosingTheWindowFinishesTheRecording) {
  ScratchDir scratch("explorerVideoClose");
  Explorer e(scratch.path(), {xsession::leakCheckOff()});
  ASSERT_TRUE(e.window != 0) << e.x.error() << " stderr: " << e.x.programStderr();
  pause(1.0);
  ASSERT_TRUE(e.x.sendKey(e.window, "m"));
  pause(1.5);
  EXPECT_EQ(
      e.x.run({"xdotool", "windowactivate", "--sync", std::to_string(e.window), "key", "alt+F4"}),
      0);
  const auto status = e.x.waitExit(30.0);
  EXPECT_EQ(status ? *status : -1, 0);
  const std::string out = e.x.programStdout();
  char name[64] = "";
  long frames = -1, dropped = -1;
  ASSERT_EQ(
      std::sscanf(out.c_str(), "wrote %63[^:]: %ld frames, %ld dropped\n", name, &frames, &dropped),
      3)
      << out << e.x.programStderr();
  EXPECT_EQ(scratch.entries(), std::vector<std::string>{name}) << "no temporary file";
  std::string probe;
  EXPECT_EQ(
      e.x.run({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
               "stream=nb_read_frames", "-of", "csv=p=0", scratch.path() + "/" + name},
              &probe, 60.0),
      0);
  EXPECT_EQ(probe, std::to_string(frames) + "\n");
}

TEST(ExplorerVideo, WithoutFfmpegTheKeySaysSoAndTheProgramGoesOn) {
  ScratchDir scratch("explorerVideo");
  Explorer e(scratch.path(), {xsession::leakCheckOff(), "PATH=" + scratch.path()});
  ASSERT_TRUE(e.window != 0) << e.x.error() << " stderr: " << e.x.programStderr();
  ASSERT_TRUE(e.x.sendKey(e.window, "m"));
  EXPECT_EQ(e.waitFor(true, "\n", 10.0), "could not record: ffmpeg not found\n");
  ASSERT_TRUE(e.x.sendKey(e.window, "p"));  // still drawing and saving
  EXPECT_NE(e.waitFor(false, ".png\n", 10.0).find("wrote drape-"), std::string::npos);
  ASSERT_TRUE(e.x.sendKey(e.window, "Escape"));
  const auto status = e.x.waitExit(10.0);
  EXPECT_EQ(status ? *status : -1, 0);
}

}  // namespace
