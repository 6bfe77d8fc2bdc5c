#include "platform/file_lookup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
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
  EXPECT_FALSE(std::filesystem::exists(saves + "/セーブ/データ１.txt.tmp-tumu"));
  // A save brought along from an old installation is read from the game folder.
  Write("game/old.dat", "old");
  EXPECT_EQ(*files.ResolveSaved("OLD.DAT"), dir_ + "/game/old.dat");
}

TEST_F(FileLookupTest, AReadOnlyGameSavesUnderTheUserDataFolder) {
  std::filesystem::create_directories(dir_ + "/ro-game");
  ::chmod((dir_ + "/ro-game").c_str(), 0555);
  ::setenv("XDG_DATA_HOME", (dir_ + "/xdg").c_str(), 1);
  GameFiles files(dir_ + "/ro-game", "");
  ::unsetenv("XDG_DATA_HOME");
  ::chmod((dir_ + "/ro-game").c_str(), 0755);
  if (::geteuid() == 0) {
    // root may write anywhere, so the game folder counts as writable.
    EXPECT_EQ(files.save_dir(), dir_ + "/ro-game");
  } else {
    EXPECT_EQ(files.save_dir(), dir_ + "/xdg/tumu/ro-game");
  }
}

}  // namespace
}  // namespace tumu
