// The author's lint: small games with one fault each, the demo game clean, the JSON for tools.
#include "engine/lint.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "fake_text_renderer.h"
#include "test_game.h"
#include "test_pictures.h"
#include "test_sounds.h"

namespace tumu {
namespace {

using testing::FakeTextRenderer;
using testing::Lines;
using testing::TestGame;

std::vector<LintFinding> Lint(const TestGame& game) {
  return LintGame(game.dir(), std::make_unique<FakeTextRenderer>());
}

std::string Describe(const std::vector<LintFinding>& findings) {
  return findings.empty() ? "(no findings)\n" : FindingsAsText(findings);
}

struct FaultCase {
  const char* what;
  std::string start;    // start.st1, UTF-8
  std::string sub;      // sub.st1 when not empty
  std::string file;     // where the finding is expected
  int line;
  bool error;
  std::string word;     // a distinctive part of its message
  std::size_t count = 1;  // with the faults that follow from it, as the game would meet them
};

void WriteFaultGame(TestGame& game, const FaultCase& c) {
  game.WriteScenario("start.st1", c.start);
  if (!c.sub.empty()) game.WriteScenario("sub.st1", c.sub);
  game.WriteFile("Pic.sb1", testing::SolidPicture(640, 480, {0, 0, 255}).Text());
  game.WriteFile("beep.sw1", testing::SineWave(8000, 1, 10, 440));
}

class LintFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(LintFaultTest, FindsTheFaultWhereItStands) {
  const FaultCase& c = GetParam();
  TestGame game;
  WriteFaultGame(game, c);
  const std::vector<LintFinding> findings = Lint(game);
  ASSERT_EQ(findings.size(), c.count) << c.what << "\n" << Describe(findings);
  const LintFinding& f = findings[0];
  EXPECT_EQ(f.file, c.file) << c.what;
  EXPECT_EQ(f.line, c.line) << c.what << "\n" << Describe(findings);
  EXPECT_EQ(f.error, c.error) << c.what;
  EXPECT_NE(f.message.find(c.word), std::string::npos) << c.what << ": " << f.message;
}

std::string ManyLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "//\n";
  return text;
}

const std::vector<FaultCase>& Faults() {
  static const std::vector<FaultCase> faults = {
        FaultCase{"a line over 94 bytes", Lines({"//", "//" + std::string(93, 'a')}), "",
                  "start.st1", 2, true, "９５文字"},
        FaultCase{"4500 line ends", ManyLines(4600), "", "start.st1", 4500, true, "４５００行"},
        FaultCase{"a choice block never ended",
                  Lines({"//", "＃選択", "はい", "", "＃1", "//"}), "", "start.st1", 2, true,
                  "足りません"},
        FaultCase{"a block end with no beginning", Lines({"//", "＃＃＃＃"}), "", "start.st1", 2,
                  true, "多いか"},
        FaultCase{"a jump to no label", Lines({"＃GO", "どこにもない"}), "", "start.st1", 2, true,
                  "該当するラベルが見つかりません"},
        FaultCase{"a choice without its label",
                  Lines({"＃選択", "はい", "いいえ", "", "＃1", "//", "＃＃＃＃"}), "",
                  "start.st1", 1, true, "＃2"},
        FaultCase{"a range branch without the label below its first bound",
                  Lines({"＃変数宣言", "点", "", "＃分岐範囲", "点", "10", "", "＃1", "＃＃＃＃"}),
                  "", "start.st1", 4, true, "＃0"},
        FaultCase{"a missing picture", Lines({"＃絵", "nothing"}), "", "start.st1", 2, true,
                  "nothing"},
        FaultCase{"a picture found only in another case", Lines({"＃絵", "pic"}), "", "start.st1",
                  2, false, "Pic.sb1"},
        FaultCase{"a missing wave", Lines({"＃音", "nosound"}), "", "start.st1", 2, true,
                  "音のファイルがありません"},
        FaultCase{"a missing MIDI file", Lines({"＃ＭＩＤＩ", "nomidi"}), "", "start.st1", 2, true,
                  "ＭＩＤＩファイルがありません"},
        FaultCase{"a missing scenario", Lines({"＃別シナリオ", "nosub"}), "", "start.st1", 2, true,
                  "別シナリオのファイルがありません"},
        FaultCase{"a missing right-click scenario", Lines({"＃右クリックシナリオ", "nor"}), "",
                  "start.st1", 1, true, "右クリックシナリオのファイルがありません"},
        FaultCase{"a fault in a called scenario", Lines({"＃別シナリオ", "sub", "＃終了"}),
                  Lines({"//", "＃GO", "nowhere"}), "sub.st1", 3, true, "nowhere"},
        FaultCase{"an expression that cannot evaluate",
                  Lines({"＃変数宣言", "点", "", "点＝（１＋２"}), "", "start.st1", 4, true,
                  "カッコ"},
        FaultCase{"a variable never declared", Lines({"得点＝１"}), "", "start.st1", 1, true,
                  "宣言されていません"},
        FaultCase{"a declaration after a save",
                  Lines({"＃セーブ", "save1", "＃変数宣言", "点", ""}), "", "start.st1", 3, true,
                  "セーブ・ロード"},
        FaultCase{"a save name outside the save folder", Lines({"＃セーブ", "..\\up"}), "",
                  "start.st1", 2, true, "オープンに失敗"},
        FaultCase{"a click position into a variable never declared",
                  Lines({"＃変数宣言", "横", "", "＃クリック位置", "横", "縦"}), "", "start.st1", 6,
                  true, "宣言されていません", 2},
        FaultCase{"a CD that falls back on no label", Lines({"＃ＣＤ確認", "2", "ない"}), "",
                  "start.st1", 3, true, "ＣＤ確認時のラベルが見つかりません"},
        FaultCase{"a fault between a CD's fallback and its label",
                  Lines({"＃ＣＤ確認", "2", "あと", "＃GO", "nowhere", "＃ラベル", "あと"}), "",
                  "start.st1", 5, true, "nowhere"},
        FaultCase{"prose outside a block", Lines({"こんにちは"}), "", "start.st1", 1, true,
                  "シナリオ上のミス"}};
  return faults;
}

// "a line over 94 bytes" runs as a_line_over_94_bytes.
std::string NameOf(const ::testing::TestParamInfo<FaultCase>& info) {
  std::string name = info.param.what;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(OneFaultEach, LintFaultTest, ::testing::ValuesIn(Faults()), NameOf);

// Nothing of one game (its variables, its files, a loader limit that stopped it, its findings)
// leaks into the next game that the same linter reads.
TEST(LintTest, OneLinterForGameAfterGameFindsWhatAFreshOneFinds) {
  GameLinter linter(std::make_unique<FakeTextRenderer>());
  for (int round = 0; round < 2; ++round) {
    for (const FaultCase& c : Faults()) {
      TestGame game;
      WriteFaultGame(game, c);
      EXPECT_EQ(FindingsAsText(linter.Lint(game.dir())), FindingsAsText(Lint(game))) << c.what;
    }
  }
}

// The called scenario is read where it is called: its declaration comes before the save.
TEST(LintTest, AVariableDeclaredInACalledScenarioIsDeclared) {
  TestGame game;
  game.WriteScenario("start.st1",
                     Lines({"＃別シナリオ", "sub", "点＝点＋１", "＃セーブ", "s1", "＃終了"}));
  game.WriteScenario("sub.st1", Lines({"＃変数宣言", "点", ""}));
  const std::vector<LintFinding> findings = Lint(game);
  EXPECT_TRUE(findings.empty()) << Describe(findings);
}

TEST(LintTest, AGameWithoutStartScenarioIsAnError) {
  TestGame game;
  const std::vector<LintFinding> findings = Lint(game);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_NE(findings[0].message.find("startシナリオがありません"), std::string::npos);
}

TEST(LintTest, NeverCrashesOnBrokenScenarios) {
  TestGame game;
  std::string noise;
  for (int i = 0; i < 3000; ++i) noise += static_cast<char>((i * 7919) % 251 + 1);
  game.WriteScenario("noise.st1", noise, /*scrambled=*/false);
  game.WriteScenario("sub.st1", Lines({"＃選択", "", "＃分岐範囲", "", "＃分岐最大", "＃セーブ確認", ""}));
  game.WriteScenario("start.st1", Lines({"＃別シナリオ", "sub", "＃別シナリオ", "noise", "＃選択裏画面",
                                         "", "＃分岐文字"}));
  EXPECT_FALSE(Lint(game).empty());
}

// A small JSON reader, enough to check the structure that tools read.
struct Json {
  std::variant<std::nullptr_t, double, std::string, std::vector<Json>, std::map<std::string, Json>>
      value;
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}
  bool Read(Json* out) {
    if (!Value(out)) return false;
    Blank();
    return pos_ == text_.size();
  }

 private:
  void Blank() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  bool Eat(char c) {
    Blank();
    if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
    return false;
  }
  bool String(std::string* out) {
    if (!Eat('"')) return false;
    for (; pos_ < text_.size(); ++pos_) {
      const char c = text_[pos_];
      if (c == '"') return ++pos_, true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c == '\\') {
        if (++pos_ == text_.size()) return false;
        const char e = text_[pos_];
        if (e == 'u') {
          pos_ += 4;
          out->push_back('?');
          continue;
        }
        if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) return false;
        out->push_back(e == 'n' ? '\n' : e == 't' ? '\t' : e);
        continue;
      }
      out->push_back(c);
    }
    return false;
  }
  bool Value(Json* out) {
    Blank();
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_];
    if (c == '"') {
      std::string s;
      if (!String(&s)) return false;
      out->value = s;
      return true;
    }
    if (c == '[') {
      ++pos_;
      std::vector<Json> items;
      if (!Eat(']')) {
        do {
          items.emplace_back();
          if (!Value(&items.back())) return false;
        } while (Eat(','));
        if (!Eat(']')) return false;
      }
      out->value = std::move(items);
      return true;
    }
    if (c == '{') {
      ++pos_;
      std::map<std::string, Json> members;
      if (!Eat('}')) {
        do {
          std::string key;
          if (!String(&key) || !Eat(':') || !Value(&members[key])) return false;
        } while (Eat(','));
        if (!Eat('}')) return false;
      }
      out->value = std::move(members);
      return true;
    }
    std::size_t used = 0;
    try {
      out->value = std::stod(std::string(text_.substr(pos_)), &used);
    } catch (...) {
      return false;
    }
    pos_ += used;
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::pair<int, std::string> RunCommand(const std::vector<std::string>& args) {
  ::testing::internal::CaptureStdout();
  const int status = RunLintCommand(args);
  return {status, ::testing::internal::GetCapturedStdout()};
}

TEST(LintCommandTest, JsonListsEachFindingWithFileLineSeverityAndMessage) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({"＃GO", "な\"し", "＃絵", "pic"}));
  game.WriteFile("PIC.sb1", testing::SolidPicture(640, 480, {0, 0, 255}).Text());
  const auto [status, out] = RunCommand({"--json", game.dir()});
  EXPECT_EQ(status, 1);
  Json json;
  ASSERT_TRUE(JsonReader(out).Read(&json)) << out;
  const auto& top = std::get<std::map<std::string, Json>>(json.value);
  EXPECT_EQ(std::get<double>(top.at("errors").value), 1);
  EXPECT_EQ(std::get<double>(top.at("warnings").value), 1);
  const auto& findings = std::get<std::vector<Json>>(top.at("findings").value);
  ASSERT_EQ(findings.size(), 2u);
  const auto& first = std::get<std::map<std::string, Json>>(findings[0].value);
  EXPECT_EQ(std::get<std::string>(first.at("file").value), "start.st1");
  EXPECT_EQ(std::get<double>(first.at("line").value), 2);
  EXPECT_EQ(std::get<std::string>(first.at("severity").value), "error");
  EXPECT_NE(std::get<std::string>(first.at("message").value).find("な\"し"), std::string::npos);
  const auto& second = std::get<std::map<std::string, Json>>(findings[1].value);
  EXPECT_EQ(std::get<std::string>(second.at("severity").value), "warning");
}

TEST(LintCommandTest, ExitStatusTellsErrorsFromWarningsAndBadArguments) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({"＃絵", "pic", "＃終了"}));
  game.WriteFile("PIC.sb1", testing::SolidPicture(640, 480, {0, 0, 255}).Text());
  const auto [warned, text] = RunCommand({game.dir()});
  EXPECT_EQ(warned, 0) << text;
  EXPECT_EQ(text.rfind("start.st1:2: warning: ", 0), 0u) << text;
  game.WriteScenario("start.st1", Lines({"＃GO", "nowhere"}));
  EXPECT_EQ(RunCommand({game.dir()}).first, 1);
  EXPECT_EQ(RunCommand({}).first, 2);
  EXPECT_EQ(RunCommand({"--json"}).first, 2);
  EXPECT_EQ(RunCommand({game.dir() + "/no-such-folder"}).first, 1);
}

TEST(LintCommandTest, TheDemoIsClean) {
  const auto [status, out] = RunCommand({TUMU_DEMO_DIR});
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.find(": error: "), std::string::npos) << out;
}

}  // namespace
}  // namespace tumu
