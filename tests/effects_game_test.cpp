// A whole game that uses every effect (partial pictures, animations, overlaps, a wipe, fades and
// the three scrolls with their click forms), played by the automatic player to its end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using namespace testing;

constexpr char kScenario[] = R"(// 効果をひととおり使うゲーム
＃変数宣言
横
縦

＃アニメスピード
10
＃絵
sky
＃フェードイン
＃部分絵1
lamp
20
20
＃部分絵２
lamp
240
20
＃部分人物1
lamp
460
20
＃部分人物２
lamp
20
200
＃クリック待ち
＃部分絵1オフ
＃部分絵２オフ
＃部分人物１オフ
＃部分人物2オフ
＃部分アニメ絵1 ランダム
lamp
20
300
＃部分アニメ絵２ 音
lamp
240
300
＃部分アニメ人物１
lamp
460
300
＃部分アニメ人物2
lamp
240
150
＃人物
hero
＃人物アニメ準備
hero1
hero2
hero3
＃人物アニメオン ランダム
＃前景アニメ準備
flowers1
flowers2
＃前景アニメオン
＃時間待ち
150
＃部分アニメ絵1オフ
＃部分アニメ絵２オフ
＃部分アニメ人物１オフ
＃部分アニメ人物2オフ
＃人物アニメオン ループ
＃クリック待ち
＃人物アニメオフ
＃前景アニメオフ
＃部分絵１オフ
＃部分絵2オフ
＃部分人物1オフ
＃部分人物２オフ
＃絵オーバーラップ
room
＃人物オーバーラップ
hero2
＃前景オーバーラップ
flowers2
＃全オーバーラップ
sky
そのまま
そのまま
＃ワイプパターン
wipe1
wipe2
wipe3

＃ワイプ
room
hero
そのまま
＃フェードアウト
＃絵
sky
＃フェードイン
＃前景オフ
＃人物オフ
＃絵スクロール
land
8
0
＃時間待ち
100
＃絵スクロール クリック
横
縦
＃人物スクロール ループオフ
tall
0
-6
＃時間待ち
100
＃人物スクロールクリック
横
縦
＃前景スクロール
birds
-5
0
＃前景スクロールクリック

＃人物
hero
＃クリック待ち
＃終了
)";

Rgb Sky(int x, int y) { return {60 + y / 4, 110 + y / 5, 220 - x / 16}; }
Rgb RoomPicture(int x, int y) {
  if (y > 330) return (x / 80 + y / 30) % 2 ? Rgb{140, 92, 52} : Rgb{120, 80, 44};
  return {214, 196, 160};
}
// A figure on the mask colour; `mood` changes its mouth so that the frames differ.
Rgb Figure(int x, int y, int mood) {
  const int dx = x - 320;
  if (y > 215 && y < 220 + mood * 3 && std::abs(dx) < 12) return {200, 80, 80};
  if (dx * dx + (y - 190) * (y - 190) < 50 * 50) return {250, 214, 180};
  if (y > 250 && std::abs(dx) < 70 + (y - 250) / 3) return {60, 70, 140};
  return kWhite;
}
// Flowers along the bottom; the second frame sways them.
Rgb Flowers(int x, int y, int sway) {
  if (y > 440) return {52, 130, 60};
  const int stem = (x + sway * 6) % 46;
  if (y > 410 && stem < 4) return {230, 80, 110};
  return kWhite;
}
// Three frames of a lamp whose flame grows.
Rgb Lamp(int x, int y) {
  const int cx = x % 210 - 105;
  if (y > 110 && std::abs(cx) < 30) return {120, 90, 60};
  const int flame = 30 + 15 * (x / 210);
  const int dy = 110 - y;
  if (dy > 0 && dy < flame && std::abs(cx) < (flame - dy) / 2 + 4) return {255, 200, 40};
  return kWhite;
}
Rgb Land(int x, int y) {
  if (y > 330 + (x % 320 < 160 ? x % 160 : 160 - x % 160) / 3) return {50, 110 + x / 16, 60};
  return {120 + y / 6, 160 + y / 8, 230};
}

void WriteEffectsGame(TestGame& game) {
  game.WriteScenario("start.st1", kScenario);
  game.WriteFile("sky.sb1", Picture24(640, 480, Sky).Text());
  game.WriteFile("room.sb1", Picture24(640, 480, RoomPicture).Text());
  game.WriteFile("lamp.sb1", Picture24(630, 160, Lamp).Text());
  game.WriteFile("land.sb1", Picture24(1280, 480, Land).Text());
  game.WriteFile("hero.sb1", Picture24(640, 480, [](int x, int y) { return Figure(x, y, 0); }).Text());
  for (int mood = 1; mood <= 3; ++mood) {
    game.WriteFile("hero" + std::to_string(mood) + ".sb1",
                   Picture24(640, 480, [mood](int x, int y) { return Figure(x, y, mood); }).Text());
  }
  for (int sway = 1; sway <= 2; ++sway) {
    game.WriteFile("flowers" + std::to_string(sway) + ".sb1",
                   Picture24(640, 480, [sway](int x, int y) { return Flowers(x, y, sway); }).Text());
  }
  // Masks that open the new scene as a circle growing from the middle.
  for (int step = 1; step <= 3; ++step) {
    const int radius = 130 * step;
    game.WriteFile("wipe" + std::to_string(step) + ".sb1",
                   Picture24(640, 480, [radius](int x, int y) {
                     return (x - 320) * (x - 320) + (y - 240) * (y - 240) < radius * radius ? kWhite
                                                                                          : kBlack;
                   }).Text());
  }
  game.WriteFile("tall.sb1", Picture24(640, 960, [](int x, int y) { return Figure(x, y % 480, y / 480); }).Text());
  game.WriteFile("birds.sb1", Picture24(1280, 480, [](int x, int y) {
                   return (x % 200 < 30 && y % 120 > 40 && y % 120 < 46) ? Rgb{40, 40, 40} : kWhite;
                 }).Text());
}

TEST(EffectsGame, TheAutomaticPlayerPlaysItToTheEndWithoutAReport) {
  TestGame game;
  WriteEffectsGame(game);
  game.headless.auto_play = true;
  // TUMU_EFFECTS_SHOTS=DIR keeps a picture of every wait, to look at the game as a player would.
  if (const char* shots = std::getenv("TUMU_EFFECTS_SHOTS")) game.headless.shots_dir = shots;
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), ::testing::IsEmpty());
  const std::vector<int> lines = game.RunLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), 125) << "the last line, ＃終了";
  EXPECT_TRUE(game.engine().quit);
  // The person's scroll was clicked on its way up from y = 480, 6 rows a step: its position is
  // in the two variables (the foreground's click named none).
  const EngineState& s = game.state();
  EXPECT_EQ(s.numeric_values[0], 0);
  EXPECT_GE(s.numeric_values[1], 0);
  EXPECT_LT(s.numeric_values[1], 480);
  EXPECT_EQ((480 - s.numeric_values[1]) % 6, 0);
}

}  // namespace
}  // namespace tumu
