// One whole frame with every layer and window of the screen on, beside a plain memcpy of as many
// bytes as that frame writes, measured in the same run so that the ratio holds however busy the
// machine is. The frame is rebuilt on every idle turn, so it must stay near copying speed: also
// while an overlap cross-fades or a wipe reveals a new scene over all of it.
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

// What runs over the layers while the frame is composed.
enum class Effect {
  kFadeHalfWay,  // the last pass over the whole screen
  kCrossFade,    // an overlap half way, with a new background, person and foreground
  kWipeStep,     // a wipe at a step whose mask reveals part of the new scene
};

struct Scene {
  std::unique_ptr<HeadlessPlatform> platform;
  std::unique_ptr<Engine> engine;
  // What one composition writes to the back surface, in bytes.
  std::int64_t bytes_written = 0;
};

// The new pictures of a transition: an opaque background, a person and a foreground.
std::int64_t AddNewScene(Engine& engine) {
  HeldPictures& held = engine.pictures;
  EngineState& s = engine.state;
  const std::uint16_t key = *engine.screen.person_surface.color_key();
  for (int layer = 0; layer < 3; ++layer) {
    Surface565& picture = held.pending_picture[static_cast<std::size_t>(layer)];
    picture = Surface565(kWidth, kHeight);
    picture.set_color_key(key);
    PaintSprite(picture, 20 + layer, layer == 0 ? 100 : 50);
  }
  s.pending_background_set = 1;
  s.pending_person_set = 1;
  s.pending_foreground_set = 1;
  // The incoming scene: background, the four slots, person and foreground; then the outgoing
  // scene kept on the work surface.
  return 4 * kWidth * kHeight + 4 * 210 * 160;
}

// A wipe mask: black (keep the old scene) and other colours in runs, as a growing shape has.
void PaintMask(Surface565& mask) {
  Paint(mask, 30);
  Lcg lcg;
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width();) {
      const int run = 8 + static_cast<int>(lcg.Next() % 64);
      if (lcg.Next() % 2 == 0) {
        for (int i = x; i < x + run && i < mask.width(); ++i) mask.set_pixel(i, y, 0);
      }
      x += run;
    }
  }
}

Scene MakeScene(Effect effect) {
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

  switch (effect) {
    case Effect::kFadeHalfWay:
      s.fade_active = 1;
      s.transition_level = 2;
      pixels += kWidth * kHeight;
      break;
    case Effect::kCrossFade:
      pixels += AddNewScene(engine);
      s.overlap_running = 1;
      s.transition_level = 2;
      pixels += kWidth * kHeight;  // the blend
      break;
    case Effect::kWipeStep:
      pixels += AddNewScene(engine);
      // The step's mask was read when the step began; each frame only copies it.
      PaintMask(screen.mask_surface);
      s.wipe_running = 1;
      s.wipe_mask_count = 3;
      s.wipe_step = 2;
      pixels += 3 * kWidth * kHeight;  // the mask, the incoming scene, the outgoing scene over it
      break;
  }

  scene.bytes_written = pixels * 2;
  return scene;
}

void BM_Compose(benchmark::State& state, Effect effect) {
  Scene scene = MakeScene(effect);
  for (auto _ : state) {
    Compose(*scene.engine, false);
    benchmark::DoNotOptimize(scene.engine->screen.back_surface.row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * scene.bytes_written);
  state.counters["screens"] =
      static_cast<double>(scene.bytes_written) / static_cast<double>(kScreenBytes);
}
BENCHMARK_CAPTURE(BM_Compose, EveryLayer, Effect::kFadeHalfWay);
BENCHMARK_CAPTURE(BM_Compose, CrossFade, Effect::kCrossFade);
BENCHMARK_CAPTURE(BM_Compose, WipeStep, Effect::kWipeStep);

// The same number of bytes, copied screen by screen between two screen-sized buffers as the
// frame's steps do.
void BM_MemcpySameBytes(benchmark::State& state, Effect effect) {
  const std::int64_t total = MakeScene(effect).bytes_written;
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
BENCHMARK_CAPTURE(BM_MemcpySameBytes, EveryLayer, Effect::kFadeHalfWay);
BENCHMARK_CAPTURE(BM_MemcpySameBytes, CrossFade, Effect::kCrossFade);
BENCHMARK_CAPTURE(BM_MemcpySameBytes, WipeStep, Effect::kWipeStep);

}  // namespace
}  // namespace tumu
