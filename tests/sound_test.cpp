// The sound commands and polls, played headless: the trace of every start and stop, sounds that
// end in virtual time when their files end, the CD emulated from track files, and files that
// cannot play.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/frame_driver.h"
#include "platform/sjis.h"
#include "sound/cd_tracks.h"
#include "sound/sound.h"
#include "test_game.h"
#include "test_sounds.h"

namespace tumu {
namespace {

using testing::MidiTrack;
using testing::OneNoteMidi;
using testing::SineWave;
using testing::Sjis;
using testing::TestGame;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The audio lines of the trace without their "audio" field, and the scenario lines that ran as
// "@LINE", with spaces for tabs.
std::vector<std::string> SoundTrace(const TestGame& game, bool with_lines = true) {
  std::vector<std::string> out;
  for (std::string line : game.Trace()) {
    if (line.rfind("audio\t", 0) == 0) {
      line = line.substr(6);
    } else if (with_lines && line.rfind("run\t", 0) == 0) {
      const std::size_t number = line.find('\t', line.find('\t', 4) + 1) + 1;
      line = "@" + line.substr(number, line.find('\t', number) - number);
    } else {
      continue;
    }
    for (char& c : line) c = c == '\t' ? ' ' : c;
    out.push_back(line);
  }
  return out;
}

// Waves of whole milliseconds at 8 kHz.
void WriteWaves(TestGame& game) {
  game.WriteFile("a.sw1", SineWave(8000, 1, 300, 440));
  game.WriteFile("b.sw1", SineWave(8000, 1, 500, 440));
  game.WriteFile("bgm.sw1", SineWave(8000, 2, 1000, 220));
  game.WriteFile("hover.sw1", SineWave(8000, 1, 200, 660));
}

TEST(SoundCommands, AOneShotStopsTheOneBeforeItAndTheLoopStartsAgainOnTheNextTurn) {
  TestGame game;
  WriteWaves(game);
  game.Play("＃音ループ\nbgm\n＃音\na\n＃時間待ち\n100\n＃音\nb\n＃クリック待ち\n");
  EXPECT_THAT(SoundTrace(game),
              ElementsAre("@1", "wave stop", "loop stop", "loop play bgm.sw1",  //
                          "@3", "wave stop", "loop stop", "wave play a.sw1",   //
                          "loop play bgm.sw1", "@5",                            //
                          "@7", "wave stop", "loop stop", "wave play b.sw1",   //
                          "loop play bgm.sw1", "@9"));
  EXPECT_EQ(game.state().wave_device_open, 1) << "b still plays";
  EXPECT_EQ(game.state().wave_loop_on, 1);
  EXPECT_EQ(Sjis("bgm.sw1"), game.state().wave_loop_file.view());
}

TEST(SoundCommands, SoundStopSilencesBothChannelsAndTheLoopStaysOff) {
  TestGame game;
  WriteWaves(game);
  game.Play("＃音ループ\nbgm\n＃音\na\n＃音止め\n＃時間待ち\n100\n＃クリック待ち\n");
  EXPECT_THAT(SoundTrace(game, false),
              ElementsAre("wave stop", "loop stop", "loop play bgm.sw1", "wave stop", "loop stop",
                          "wave play a.sw1", "loop play bgm.sw1", "wave stop", "loop stop"));
  EXPECT_EQ(game.state().wave_loop_on, 0);
  EXPECT_EQ(game.state().wave_device_open, 0);
  EXPECT_EQ(game.backend().audio.State(SoundChannel::kLoop), ChannelState::kClosed);
}

TEST(SoundCommands, TheOneShotClosesOnTheFirstTurnAfterItsLastSample) {
  TestGame game;
  WriteWaves(game);
  // a.sw1 lasts 300 ms; the waits run 101 ms each (they end once more than 100 ms passed).
  game.Play("＃音\na\n＃時間待ち\n100\n＃時間待ち\n100\n＃時間待ち\n100\n＃時間待ち\n100\n＃クリック待ち\n");
  EXPECT_THAT(SoundTrace(game), ElementsAre("@1", "wave stop", "loop stop", "wave play a.sw1", "@3",
                                            "@5", "@7", "wave stop", "@9", "@11"));
  EXPECT_EQ(game.state().wave_device_open, 0);

  // On the virtual clock of the headless player, exactly at the end of the file.
  HeadlessClock clock;
  TimedAudio audio(clock);
  std::string problem;
  ASSERT_TRUE(audio.Play(SoundChannel::kWave, game.Path("a.sw1"), false, &problem)) << problem;
  clock.Advance(299);
  EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kPlaying);
  clock.Advance(1);
  EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kStopped);
  ASSERT_TRUE(audio.Play(SoundChannel::kLoop, game.Path("a.sw1"), true, &problem)) << problem;
  clock.Advance(100000);
  EXPECT_EQ(audio.State(SoundChannel::kLoop), ChannelState::kPlaying) << "a loop never ends";
}

TEST(SoundCommands, HoverSoundsTakeTheLoopsPlaceAndTheLoopComesBackFromItsStart) {
  TestGame game;
  WriteWaves(game);
  game.Play("＃音ループ\nbgm\n＃クリック待ち\n");
  Engine& engine = game.engine();
  PlayHoverSound(engine, "hover");
  FrameTurn(engine);
  game.backend().clock.Advance(199);
  FrameTurn(engine);
  EXPECT_EQ(game.backend().audio.State(SoundChannel::kLoop), ChannelState::kPlaying);
  game.backend().clock.Advance(1);
  FrameTurn(engine);
  FrameTurn(engine);
  PlayHoverSound(engine, "");
  EXPECT_THAT(SoundTrace(game, false), ElementsAre("wave stop", "loop stop", "loop play bgm.sw1",
                                                   "loop play hover.sw1", "loop play bgm.sw1"));
  EXPECT_EQ(game.backend().display.beeps(), 1) << "a choice without a sound beeps";
}

TEST(SoundCommands, LoopingMidiStartsAgainWhenItEndsAndTheStopFormEndsIt) {
  TestGame game;
  game.WriteFile("music/m.sm1", OneNoteMidi(100));
  game.Play("＃ＭＩＤＩのパス\nmusic/\n＃ＭＩＤＩ ループ\nm\n＃時間待ち\n250\n＃ＭＩＤＩ止め\n"
            "＃時間待ち\n250\n＃MIDI\nm\n＃時間待ち\n250\n＃クリック待ち\n");
  EXPECT_THAT(SoundTrace(game),
              ElementsAre("@1", "@3", "midi stop", "midi play music/m.sm1", "@5",  //
                          "midi stop", "midi play music/m.sm1",                   // at 100 ms
                          "midi stop", "midi play music/m.sm1",                   // at 200 ms
                          "@7", "midi stop", "@8",                                 //
                          "@10", "midi stop", "midi play music/m.sm1", "@12", "@14"));
  EXPECT_EQ(game.state().midi_playing, 0) << "without the loop word the piece plays once";
  EXPECT_EQ(game.backend().audio.State(SoundChannel::kMidi), ChannelState::kStopped);
}

TEST(SoundCommands, MidiPlaysOnAcrossTheRestartWhileTheWavesAndTheCdStop) {
  TestGame game;
  WriteWaves(game);
  game.WriteFile("m.sm1", OneNoteMidi(60000));
  game.Play("＃ＭＩＤＩ ループ\nm\n＃音ループ\nbgm\n");
  EXPECT_THAT(SoundTrace(game),
              ElementsAre("@1", "midi stop", "midi play m.sm1", "@3", "wave stop", "loop stop",
                          "loop play bgm.sw1", "@5", "@6", "@7", "loop stop", "wave stop", "cd stop"));
  EXPECT_THAT(game.Errors(), ElementsAre("8\tシナリオが終了しました。\t始めから実行します。"));
  EXPECT_EQ(game.state().midi_playing, 1);
  EXPECT_EQ(game.state().wave_loop_on, 0);
  EXPECT_EQ(game.backend().audio.State(SoundChannel::kMidi), ChannelState::kPlaying);
}

TEST(SoundCommands, TheEndOfTheGameSilencesEveryChannel) {
  TestGame game;
  WriteWaves(game);
  game.Play("＃音ループ\nbgm\n＃終了\n");
  EXPECT_THAT(SoundTrace(game, false), ElementsAre("wave stop", "loop stop", "loop play bgm.sw1",
                                                   "loop stop", "wave stop", "cd stop", "midi stop"));
  EXPECT_EQ(game.backend().audio.State(SoundChannel::kLoop), ChannelState::kClosed);
}

TEST(SoundCommands, MissingFilesAreReportedAfterTheChannelStopped) {
  TestGame game;
  WriteWaves(game);
  game.Play("＃音のパス\nse\\\n＃音\nない\n＃音ループ\nない\n＃ＭＩＤＩ\nない\n＃終了\n",
            "click 1 1\nclick 1 1\nclick 1 1\n");
  EXPECT_THAT(game.Errors(), ElementsAre("4\t音のファイルがありません\tない",
                                         "6\t音ループのファイルがありません\tない",
                                         "8\tＭＩＤＩファイルがありません\tない"));
  EXPECT_THAT(SoundTrace(game, false),
              ElementsAre("wave stop", "loop stop", "wave stop", "loop stop", "midi stop", "loop stop",
                          "wave stop", "cd stop", "midi stop"));
  EXPECT_EQ(game.state().wave_device_open, 0);
  EXPECT_EQ(game.state().wave_loop_on, 0);
}

TEST(SoundCommands, FilesThatCannotPlayAreSilentSayWhyAndNeverHoldTheGame) {
  TestGame game;
  WriteWaves(game);
  std::string cut = SineWave(8000, 1, 300, 440);
  cut.resize(cut.size() / 2);
  game.WriteFile("text.sw1", "not a sound");
  game.WriteFile("cut.sw1", cut);
  game.WriteFile("bad.sm1", "not music at all");
  game.options.verbose = true;
  ::testing::internal::CaptureStderr();
  game.Play("＃音\ncut\n＃音ループ\ntext\n＃ＭＩＤＩ ループ\nbad\n＃時間待ち\n200\n＃クリック待ち\n");
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(log, HasSubstr("the sound cut.sw1 does not play: the file is truncated"));
  EXPECT_THAT(log, HasSubstr("the sound text.sw1 does not play: not a wave file"));
  EXPECT_THAT(log, HasSubstr("the sound bad.sm1 does not play: not a MIDI file"));
  EXPECT_TRUE(game.Errors().empty());
  // The one-shot that never started counts as over at the next poll; the loop and the music are
  // wanted still, but nothing sounds and nothing is tried again and again in the trace.
  EXPECT_THAT(SoundTrace(game), ElementsAre("@1", "wave stop", "loop stop", "wave stop", "@3", "wave stop",
                                            "loop stop", "@5", "midi stop", "@7", "@9"));
  EXPECT_EQ(game.state().wave_device_open, 0);
  EXPECT_EQ(game.state().wave_loop_on, 1);
  EXPECT_EQ(game.state().midi_playing, 1);
}

// --- CD audio ------------------------------------------------------------------------------

void WriteTracks(TestGame& game) {
  game.WriteFile("cd/track02.wav", SineWave(8000, 1, 300, 440));
  game.WriteFile("cd/Track03.WAV", SineWave(8000, 1, 200, 440));
}

TEST(CdAudio, PlaysOneTrackAndTheLastOneThroughTheFallback) {
  TestGame game;
  WriteTracks(game);
  game.Play("＃ＣＤ\n2\n＃時間待ち\n400\n＃CD\n3\n＃時間待ち\n400\n＃クリック待ち\n");
  EXPECT_THAT(SoundTrace(game), ElementsAre("@1", "cd stop", "cd play 2", "@3", "cd stop",  //
                                            "@5", "cd stop", "cd play 3", "@7", "cd stop", "@9"));
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(game.state().cd_playing, 0);
  EXPECT_EQ(game.state().cd_track, 3);
}

TEST(CdAudio, ALoopingTrackStartsAgainAndTheStopCommandEndsIt) {
  TestGame game;
  WriteTracks(game);
  game.Play("＃ＣＤ ループ\n1＋2\n＃時間待ち\n450\n＃ＣＤ止め\n＃時間待ち\n450\n＃クリック待ち\n");
  EXPECT_THAT(SoundTrace(game), ElementsAre("@1", "cd stop", "cd play 3", "@3", "cd play 3", "cd play 3",
                                            "@5", "cd stop", "@6", "@8"));
  EXPECT_EQ(game.state().cd_loop, 0);
  EXPECT_EQ(game.state().cd_playing, 0);
}

TEST(CdAudio, ErrorsOfTheDiscAndOfTheCommand) {
  struct Case {
    const char* scenario;
    bool with_tracks;
    const char* error;
  } cases[] = {
      {"＃ＣＤ\n1\n", false, "2\tＣＤが入っていないか、\tＣＤの準備が出来ていません"},
      {"＃ＣＤ\n5\n", true, "2\t音楽トラックがないか、無効なトラックです\t5 トラック"},
      {"＃ＣＤ\n-1\n", true, "2\t音楽トラックがないか、無効なトラックです\t-1 トラック"},
      {"＃ＣＤ\n\n", true, "2\t＃ＣＤのトラックが指定されていません\t"},
      {"＃ＣＤ確認\n2\n\n", true, "3\tＣＤ確認時のラベルが指定されていません\t"},
      {"＃ＣＤ確認\n1\nどこ\n", false, "3\tＣＤ確認時のラベルが見つかりません\tどこ"},
  };
  for (const Case& c : cases) {
    TestGame game;
    if (c.with_tracks) WriteTracks(game);
    game.Play(std::string(c.scenario) + "＃終了\n", "click 1 1\n");
    EXPECT_THAT(game.Errors(), ElementsAre(c.error)) << c.scenario;
    EXPECT_EQ(game.state().cd_playing, 0) << c.scenario;
  }
}

TEST(CdAudio, TheConfirmFormJumpsToItsLabelWhenThereIsNoDisc) {
  TestGame game;
  game.Play("＃ＣＤ確認 ループ\n2\nディスクなし\n＃終了\n＃ラベル\nディスクなし\n＃クリック待ち\n");
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 7));
}

TEST(CdAudio, ATrackExpressionWithAnUndeclaredVariableReportsTheEvaluatorsText) {
  TestGame game;
  WriteTracks(game);
  game.Play("＃ＣＤ\nトラック＋1\n＃終了\n", "click 1 1\n");
  const std::vector<std::string> errors = game.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_THAT(errors[0], ::testing::StartsWith("2\tERR"));
  EXPECT_THAT(errors[0], ::testing::EndsWith("\tトラック＋1"));
  EXPECT_THAT(SoundTrace(game, false), ElementsAre("cd stop", "loop stop", "wave stop", "cd stop", "midi stop"));
}

TEST(CdTracks, FolderOrderNamePatternsAndEndingsDecideWhichFileIsATrack) {
  TestGame game;
  for (const char* name : {"mine/track1.mp3", "cd/track01.ogg", "cd/track1.wav", "cd/TRACK_02.flac",
                           "cd/track02.opus", "music/track_3.ogg", "BGM/track04.mp3", "BGM/track4.ogg",
                           "cd/track07.txt", "cd/tracks.ogg", "cd/track100.ogg", "cd/track0.ogg"}) {
    game.WriteFile(name, "x");
  }
  const CdDisc disc = FindCdTracks(game.dir(), game.Path("mine"));
  std::map<int, std::string> tracks;
  for (const auto& [number, path] : disc.tracks) {
    tracks[number] = std::filesystem::relative(path, game.dir()).string();
  }
  EXPECT_THAT(tracks, ElementsAre(std::pair(1, "mine/track1.mp3"), std::pair(2, "cd/track02.opus"),
                                  std::pair(3, "music/track_3.ogg"), std::pair(4, "BGM/track04.mp3")));

  std::vector<std::string> files;
  EXPECT_EQ(CdTracksToPlay(disc, 2, 3, &files), 0);
  EXPECT_EQ(files.size(), 1u);
  EXPECT_EQ(CdTracksToPlay(disc, 2, 0, &files), 0);
  EXPECT_EQ(files.size(), 3u) << "to the end of the disc";
  EXPECT_EQ(CdTracksToPlay(disc, 4, 5, &files), kCdNoSuchTrack) << "no track after the last";
  EXPECT_EQ(CdTracksToPlay(disc, 5, 0, &files), kCdNoSuchTrack);
  EXPECT_EQ(CdTracksToPlay(disc, 0, 1, &files), kCdNoSuchTrack);
  EXPECT_EQ(CdTracksToPlay(CdDisc{}, 1, 2, &files), kCdNotReady);
  EXPECT_TRUE(files.empty());
}

TEST(CdTracks, AllTracksFromOneToTheEndPlayOneAfterTheOther) {
  TestGame game;
  WriteTracks(game);
  std::vector<std::string> files;
  ASSERT_EQ(CdTracksToPlay(FindCdTracks(game.dir(), ""), 2, 0, &files), 0);
  HeadlessClock clock;
  TimedAudio audio(clock);
  std::string problem;
  ASSERT_TRUE(audio.PlayTracks(files, &problem)) << problem;
  clock.Advance(499);
  EXPECT_EQ(audio.State(SoundChannel::kCd), ChannelState::kPlaying);
  clock.Advance(1);
  EXPECT_EQ(audio.State(SoundChannel::kCd), ChannelState::kStopped) << "300 + 200 ms";
}

}  // namespace
}  // namespace tumu
