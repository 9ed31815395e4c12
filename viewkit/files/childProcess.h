/// @file
/// A program run beside this one that reads from it: started with a pipe on
/// its standard input, written to, and waited for when the input ends.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// The path of the executable `program` on PATH, searched as execvp does (PATH unset:
/// /bin:/usr/bin; an empty entry: the current directory), or "" when there is none.
std::string findOnPath(const std::string& program);

/// One child process at a time; start again after finish for the next. The child reads the pipe
/// as its standard input, has /dev/null as its standard output and keeps standard error; it
/// starts with every signal unblocked and SIGPIPE at its default, whatever the caller set.
class ChildProcess {
 public:
  ChildProcess() = default;
  /// Ends the input and waits for a running child, as finish() does.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  /// Runs the executable at the path args[0] with the arguments args (args[0] included), at the
  /// scheduling niceness `nice` (0 leaves the caller's). `name` is the child's name in messages.
  /// On failure returns false with "could not start <name>: <reason>" in error.
  bool start(const std::string& name, const std::vector<std::string>& args, int nice,
             std::string& error);

  /// Between a successful start() and finish().
  bool running() const { return pid_ > 0; }

  /// Writes all `size` bytes into the child's input, going on after signals. On failure returns
  /// false with the errno value in error: EPIPE when the child stopped reading, provided the
  /// calling thread blocks or ignores SIGPIPE (which otherwise ends the program); ETIMEDOUT when
  /// the child took nothing for stallSeconds (negative: waits as long as it takes). Safe to call
  /// from another thread than start() and finish(), but not at the same time as finish().
  bool write(const unsigned char* data, size_t size, int& error, double stallSeconds = -1.0) const;

  /// Ends the child's input and waits for it to end. Returns "" when it exited with status 0,
  /// else "<name> exited with status <n>", "<name> was killed by signal <n>" or, when it could
  /// not be waited for, "<name>: <reason>". A child stopped (SIGSTOP) for stoppedSeconds, or not
  /// ended limitSeconds after its input's end, is killed instead, with "<name> was stopped for
  /// <s> s; gave up on it" or "<name> did not end within <s> s of its input's end; gave up on
  /// it" (negative: no bound).
  std::string finish(double stoppedSeconds = -1.0, double limitSeconds = -1.0);

 private:
  std::string name_;
  pid_t pid_ = -1;
  int pipe_ = -1;  // the write end of the child's standard input
};

}  // namespace viewkit
