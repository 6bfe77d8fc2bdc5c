// SDL and the libraries beneath it (the Wayland client, ALSA, PulseAudio, the GL drivers) write
// to stderr about every driver they try and give up on while they look for one that works. That
// is noise when a later one works, so while a QuietStderr lives the process's stderr goes nowhere,
// unless the player asked for --verbose. Whether the probing succeeded is told by SDL's own
// results, which the caller reports after.
#pragma once

namespace tumu {

class QuietStderr {
 public:
  explicit QuietStderr(bool quiet);
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;  // the terminal's stderr, while it is set aside
};

}  // namespace tumu
