// The recorder against stand-ins for ffmpeg on PATH: shell scripts that take
// the frames and end as a real encoder might, well or badly. The real ffmpeg
// is the explorer's end-to-end test.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "testkit/scratchDir.h"
#include "viewkit/files/videoRecorder.h"

namespace {

class VideoRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    savedPath_ = path != nullptr ? path : "";
    setenv("PATH", (dir + "/bin").c_str(), 1);
    mkdir((dir + "/bin").c_str(), 0755);
  }
  void TearDown() override {
    setenv("PATH", savedPath_.c_str(), 1);
    unlink((dir + "/bin/ffmpeg").c_str());
    rmdir((dir + "/bin").c_str());
  }
  // An ffmpeg that runs `body` with the output file as $out and its
  // arguments saved in bin/args.
  void fakeFfmpeg(const std::string& body) {
    const std::string script = dir + "/bin/ffmpeg";
    std::ofstream(script) << "#!/bin/sh\nPATH=/bin:/usr/bin\nfor out; do :; done\necho \"$@\" > "
                          << dir << "/bin/args\n"
                          << body << "\n";
    chmod(script.c_str(), 0755);
  }
  // The scratch directory's entries beside bin/.
  std::vector<std::string> files() const {
    std::vector<std::string> names = scratch.entries();
    names.erase(std::remove(names.begin(), names.end(), "bin"), names.end());
    return names;
  }
  static std::vector<unsigned char> frameOf(size_t bytes, int k) {
    std::vector<unsigned char> frame(bytes);
    for (size_t i = 0; i < bytes; ++i) frame[i] = static_cast<unsigned char>(i * 7 + k);
    return frame;
  }

  ScratchDir scratch{"videoRecorderTest"};
  const std::string dir = scratch.path();
  const std::string name = dir + "/drape-00042.mp4";

 private:
  std::string savedPath_;
};

TEST_F(VideoRecorderTest, StartFailuresLeaveNothing) {
  struct Case {
    const char* what;
    bool withFfmpeg;
    int width, height;
    const char* error;
  } cases[] = {
      {"no ffmpeg on PATH", false, 4, 2, "ffmpeg not found"},
      {"odd width", true, 5, 2, "the frame size must be even and not zero"},
  };
  for (const Case& c : cases) {
    unlink((dir + "/bin/ffmpeg").c_str());
    if (c.withFfmpeg) fakeFfmpeg("cat > \"$out\"");
    viewkit::VideoRecorder recorder;
    std::string error;
    EXPECT_FALSE(recorder.start(name, c.width, c.height, 60.0, error)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
    EXPECT_FALSE(recorder.recording()) << c.what;
    EXPECT_EQ(recorder.frameSlot(), nullptr) << c.what;
    EXPECT_TRUE(files().empty()) << c.what;
  }
}

// Frames big enough to fill the pipe, so that an encoder that stops reading
// makes the writes fail (with SIGPIPE, which must not end the test) or wait
// until it is given up on.
TEST_F(VideoRecorderTest, OnlyACleanEndOfEveryFrameGivesTheFile) {
  struct Case {
    const char* script;
    int width, height, frames;
    bool ok, theirs;  // theirs: a file takes the name while recording
    std::string report;
  } cases[] = {
      {"cat > \"$out\"", 4, 2, 3, true, false, "wrote " + name + ": 3 frames, 0 dropped"},
      {"cat > \"$out\"", 4, 2, 3, false, true, "could not record " + name + ": File exists"},
      {"cat > \"$out\"; exit 1", 4, 2, 3, false, false,
       "could not record " + name + ": ffmpeg exited with status 1"},
      {"exit 3", 256, 256, 3, false, false,
       "could not record " + name + ": ffmpeg exited with status 3"},
      {"head -c 10 > \"$out\"; kill -9 $$", 256, 256, 3, false, false,
       "could not record " + name + ": ffmpeg was killed by signal 9"},
      {"head -c 10 > \"$out\"", 256, 256, 3, false, false,
       "could not record " + name + ": ffmpeg stopped reading: Broken pipe"},
      // Encoders that hang are given up on after the stall time (1 s here):
      // stopped (SIGSTOP) or asleep before reading all, or stopped after.
      {"kill -STOP $$", 256, 256, 3, false, false,
       "could not record " + name + ": ffmpeg took no frame for 1 s; gave up on it"},
      {"exec sleep 60", 256, 256, 3, false, false,
       "could not record " + name + ": ffmpeg took no frame for 1 s; gave up on it"},
      {"cat > \"$out\"; kill -STOP $$", 4, 2, 3, false, false,
       "could not record " + name + ": ffmpeg was stopped for 1 s; gave up on it"},
  };
  for (const Case& c : cases) {
    fakeFfmpeg(c.script);
    viewkit::VideoRecorder recorder(1.0);
    const auto began = std::chrono::steady_clock::now();
    std::string error, report;
    ASSERT_TRUE(recorder.start(name, c.width, c.height, 29.6, error)) << error;
    if (c.theirs) std::ofstream(name) << "theirs";
    const size_t bytes = static_cast<size_t>(c.width) * c.height * 3;
    std::string sent;
    for (int k = 0; k < c.frames; ++k) {
      const std::vector<unsigned char> frame = frameOf(bytes, k);
      // Waits for room, so that no frame is dropped while ffmpeg reads.
      while (!recorder.addFrame(frame.data()) && !recorder.failed()) {
      }
      sent.append(frame.begin(), frame.end());
    }
    EXPECT_EQ(recorder.stop(report), c.ok) << c.script;
    EXPECT_EQ(report, c.report) << c.script;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count(), 4.0)
        << c.script;
    EXPECT_FALSE(recorder.recording());
    if (c.ok) {
      EXPECT_EQ(ScratchDir::contents(name), sent) << "every byte, in order";
      EXPECT_EQ(files(), std::vector<std::string>{"drape-00042.mp4"});
      const std::string args = ScratchDir::contents(dir + "/bin/args");
      EXPECT_NE(args.find("-s 4x2 -r 30 -i pipe:0 -vf vflip -c:v libx264"), std::string::npos)
          << args;
      unlink(name.c_str());
    } else if (c.theirs) {
      EXPECT_EQ(ScratchDir::contents(name), "theirs");
      EXPECT_EQ(files(), std::vector<std::string>{"drape-00042.mp4"});
      unlink(name.c_str());
    } else {
      EXPECT_TRUE(files().empty()) << c.script << ": no file under any name";
    }
  }
}

// A recorder that goes away while recording (the lab quit mid-clip) ends
// the clip as stop() would: the file under its name, every frame in it.
TEST_F(VideoRecorderTest, GoingAwayWhileRecordingKeepsTheClip) {
  fakeFfmpeg("cat > \"$out\"");
  const std::vector<unsigned char> frame = frameOf(4 * 2 * 3, 5);
  {
    viewkit::VideoRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.start(name, 4, 2, 30.0, error)) << error;
    while (!recorder.addFrame(frame.data()) && !recorder.failed()) {
    }
  }
  EXPECT_EQ(ScratchDir::contents(name), std::string(frame.begin(), frame.end()));
  EXPECT_EQ(files(), std::vector<std::string>{"drape-00042.mp4"});
}

// An encoder that falls behind costs frames, never the caller's time; what
// it did get is whole and counted.
TEST_F(VideoRecorderTest, FramesBeyondTheQueueAreDroppedAndCounted) {
  fakeFfmpeg("sleep 1; cat > \"$out\"");
  viewkit::VideoRecorder recorder;
  std::string error, report;
  ASSERT_TRUE(recorder.start(name, 256, 256, 60.0, error)) << error;
  const size_t bytes = 256 * 256 * 3;
  const auto begin = std::chrono::steady_clock::now();
  for (int k = 0; k < 12; ++k) recorder.addFrame(frameOf(bytes, k).data());
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(), 0.5);
  EXPECT_GT(recorder.dropped(), 0);
  ASSERT_TRUE(recorder.stop(report)) << report;
  EXPECT_EQ(recorder.frames() + recorder.dropped(), 12);
  EXPECT_EQ(report, "wrote " + name + ": " + std::to_string(recorder.frames()) + " frames, " +
                        std::to_string(recorder.dropped()) + " dropped");
  EXPECT_EQ(ScratchDir::contents(name).size(), bytes * static_cast<size_t>(recorder.frames()));
}

}  // namespace
