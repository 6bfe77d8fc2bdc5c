#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/pack_command.h"
#include "engine/scenario.h"

namespace tumu {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(Pack, ScramblesEachByteAndStoresAScrambledLineFeedAsCrLf) {
  // "V" scrambles to 0x0A, which a text stream writes as 0x0D 0x0A; the line feed itself
  // scrambles to 0x56. A CR LF of the source is read as one line feed first.
  EXPECT_EQ(ScrambleScenario(Bytes("A\nV\r\nQ")),
            Bytes("\x1D\x56\x0D\x0A\x56\x0D"));
  EXPECT_EQ(UnscrambleScenario(Bytes("\x1D\x56\x0D\x0A\x56\x0D")), Bytes("A\nV\nQ"));
  // A stored 0x1A (the scrambled "F") is data.
  EXPECT_EQ(UnscrambleScenario(ScrambleScenario(Bytes("F\x1A"))), Bytes("F\x1A"));
}

TEST(Pack, TheCommandRoundTripsAFileAndReportsWhatItCannotRead) {
  const auto dir = std::filesystem::temp_directory_path() / "tumu-pack-test";
  std::filesystem::create_directories(dir);
  const std::string plain = (dir / "plain.txt").string();
  const std::string packed = (dir / "start.st1").string();
  const std::string back = (dir / "back.txt").string();
  std::ofstream(plain, std::ios::binary) << "\x81\x94\x8F\x49\x97\xB9\nVF\n";
  EXPECT_EQ(RunPackCommand({"scramble", plain, packed}), 0);
  EXPECT_EQ(RunPackCommand({"unscramble", packed, back}), 0);
  std::ifstream in(back, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "\x81\x94\x8F\x49\x97\xB9\nVF\n");
  EXPECT_EQ(RunPackCommand({"scramble", (dir / "missing.txt").string(), packed}), 1);
  EXPECT_EQ(RunPackCommand({"scramble", plain, (dir / "no/such/dir/out").string()}), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tumu
