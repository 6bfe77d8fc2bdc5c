#include "platform/file_lookup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/sjis.h"
#include "test_game.h"

namespace tumu {
namespace {

// A temporary folder: a test game's, with nothing of a game in it.
class FileLookupTest : public ::testing::Test {
 protected:
  void Write(const std::string& relative_utf8, const std::string& bytes) {
    folder_.WriteFile(relative_utf8, bytes);
  }
  testing::TestGame folder_;
  const std::string dir_ = folder_.dir();
};

TEST_F(FileLookupTest, BackslashesSeparateFoldersButNotTheSecondByteOfACharacter) {
  Write("pic/bg1.sb1", "a");
  Write("ソ表/表.sb1", "b");  // ソ is 0x83 0x5C, 表 0x95 0x5C
  GameFiles files(dir_, dir_);
  EXPECT_EQ(files.FileExists("pic\\bg1.sb1"), kFileRegular);
  EXPECT_EQ(files.FileExists("pic/bg1.sb1"), kFileRegular);
  EXPECT_EQ(NormalizeSeparators(Utf8ToSjis("ソ表\\表.sb1")), Utf8ToSjis("ソ表/表.sb1"));
  EXPECT_EQ(files.FileExists(Utf8ToSjis("ソ表\\表.sb1")), kFileRegular);
  const auto bytes = files.ReadFile(Utf8ToSjis("ソ表\\表.sb1"));
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "b");
}

TEST_F(FileLookupTest, NamesDifferingOnlyInCaseAreFound) {
  Write("Pictures/BG1.SB1", "x");
  GameFiles files(dir_, dir_);
  EXPECT_EQ(files.FileExists("pictures\\bg1.sb1"), kFileRegular);
  EXPECT_EQ(files.FileExists("PICTURES"), kFileDirectory);
  EXPECT_EQ(files.FileExists("pictures\\bg2.sb1"), kFileAbsent);
  EXPECT_EQ(*files.Resolve("pictures/Bg1.sb1"), dir_ + "/Pictures/BG1.SB1");
}

TEST_F(FileLookupTest, ShiftJisNamesAreFoundUnderTheirUtf8Names) {
  Write("絵/背景.sb1", "1");
  Write("効果音/ＡＢＣ.sw1", "2");
  GameFiles files(dir_, dir_);
  EXPECT_EQ(files.FileExists(Utf8ToSjis("絵\\背景.sb1")), kFileRegular);
  EXPECT_EQ(files.FileExists(Utf8ToSjis("効果音/ＡＢＣ.SW1")), kFileRegular);
  EXPECT_EQ(files.FileExists(Utf8ToSjis("絵\\背景2.sb1")), kFileAbsent);
}

TEST_F(FileLookupTest, OnlyRegularFilesCountAsPresent) {
  Write("folder/x", "");
  ASSERT_EQ(::mkfifo((dir_ + "/pipe").c_str(), 0600), 0);
  GameFiles files(dir_, dir_);
  EXPECT_EQ(files.FileExists("folder"), kFileDirectory);
  EXPECT_EQ(files.FileExists("pipe"), kFileAbsent);
  EXPECT_EQ(files.FileExists(""), kFileAbsent);
  EXPECT_FALSE(files.ReadFile("folder").has_value());
}

TEST_F(FileLookupTest, ACachedNameIsLookedUpAgainWhenTheFileGoes) {
  Write("a.txt", "1");
  GameFiles files(dir_, dir_);
  ASSERT_EQ(files.FileExists("A.TXT"), kFileRegular);
  std::filesystem::remove(dir_ + "/a.txt");
  EXPECT_EQ(files.FileExists("A.TXT"), kFileAbsent);
  Write("A.txt", "2");
  EXPECT_EQ(files.FileExists("a.txt"), kFileRegular);
}

TEST_F(FileLookupTest, WritesStayInTheSaveDirectoryAndReplaceFilesWhole) {
  const std::string saves = dir_ + "/saves";
  GameFiles files(dir_ + "/game", saves);
  EXPECT_FALSE(files.WritablePath("../escape.txt").has_value());
  EXPECT_FALSE(files.WritablePath("a\\..\\..\\escape.txt").has_value());
  EXPECT_FALSE(files.WritablePath("/tmp/escape.txt").has_value());
  EXPECT_FALSE(files.WritablePath("C:\\save.dat").has_value());
  const std::string text = "new contents";
  ASSERT_TRUE(files.WriteFileAtomically(Utf8ToSjis("セーブ\\データ１.txt"),
                                        {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}));
  std::ifstream in(saves + "/セーブ/データ１.txt");
  std::string read((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(read, text);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saves + "/セーブ"),
                          std::filesystem::directory_iterator()),
            1)
      << "the temporary file is gone";
  // A save brought along from an old installation is read from the game folder.
  Write("game/old.dat", "old");
  EXPECT_EQ(*files.ResolveSaved("OLD.DAT"), dir_ + "/game/old.dat");
  EXPECT_EQ(files.SavedFileExists("old.dat"), kFileRegular);
  Write("outside.dat", "x");
  EXPECT_EQ(files.SavedFileExists("../outside.dat"), kFileAbsent);
}

TEST_F(FileLookupTest, TwoWritersOfOneFileNeverBreakEachOthersWrite) {
  // Two instances of a game saving to one slot at the same time: every write succeeds, and the
  // file always holds one of them whole.
  const std::string a(6000, 'a');
  const std::string b(9000, 'b');
  auto bytes = [](const std::string& text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  };
  constexpr int kWrites = 100;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    GameFiles files(dir_, dir_);
    int failures = 0;
    for (int i = 0; i < kWrites; ++i) failures += files.WriteFileAtomically("slot.dat", bytes(a)) ? 0 : 1;
    ::_exit(failures == 0 ? 0 : 1);
  }
  GameFiles files(dir_, dir_);
  int failures = 0;
  int torn = 0;
  for (int i = 0; i < kWrites; ++i) {
    failures += files.WriteFileAtomically("slot.dat", bytes(b)) ? 0 : 1;
    const std::string now = folder_.ReadFile("slot.dat");
    torn += now == a || now == b ? 0 : 1;
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other writer failed";
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(torn, 0);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(names, ::testing::ElementsAre("slot.dat"));
}

TEST_F(FileLookupTest, GamesInFoldersOfOneNameKeepTheirSavesApart) {
  std::filesystem::create_directories(dir_ + "/one/data");
  std::filesystem::create_directories(dir_ + "/two/data");
  ::setenv("XDG_DATA_HOME", (dir_ + "/xdg").c_str(), 1);
  const std::string one = UserSaveDir(dir_ + "/one/data");
  const std::string two = UserSaveDir(dir_ + "/two/data");
  const std::string one_again = UserSaveDir(dir_ + "/two/../one/./data/");
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_NE(one, two);
  EXPECT_EQ(one, one_again);
  EXPECT_THAT(one, ::testing::MatchesRegex(dir_ + "/xdg/tumu/data-[0-9a-f]{8}"));
}

TEST_F(FileLookupTest, VerboseSaysOnceWhereSavesGo) {
  folder_.WriteScenario("start.st1", "＃終了\n");
  folder_.options.verbose = true;
  folder_.options.save_dir = dir_ + "/saves";
  ::testing::internal::CaptureStderr();
  folder_.Run();
  const std::string log = ::testing::internal::GetCapturedStderr();
  const std::string line = "tumu: saves go to " + dir_ + "/saves\n";
  ASSERT_NE(log.find(line), std::string::npos) << log;
  EXPECT_EQ(log.find(line, log.find(line) + 1), std::string::npos);
}

TEST_F(FileLookupTest, AReadOnlyGameSavesUnderTheUserDataFolder) {
  std::filesystem::create_directories(dir_ + "/ro-game");
  ::chmod((dir_ + "/ro-game").c_str(), 0555);
  ::setenv("XDG_DATA_HOME", (dir_ + "/xdg").c_str(), 1);
  GameFiles files(dir_ + "/ro-game", "");
  const std::string user_dir = UserSaveDir(dir_ + "/ro-game");
  ::unsetenv("XDG_DATA_HOME");
  ::chmod((dir_ + "/ro-game").c_str(), 0755);
  if (::geteuid() == 0) {
    // root may write anywhere, so the game folder counts as writable.
    EXPECT_EQ(files.save_dir(), dir_ + "/ro-game");
  } else {
    EXPECT_EQ(files.save_dir(), user_dir);
  }
}

}  // namespace
}  // namespace tumu
