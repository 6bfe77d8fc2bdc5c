// One whole frame with every layer and window of the screen on, beside a plain memcpy of as many
// bytes as that frame writes, measured in the same run so that the ratio holds however busy the
// machine is. The frame is rebuilt on every idle turn, so it must stay near copying speed.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/compose.h"
#include "platform/headless/headless_platform.h"

namespace tumu {
namespace {

using bench::kHeight;
using bench::kScreenBytes;
using bench::kWidth;
using bench::Lcg;

// Noise that never hits a key.
void Paint(Surface565& s, std::uint32_t salt) {
  Lcg lcg;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      s.set_pixel(x, y, static_cast<std::uint16_t>(((lcg.Next() ^ salt) % 0xFFF0) + 1));
    }
  }
}

// A layer as games draw them: runs of picture and of the key, 8 to 71 pixels long, `percent` of
// the rows carrying picture at all (a person is a figure in the middle; the text window's layer
// is mostly empty).
void PaintSprite(Surface565& s, std::uint32_t salt, int percent) {
  Paint(s, salt);
  const std::uint16_t key = *s.color_key();
  Lcg lcg;
  for (int y = 0; y < s.height(); ++y) {
    const bool empty_row = static_cast<int>(lcg.Next() % 100) >= percent;
    bool keyed = (y & 1) != 0;
    for (int x = 0; x < s.width();) {
      const int run = 8 + static_cast<int>(lcg.Next() % 64);
      for (int i = x; i < x + run && i < s.width(); ++i) {
        if (keyed || empty_row) s.set_pixel(i, y, key);
      }
      x += run;
      keyed = !keyed;
    }
  }
}

struct Scene {
  std::unique_ptr<HeadlessPlatform> platform;
  std::unique_ptr<Engine> engine;
  // What one composition writes to the back surface, in bytes.
  std::int64_t bytes_written = 0;
};

Scene MakeScene() {
  Scene scene;
  scene.platform = std::make_unique<HeadlessPlatform>(HeadlessOptions{});
  scene.engine = std::make_unique<Engine>(scene.platform->platform(), nullptr, Options{});
  Engine& engine = *scene.engine;
  Screen& screen = engine.screen;
  EngineState& s = engine.state;
  CreateWorkSurfaces(screen);
  SetLayerColorKeys(screen, 255, 255, 255);

  std::int64_t pixels = 0;
  Paint(screen.background_surface, 1);
  s.background_on = 1;
  pixels += kWidth * kHeight;

  for (int slot = 0; slot < 4; ++slot) {
    Surface565& strip = screen.partial_surface[static_cast<std::size_t>(slot)];
    PaintSprite(strip, 10 + slot, 80);
    PartialSlot& p = s.partial[static_cast<std::size_t>(slot)];
    p.partial_on = 1;
    p.partial_frame = 1 + slot % 3;
    p.partial_x = 40 + 140 * slot;
    p.partial_y = 60 + 50 * slot;
    pixels += 210 * 160;
  }
  PaintSprite(screen.person_surface, 2, 60);
  s.person_on = 1;
  PaintSprite(screen.foreground_surface, 3, 40);
  s.foreground_on = 1;
  PaintSprite(screen.incoming_surface, 4, 30);
  s.hover_picture_shown = 1;
  pixels += 3 * kWidth * kHeight;

  // The text window over a darkened screen: a darkening and a keyed copy of the whole screen.
  PaintSprite(screen.frontmost_surface, 5, 15);
  s.frontmost_on = 1;
  s.text_translucent = 1;
  pixels += 2 * kWidth * kHeight;

  // The dialogue window: its rectangle darkened, its text copied, its frame copied whole.
  PaintSprite(screen.dialogue_text_surface, 6, 40);
  PaintSprite(screen.dialogue_frame_surface, 7, 2);
  s.dialogue_visible = 1;
  pixels += 2 * s.dialogue_width * s.dialogue_height + kWidth * kHeight;

  // A variable display of five rows, 300 pixels wide, already rendered.
  PaintSprite(screen.variable_surface, 8, 50);
  s.variable_display_on = 1;
  s.display_line_count = 5;
  s.variable_box_width = 300;
  pixels += 2 * 300 * (20 + 20 * 5);

  PaintSprite(screen.click_mark_surface, 9, 70);
  s.click_mark_shown = 1;
  s.click_mark_frame = 2;
  pixels += 80 * 80;

  // A fade half way: the last pass over the whole screen.
  s.fade_active = 1;
  s.transition_level = 2;
  pixels += kWidth * kHeight;

  scene.bytes_written = pixels * 2;
  return scene;
}

void BM_ComposeEveryLayer(benchmark::State& state) {
  Scene scene = MakeScene();
  for (auto _ : state) {
    Compose(*scene.engine, false);
    benchmark::DoNotOptimize(scene.engine->screen.back_surface.row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * scene.bytes_written);
  state.counters["screens"] =
      static_cast<double>(scene.bytes_written) / static_cast<double>(kScreenBytes);
}
BENCHMARK(BM_ComposeEveryLayer);

// The same number of bytes, copied screen by screen between two screen-sized buffers as the
// frame's steps do.
void BM_MemcpySameBytes(benchmark::State& state) {
  const std::int64_t total = MakeScene().bytes_written;
  std::vector<std::uint8_t> from(kScreenBytes, 0x5A);
  std::vector<std::uint8_t> to(kScreenBytes);
  for (auto _ : state) {
    for (std::int64_t left = total; left > 0; left -= kScreenBytes) {
      std::memcpy(to.data(), from.data(), static_cast<std::size_t>(std::min(left, kScreenBytes)));
      benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(state.iterations() * total);
}
BENCHMARK(BM_MemcpySameBytes);

}  // namespace
}  // namespace tumu
