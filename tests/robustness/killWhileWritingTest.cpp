// drapeExplorer killed (SIGKILL) at random moments while it writes a 512 x 512
// cloth as OBJ or shape record over an older file: the file under the final
// name is always the old one or the new one, whole, never part of either.
// The next start removes the hidden temporaries the killed runs left, a line
// each on standard error, and leaves those of a writer still running.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "testkit/scratchDir.h"

namespace {

using Clock = std::chrono::steady_clock;

// Starts drapeExplorer in dir with args, its output to files there.
pid_t start(const std::string& dir, const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int out = open(".run.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(".run.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<const char*> argv{EXPLORER_PROGRAM};
    for (const std::string& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    execv(argv[0], const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  return pid;
}

int finish(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The hidden entries of dir.
std::vector<std::string> hidden(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d))
      if (e->d_name[0] == '.' && std::string(e->d_name) != "." && std::string(e->d_name) != "..")
        names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

std::vector<std::string> args(int frames, const std::string& kind, const std::string& path) {
  return {"--batch", std::to_string(frames), "--size", "512", "--threads", "1", kind, path};
}

TEST(KillWhileWriting, TheFileIsOldOrNewAndTheNextStartRemovesWhatWasLeft) {
  ScratchDir scratch("ze-kill");
  const std::string dir = scratch.path();
  const char* kinds[2][2] = {{"--obj", "cloth.obj"}, {"--shape", "cloth.shape"}};
  std::string old[2], fresh[2];
  double seconds = 0;  // the longest whole run that writes the new file
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(finish(start(dir, args(0, kinds[k][0], std::string("old") + kinds[k][1]))), 0);
    const auto began = Clock::now();
    ASSERT_EQ(finish(start(dir, args(1, kinds[k][0], std::string("new") + kinds[k][1]))), 0);
    seconds = std::max(seconds, std::chrono::duration<double>(Clock::now() - began).count());
    old[k] = ScratchDir::contents(dir + "/old" + kinds[k][1]);
    fresh[k] = ScratchDir::contents(dir + "/new" + kinds[k][1]);
    ASSERT_GT(old[k].size(), 1000000u);
    ASSERT_NE(old[k], fresh[k]);
  }

  const int trials = std::getenv("ZE_KILL_TRIALS") ? std::atoi(std::getenv("ZE_KILL_TRIALS")) : 24;
  const unsigned seed = static_cast<unsigned>(std::random_device{}());
  std::printf("%d trials, seed %u, a whole run %.2f s\n", trials, seed, seconds);
  std::mt19937 rng(seed);
  int asOld = 0, asNew = 0;
  size_t left = 0;
  for (int t = 0; t < trials; ++t) {
    // A folder each, as the next start clears the folder it writes to.
    const int k = t % 2;
    const std::string folder = dir + "/t" + std::to_string(t);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string target = folder + "/" + kinds[k][1];
    std::ofstream(target, std::ios::binary) << old[k];
    const pid_t pid = start(dir, args(1, kinds[k][0], target));
    // Every other kill comes at any moment of the run, the others while
    // the file is being written: from when its temporary appears.
    double at = std::uniform_real_distribution<double>(0.0, seconds * 1.1)(rng);
    if (t % 4 >= 2) {
      const auto began = Clock::now();
      while (hidden(folder).empty() && Clock::now() - began < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      at *= 0.2;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(at));
    kill(pid, SIGKILL);
    finish(pid);
    const std::string now = ScratchDir::contents(target);
    if (now == old[k]) {
      ++asOld;
    } else if (now == fresh[k]) {
      ++asNew;
    } else {
      ADD_FAILURE() << "trial " << t << " (seed " << seed << ", kill at " << at << " s): " << target
                    << " holds " << now.size() << " bytes, neither file";
    }
    left += hidden(folder).size();
  }
  std::printf("%d left the old file, %d the new one; %zu temporaries left\n", asOld, asNew, left);
  EXPECT_EQ(asOld + asNew, trials);
  EXPECT_GT(left, 0u);  // else no kill came while writing

  // The next start in each folder; a temporary of a writer still running
  // (this test) stays.
  const std::string ours = ".cloth.obj." + std::to_string(getpid()) + ".Ab3dEf";
  std::ofstream(dir + "/t0/" + ours) << "x";
  for (int t = 0; t < trials; ++t) {
    const std::string name = "t" + std::to_string(t), folder = dir + "/" + name;
    std::vector<std::string> stale = hidden(folder);
    stale.erase(std::remove(stale.begin(), stale.end(), ours), stale.end());
    ASSERT_EQ(finish(start(dir, {"--batch", "0", "--size", "8", "--obj", name + "/small.obj"})), 0);
    const std::string err = ScratchDir::contents(dir + "/.run.err");
    for (const std::string& file : stale)
      EXPECT_NE(err.find("drapeExplorer: removed " + name + "/" + file +
                         ", left by a run that ended while writing\n"),
                std::string::npos)
          << err;
    EXPECT_EQ(static_cast<size_t>(std::count(err.begin(), err.end(), '\n')), stale.size()) << err;
    EXPECT_EQ(hidden(folder), t == 0 ? std::vector<std::string>{ours} : std::vector<std::string>{});
    for (const std::string& file : hidden(folder)) unlink((folder + "/" + file).c_str());
    for (const char* file : {"cloth.obj", "cloth.shape", "small.obj"})
      unlink((folder + "/" + file).c_str());
    rmdir(folder.c_str());
  }
}

}  // namespace
