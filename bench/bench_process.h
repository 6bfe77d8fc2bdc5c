// Running the player as a process of its own, for the benchmarks that measure it from outside:
// the player's path and the demo's folder come from the build.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace tumu::bench {

constexpr const char* kPlayer = TUMU_BENCH_PLAYER;
constexpr const char* kDemoDir = TUMU_BENCH_DEMO_DIR;

// The player draws with SDL's software renderer when OpenGL would run on the processor (as on
// this machine, with no graphics device); this setting makes it use OpenGL all the same, to show
// what that choice saves.
inline const std::vector<std::string> kWithOpenGl = {"SDL_RENDER_DRIVER=opengl"};

// Adds `env` ("NAME=VALUE") to this process's environment; the strings must outlive it.
inline void PutEnv(const std::vector<std::string>& env) {
  for (const std::string& setting : env) ::putenv(const_cast<char*>(setting.c_str()));
}

struct Child {
  pid_t pid = -1;
  // The read end of the child's stderr when it was captured, -1 otherwise.
  int stderr_fd = -1;
};

// Starts args[0] with the arguments that follow and the environment variables `env` ("NAME=VALUE")
// added to ours; its stdout goes nowhere, its stderr to the returned pipe when `capture_stderr`
// is set and nowhere otherwise. pid is -1 on failure.
inline Child Spawn(const std::vector<std::string>& args, bool capture_stderr,
                   const std::vector<std::string>& env = {}) {
  int pipe_fds[2] = {-1, -1};
  if (capture_stderr && ::pipe2(pipe_fds, O_CLOEXEC) != 0) return {};
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    PutEnv(env);
    const int nowhere = ::open("/dev/null", O_WRONLY);
    ::dup2(nowhere, STDOUT_FILENO);
    ::dup2(capture_stderr ? pipe_fds[1] : nowhere, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (capture_stderr) ::close(pipe_fds[1]);
  if (pid < 0) {
    if (capture_stderr) ::close(pipe_fds[0]);
    return {};
  }
  return {pid, pipe_fds[0]};
}

// Waits for the child to end. Returns its exit status (128 + the signal when a signal ended
// it); *usage gets the child's own resource usage, its peak resident size among it.
inline int WaitFor(pid_t pid, rusage* usage) {
  int status = 0;
  if (::wait4(pid, &status, 0, usage) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tumu::bench
