// Builds the demo game: scenarios from readable UTF-8 sources (converted to Shift-JIS and
// scrambled as packaged games are), the configuration file, and every picture and sound, drawn
// and synthesised in code (tools/demo). Files are named in UTF-8 on disk; the player finds them
// from the scenario's Shift-JIS names.
//
//   make_demo SOURCE_DIR OUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "demo/audio.h"
#include "demo/pictures.h"
#include "engine/scenario.h"
#include "platform/sjis.h"

namespace {

namespace fs = std::filesystem;
using demo::Bytes;

// What the player accepts in a scenario: lines of at most 94 bytes, fewer than 4500 line ends.
constexpr std::size_t kMaxLineBytes = 94;
constexpr std::size_t kMaxLineEnds = 4499;

bool WriteBytes(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// The source in Shift-JIS, or an empty result after saying what is wrong with it: a character
// that Shift-JIS cannot hold, a line too long, too many lines.
bool ReadScenarioSource(const fs::path& path, Bytes* sjis_out) {
  std::ifstream in(path, std::ios::binary);
  const std::string utf8((std::istreambuf_iterator<char>(in)), {});
  const std::string sjis = tumu::Utf8ToSjis(utf8);
  bool ok = true;
  std::istringstream lines(sjis);
  std::size_t number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxLineBytes) {
      std::fprintf(stderr, "%s:%zu: %zu bytes in Shift-JIS, more than %zu\n", path.c_str(), number,
                   line.size(), kMaxLineBytes);
      ok = false;
    }
  }
  if (number > kMaxLineEnds) {
    std::fprintf(stderr, "%s: %zu lines, more than the player loads\n", path.c_str(), number);
    ok = false;
  }
  if (tumu::SjisToUtf8(sjis) != utf8) {
    std::fprintf(stderr, "%s: a character has no Shift-JIS form\n", path.c_str());
    ok = false;
  }
  *sjis_out = Bytes(sjis.begin(), sjis.end());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_demo SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  const fs::path source = argv[1];
  const fs::path out = argv[2];
  fs::create_directories(out);
  bool ok = true;
  for (const auto& entry : fs::directory_iterator(source)) {
    if (entry.path().extension() != ".txt") continue;
    const std::string stem = entry.path().stem().string();
    Bytes plain;
    if (!ReadScenarioSource(entry.path(), &plain)) {
      ok = false;
      continue;
    }
    if (stem == "tumu") {
      ok = WriteBytes(out / "tumu.ini", plain) && ok;
    } else {
      ok = WriteBytes(out / (stem + ".st1"), tumu::ScrambleScenario(plain)) && ok;
    }
  }

  // Media live in folders of their own, which the start scenario names with the path commands.
  for (const char* folder : {"絵", "音", "曲", "cd"}) fs::remove_all(out / folder);
  const demo::PictureSink save_picture = [&](const std::string& name, const demo::Canvas& canvas,
                                             demo::Layer layer) {
    ok = WriteBytes(out / "絵" / (name + ".sb1"), demo::PictureFile(canvas, layer)) && ok;
  };
  demo::DrawBackgrounds(save_picture);
  demo::DrawFigures(save_picture);
  ok = WriteBytes(out / "音" / "波.sw1", demo::SeaLoopWave()) && ok;
  ok = WriteBytes(out / "音" / "鈴.sw1", demo::ChimeWave()) && ok;
  ok = WriteBytes(out / "音" / "扉.sw1", demo::DoorWave()) && ok;
  for (int step = 0; step < 3; ++step) {
    ok = WriteBytes(out / "音" / ("ぽろん" + std::to_string(step + 1) + ".sw1"), demo::PluckWave(step)) && ok;
  }
  ok = WriteBytes(out / "曲" / "星の歌.sm1", demo::StarSongMidi()) && ok;
  // The ending theme as a track ripped from the game's CD, where the player looks for it.
  ok = WriteBytes(out / "cd" / "track02.wav", demo::EndingTrackWave()) && ok;
  if (!ok) {
    std::fprintf(stderr, "make_demo: the demo in %s is incomplete\n", out.c_str());
    return 1;
  }
  return 0;
}
