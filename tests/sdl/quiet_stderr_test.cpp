#include "platform/sdl/quiet_stderr.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace tumu {
namespace {

// What reaches stderr while `write` runs, captured in a file.
std::string Captured(const std::function<void()>& write) {
  std::fflush(stderr);
  const std::string path = "/tmp/tumu-stderr-" + std::to_string(::getpid());
  std::FILE* file = std::fopen(path.c_str(), "w");
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(::fileno(file), STDERR_FILENO);
  write();
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  std::fclose(file);
  std::ifstream in(path);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  std::remove(path.c_str());
  return text;
}

// Libraries write to the file descriptor directly, as well as through stdio.
void Noise() {
  EXPECT_EQ(::write(STDERR_FILENO, "probe\n", 6), 6);
  std::fputs("stdio\n", stderr);
}

TEST(QuietStderr, KeepsLibraryMessagesOffTheTerminalUnlessVerbose) {
  EXPECT_EQ(Captured([] {
              {
                const QuietStderr quiet(true);
                Noise();
              }
              std::fputs("after\n", stderr);
            }),
            "after\n");
  EXPECT_EQ(Captured([] {
              const QuietStderr quiet(false);
              Noise();
            }),
            "probe\nstdio\n");
}

}  // namespace
}  // namespace tumu
