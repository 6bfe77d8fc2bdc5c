// Saves and loads in whole games, run headless: the file's bytes, what a load restores, every
// refused file, the confirming and resuming forms, and a write that fails half-way.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "test_game.h"
#include "vars/variables.h"

namespace tumu {
namespace {

using testing::Clicks;
using testing::Lines;
using testing::NumericSlots;
using testing::Sjis;
using testing::StringSlots;
using testing::TestGame;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr const char* kNumericMarker = "－－－－－－－－－－－－ツムギノート変数データ";
constexpr const char* kStringMarker = "－－－－－－－－－－－－ツムギノート文字変数データ";
constexpr const char* kHistoryMarker = "－－－－－－別シナリオ履歴";
constexpr const char* kLineMarker = "－－－－－今の行数";
constexpr const char* kEndMarker = "－－－－－－－－－－－－ツムギノートデータ終了";

using Item = std::pair<std::string, std::string>;

constexpr int kMaxLines = 23190;

// The lines of a save file as the format lays them out (UTF-8).
std::vector<std::string> SaveLines(const std::vector<Item>& numeric, const std::vector<Item>& strings,
                                   const std::vector<Item>& stack, int current_line) {
  std::vector<std::string> lines = {kNumericMarker, std::to_string(numeric.size())};
  for (const auto& [name, value] : numeric) lines.insert(lines.end(), {name, value});
  lines.insert(lines.end(), {kStringMarker, std::to_string(strings.size())});
  for (const auto& [name, value] : strings) lines.insert(lines.end(), {name, value});
  lines.insert(lines.end(), {kHistoryMarker, std::to_string(stack.size() - 1)});
  for (const auto& [file, line] : stack) lines.insert(lines.end(), {file, line});
  lines.insert(lines.end(), {kLineMarker, std::to_string(current_line), kEndMarker});
  return lines;
}

// The Shift-JIS bytes of a file of those lines.
std::string Join(const std::vector<std::string>& lines, std::string_view line_end = "\r\n") {
  std::string bytes;
  for (const std::string& line : lines) bytes += Sjis(line) + std::string(line_end);
  return bytes;
}

std::vector<std::string> TraceOf(const TestGame& game, std::string_view kind) {
  std::vector<std::string> lines;
  for (const std::string& line : game.Trace()) {
    if (line.starts_with(kind)) lines.push_back(line);
  }
  return lines;
}

// --- The file ---------------------------------------------------------------------------------

TEST(SaveFile, AGameWithoutVariablesSavesElevenLines) {
  TestGame game;
  EXPECT_EQ(game.Play(Lines({"＃セーブ", "save1.dat", "＃終了"})), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  // The saved line is the file-name line (index 1).
  EXPECT_EQ(game.ReadFile("save1.dat"),
            Join({kNumericMarker, "0", kStringMarker, "0", kHistoryMarker, "0", "start.st1", "0",
                  kLineMarker, "1", kEndMarker}));
  EXPECT_THAT(TraceOf(game, "save"), ElementsAre("save\tsave1.dat"));
}

TEST(SaveFile, ArraysNegativeValuesAndStringsComeBackExactly) {
  TestGame game;
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "得点", "点［2］", "", "＃変数宣言文字", "名前", "空", "",  // 1-8
      "得点＝0－12345", "点［1］＝7", "点［2］＝0－1",  // 9-11
      "＃文字変数代入", "名前", "太郎 と　花子 ",  // 12-14: blanks of both widths stay
      "＃セーブ", "a.dat",  // 15-16
      "得点＝1", "点［1］＝1", "＃文字変数代入", "空", "何か",  // 17-21
      "＃ロード", "a.dat", "＃終了",  // 22-24
  })), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_EQ(game.ReadFile("a.dat"),
            Join(SaveLines({{"得点", "-12345"}, {"点:0:", "0"}, {"点:1:", "7"}, {"点:2:", "-1"}},
                           {{"名前", "太郎 と　花子 "}, {"空", ""}}, {{"start.st1", "0"}}, 15)));
  EXPECT_THAT(NumericSlots(game), ElementsAre("得点=-12345", "点:0:=0", "点:1:=7", "点:2:=-1"));
  EXPECT_THAT(StringSlots(game), ElementsAre("名前=太郎 と　花子 ", "空="));
  // The index is rebuilt: the loaded names are found by expressions.
  EXPECT_EQ(FindVariable(game.state(), Sjis("点:2:")), 3);
  EXPECT_THAT(TraceOf(game, "load"), ElementsAre("load\ta.dat"));
}

TEST(SaveFile, ReadsLfLineEndsAndTheLimitsOfLinesExactly) {
  const std::vector<Item> stack = {{"start.st1", "0"}};
  auto file = [&](const std::string& value) { return SaveLines({{"A", value}}, {}, stack, 0); };
  // Lines between the current line and the end marker are not read: they fill a file up.
  auto padded = [&](int total) {
    std::vector<std::string> lines = file("6");
    lines.insert(lines.end() - 1, static_cast<std::size_t>(total) - lines.size(), "");
    return lines;
  };
  struct Case {
    std::string bytes;
    std::string error;  // empty: A holds `value` after the load
    int value;
  };
  const Case cases[] = {
      {Join(file("3"), "\n"), "", 3},
      // A number line may carry anything after its digits, as long as the line fits.
      {Join(file("5" + std::string(209, ' '))), "", 5},
      {Join(file("9" + std::string(210, ' '))), "１行のデータが長すぎます（データ破壊）", 1},
      // Bytes after the last line end form no line.
      {Join(file("4")) + "rest", "", 4},
      {Join(padded(kMaxLines)), "", 6},
      {Join(padded(kMaxLines + 1)), "データ行が長すぎます（データ破壊）", 1},
  };
  for (const Case& c : cases) {
    TestGame game;
    game.WriteFile("f.dat", c.bytes);
    EXPECT_EQ(game.Play(Lines({"＃変数宣言", "A", "", "A＝1", "＃ロード", "f.dat", "＃終了"}),
                        Clicks(1)),
              0);
    if (c.error.empty()) {
      EXPECT_THAT(game.Errors(), IsEmpty());
    } else {
      EXPECT_THAT(game.Errors(), ElementsAre("6\t" + c.error + "\tf.dat"));
    }
    EXPECT_THAT(NumericSlots(game), ElementsAre("A=" + std::to_string(c.value)));
  }
}

// --- Refused files ------------------------------------------------------------------------------

TEST(LoadGame, EveryRefusedFileChangesNothing) {
  const std::vector<Item> stack = {{"start.st1", "0"}};
  const std::vector<Item> numeric = {{"A", "100"}, {"B", "200"}};
  const std::vector<Item> strings = {{"S", "saved"}};
  auto good = [&] { return SaveLines(numeric, strings, stack, 0); };
  struct Case {
    std::string file;
    std::string bytes;
    std::string message;
  };
  std::vector<Case> cases;
  auto add = [&](std::string message, std::vector<std::string> lines) {
    cases.push_back({"f" + std::to_string(cases.size()) + ".dat", Join(lines), std::move(message)});
  };
  {
    auto lines = good();
    lines[0] = "変数データ";
    add("データ形式が 違います", lines);
  }
  {
    auto lines = good();
    lines.pop_back();
    add("フッター が破壊されています", lines);
  }
  {
    auto lines = good();
    lines[1] = "3";
    add(" ツムギノート文字変数データが破壊されています", lines);
  }
  {
    auto lines = good();
    lines[7] = "2";  // the string count
    add("シナリオ履歴データ が破壊されています", lines);
  }
  add("このデータは現在のゲームデータではありません",
      SaveLines({{"A", "1"}, {"B", "2"}, {"C", "3"}}, strings, stack, 0));
  add("このデータは現在のゲームデータではありません",
      SaveLines({{"A", "1"}, {"X", "2"}}, strings, stack, 0));
  add("文字変数が５００個を超えています（データ破壊）",
      SaveLines(numeric, std::vector<Item>(501, {"S", "v"}), stack, 0));
  add("変数名が長すぎます（データ破壊）", SaveLines(numeric, {{std::string(55, 'n'), ""}}, stack, 0));
  add("文字変数の内容が長すぎます（データ破壊）",
      SaveLines(numeric, {{"S", std::string(105, 'v')}}, stack, 0));
  {
    // The end marker without its line end: the last complete line is the current line.
    std::string bytes = Join(good());
    bytes.resize(bytes.size() - 2);
    cases.push_back({"cut.dat", bytes, "フッター が破壊されています"});
  }

  TestGame game;
  std::string scenario = Lines({"＃変数宣言", "A", "B", "", "＃変数宣言文字", "S", "", "A＝1", "B＝2"});
  for (const Case& c : cases) {
    game.WriteFile(c.file, c.bytes);
    scenario += Lines({"＃ロード", c.file});
  }
  const std::string outside = "../" + std::filesystem::path(game.dir()).filename().string() + ".dat";
  const std::vector<std::string> unreadable = {"missing.dat", outside, "/etc/hostname", "folder"};
  for (const std::string& name : unreadable) scenario += Lines({"＃ロード", name});
  game.WriteFile("folder/x", "");
  // A save beside the game folder, which a load must not reach.
  game.WriteFile(outside, Join(good()));
  scenario += "＃終了\n";
  EXPECT_EQ(game.Play(scenario, Clicks(20)), 0);
  std::filesystem::remove(game.Path(outside));

  std::vector<std::string> expected;
  int line = 10;
  for (const Case& c : cases) {
    expected.push_back(std::to_string(line + 1) + "\t" + c.message + "\t" + c.file);
    line += 2;
  }
  for (const std::string& name : unreadable) {
    expected.push_back(std::to_string(line + 1) + "\tファイルが開けません\t" + name);
    line += 2;
  }
  EXPECT_THAT(game.Errors(), ::testing::ElementsAreArray(expected));
  EXPECT_THAT(NumericSlots(game), ElementsAre("A=1", "B=2"));
  EXPECT_THAT(StringSlots(game), ElementsAre("S="));
  EXPECT_THAT(TraceOf(game, "load"), IsEmpty());
}

TEST(LoadGame, ARefusedResumeChangesNothing) {
  const std::vector<Item> numeric = {{"A", "100"}};
  TestGame game;
  game.WriteFile("nostart.dat", Join(SaveLines(numeric, {}, {{"begin.st1", "0"}}, 0)));
  std::vector<Item> deep(97, {"sub.st1", "0"});
  deep[0] = {"start.st1", "0"};
  game.WriteFile("deep.dat", Join(SaveLines(numeric, {}, deep, 0)));
  game.WriteFile("gone.dat",
                 Join(SaveLines(numeric, {}, {{"start.st1", "3"}, {"gone.st1", "0"}}, 0)));
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "A", "", "A＝1",  // 1-4
      "＃ロード 復帰", "nostart.dat",  // 5-6
      "＃ロード復帰", "deep.dat",  // 7-8
      "＃ロード 復帰", "gone.dat",  // 9-10
      "A＝A＋1", "＃終了",  // 11-12: the game goes on where it was
  }), Clicks(5)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("6\tシナリオ復帰データが破壊されています\tnostart.dat",
                          "8\tシナリオ復帰データが破壊されています\tdeep.dat",
                          "10\t復帰先のシナリオが見つかりません\tgone.st1"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("A=2"));
  EXPECT_EQ(game.state().call_depth, 0);
}

// --- The commands -------------------------------------------------------------------------------

TEST(SaveCommand, ConfirmingSaveJumpsOverAnExistingFileAndWritesANewOne) {
  TestGame game;
  game.WriteFile("old.dat", "old");
  EXPECT_EQ(game.Play(Lines({
      "＃セーブ確認", "old.dat", "既存",  // 1-3: exists: jump to the label
      "＃終了",  // 4
      "＃ラベル", "既存",  // 5-6
      "＃セーブ 確認", "new.dat", "新規",  // 7-9: new: written, saved at the label-name line
      "＃セーブ確認", "old.dat", "無いラベル",  // 10-12
      "＃終了",  // 13
  }), Clicks(2)), 0);
  EXPECT_EQ(game.ReadFile("old.dat"), "old");
  EXPECT_EQ(game.ReadFile("new.dat"),
            Join(SaveLines({}, {}, {{"start.st1", "0"}}, 8)));
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 7, 10, 13));
  // Reported once the two argument lines are passed.
  EXPECT_THAT(game.Errors(), ElementsAre("12\t上書き確認時のラベルが見つかりません\t無いラベル"));
}

TEST(LoadCommand, ConfirmingLoadJumpsWithoutAFileAndLoadsOne) {
  TestGame game;
  game.WriteFile("have.dat", Join(SaveLines({{"A", "7"}}, {}, {{"start.st1", "0"}}, 0)));
  game.WriteFile("folder/x", "");
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "A", "",  // 1-3
      "＃ロード確認", "none.dat", "無い",  // 4-6: jump
      "＃終了",  // 7
      "＃ラベル", "無い",  // 8-9
      "＃ロード 確認", "folder", "無い2",  // 10-12: a folder is not a save: jump
      "＃終了",  // 13
      "＃ラベル", "無い2",  // 14-15
      "＃ロード確認", "have.dat", "ある",  // 16-18: loaded, on after the label-name line
      "＃ロード確認", "none.dat", "無いラベル",  // 19-21: reported, its argument lines passed
      "＃終了",  // 22
  }), Clicks(2)), 0);
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 2, 3, 4, 10, 16, 19, 22));
  EXPECT_THAT(game.Errors(), ElementsAre("19\t＃ロード確認時のラベルが見つかりません\t無いラベル"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("A=7"));
}

TEST(SaveAndLoadCommands, MissingArgumentsAndRefusedNames) {
  TestGame game;
  game.WriteFile("slot/inside", "");
  EXPECT_EQ(game.Play(Lines({
      "＃セーブ", "",  // 1-2
      "＃セーブ確認", "",  // 3-4
      "＃セーブ確認", "x.dat", "",  // 5-7: the argument lines are passed
      "＃ロード", "",  // 8-9
      "＃ロード確認", "",  // 10-11
      "＃ロード確認", "x.dat", "",  // 12-14
      "＃セーブ", "../up.dat",  // 15-16
      "＃セーブ", "/tmp/abs.dat",  // 17-18
      "＃セーブ", "slot",  // 19-20: a folder is never replaced
      "＃変数宣言", "＃変数宣言文字", "＃終了",  // 21-23
  }), Clicks(20)), 0);
  EXPECT_THAT(game.Errors(), ElementsAre(
      "2\t＃セーブするファイル名がありません\t",
      "3\t＃セーブ（上書き確認）する\tファイル名がありません",
      "5\t＃セーブ上書き確認時の\tラベル名がありません",
      "8\t＃ロードするファイル名がありません\t",
      "10\t＃ロード（ファイル確認）する\tファイル名がありません",
      "12\t＃ロード確認時（指定ファイルがない場合）の\t飛び先ラベル名がありません",
      "16\tファイルのオープンに失敗しました\t../up.dat",
      "18\tファイルのオープンに失敗しました\t/tmp/abs.dat",
      "20\tファイルをクローズできません\t何らかのマシントラブルと考えられます",
      "21\t「＃変数宣言」は「＃セーブ・ロード」の前にしてください\t（ロード時にデータを破壊する恐れがあります）",
      "22\t「＃変数宣言（文字）」は「＃セーブ・ロード」の前にしてください\t（ロード時にデータを破壊する恐れがあります）"));
  EXPECT_FALSE(std::filesystem::exists(game.Path("../up.dat")));
  EXPECT_FALSE(std::filesystem::exists("/tmp/abs.dat"));
  EXPECT_TRUE(std::filesystem::is_directory(game.dir() + "/slot"));
  EXPECT_EQ(game.state().save_load_used, 1);
}

TEST(LoadCommand, ResumeInsideASubScenarioReloadsItAndGoesOnAfterTheSave) {
  TestGame game;
  game.WriteScenario("sub.st1", Lines({"＃セーブ", "s.dat", "回＝回＋10"}));
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "回", "",  // 1-3
      "＃別シナリオ", "sub",  // 4-5
      "＃セーブ確認", "done.dat", "二回目",  // 6-8: the first time on, the second time jumps
      "＃ロード 復帰", "s.dat",  // 9-10
      "＃終了",  // 11
      "＃ラベル", "二回目", "＃終了",  // 12-14
  })), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_EQ(game.ReadFile("s.dat"),
            Join(SaveLines({{"回", "0"}}, {}, {{"start.st1", "4"}, {"sub.st1", "0"}}, 1)));
  std::vector<std::string> after_load;
  bool loaded = false;
  for (const std::string& line : game.Trace()) {
    if (loaded && line.starts_with("run") && !line.ends_with("\t")) after_load.push_back(line);
    loaded = loaded || line.starts_with("load");
  }
  EXPECT_THAT(after_load, ElementsAre("run\t1\tsub.st1\t3\t回＝回＋10", "run\t0\tstart.st1\t6\t＃セーブ確認",
                                      "run\t0\tstart.st1\t14\t＃終了"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("回=10"));
}

TEST(SaveCommand, AWriteThatFailsHalfWayLeavesTheOldSave) {
  TestGame game;
  const std::string scenario = Lines({"＃変数宣言", "点［2000］", "", "点［1］＝5", "＃セーブ", "big.dat", "＃終了"});
  ASSERT_EQ(game.Play(scenario), 0);
  const std::string old_save = game.ReadFile("big.dat");
  ASSERT_GT(old_save.size(), 16000u);

  // The second save runs in a child whose files may not grow past 8 KiB: the disk is full
  // half-way through the new save (the scenario and the trace stay far below).
  game.WriteScenario("start.st1", Lines({"＃変数宣言", "点［2000］", "", "点［1］＝6", "＃セーブ",
                                         "big.dat", "＃終了"}));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8192, 8192};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const int status = game.Run(Clicks(1));
    const bool reported =
        game.Errors() == std::vector<std::string>{"6\t書き込みエラー発生\t何らかのマシントラブルが考えられます"};
    ::_exit(status == 0 && reported ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was not reported as one";
  EXPECT_EQ(game.ReadFile("big.dat"), old_save);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(game.dir())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(names, Not(Contains(::testing::StartsWith("big.dat."))));
}

TEST(AutoPlay, AGameThatSavesLoadsAndCallsSubScenariosPlaysToItsEnd) {
  TestGame game;
  game.headless.auto_play = true;
  game.WriteScenario("sub.st1", Lines({"回＝回＋1", "＃セーブ", "s.dat", "＃クリック待ち"}));
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "回", "", "＃変数宣言文字", "名", "",  // 1-6
      "＃文字変数代入", "名", "旅人", "＃セリフ", "”（名）”さん、こんにちは", "",  // 7-12
      "＃別シナリオ", "sub",  // 13-14
      "＃セーブ確認", "done.dat", "二回目",  // 15-17
      "＃ロード", "s.dat", "＃ロード 復帰", "s.dat",  // 18-21
      "＃終了",  // 22
      "＃ラベル", "二回目", "＃ロード確認", "none.dat", "終わり", "＃終了",  // 23-28
      "＃ラベル", "終わり", "＃終了",  // 29-31
  })), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_THAT(TraceOf(game, "save"), ElementsAre("save\ts.dat", "save\tdone.dat"));
  EXPECT_THAT(TraceOf(game, "load"), ElementsAre("load\ts.dat", "load\ts.dat"));
  EXPECT_EQ(game.RunLines().back(), 31);
  EXPECT_THAT(NumericSlots(game), ElementsAre("回=1"));
}

}  // namespace
}  // namespace tumu
