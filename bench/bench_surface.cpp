// The per-frame pixel work of a full 640x480 screen, each beside a plain memcpy of the same
// number of bytes measured in the same run, so the ratio holds however busy the machine is.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sjis_literal.h"
#include "platform/surface565.h"
#include "platform/text_renderer.h"

namespace tumu {
namespace {

using namespace literals;

using bench::kHeight;
using bench::kScreenBytes;
using bench::kWidth;
using bench::Lcg;
constexpr std::uint16_t kKey = 0xFFFF;

// A picture of noise that never hits the key.
Surface565 Picture(std::uint32_t salt) {
  Surface565 s(kWidth, kHeight);
  Lcg lcg;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      s.set_pixel(x, y, static_cast<std::uint16_t>((lcg.Next() ^ salt) % 0xFFFF));
    }
  }
  return s;
}

// A sprite as the game's layers look: runs of key (transparent) and picture pixels, 8 to 71
// pixels long, about half of them keyed.
Surface565 KeyedSprite() {
  Surface565 s = Picture(7);
  s.set_color_key(kKey);
  Lcg lcg;
  for (int y = 0; y < kHeight; ++y) {
    bool keyed = (y & 1) != 0;
    for (int x = 0; x < kWidth;) {
      const int run = 8 + static_cast<int>(lcg.Next() % 64);
      for (int i = x; i < x + run && i < kWidth; ++i) {
        if (keyed) s.set_pixel(i, y, kKey);
      }
      x += run;
      keyed = !keyed;
    }
  }
  return s;
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<std::uint16_t> from(kScreenBytes / 2, 0x1234);
  std::vector<std::uint16_t> to(kScreenBytes / 2);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kScreenBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_Memcpy);

void BM_CopyRect(benchmark::State& state) {
  const Surface565 source = Picture(1);
  Surface565 dest(kWidth, kHeight);
  for (auto _ : state) {
    CopyRect(dest, 0, 0, source, WholeSurface(source));
    benchmark::DoNotOptimize(dest.row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_CopyRect);

void BM_CopyRectKeyed(benchmark::State& state) {
  const Surface565 source = KeyedSprite();
  Surface565 dest = Picture(2);
  for (auto _ : state) {
    CopyRectKeyed(dest, 0, 0, source, WholeSurface(source));
    benchmark::DoNotOptimize(dest.row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_CopyRectKeyed);

void BM_DarkenRectHalf(benchmark::State& state) {
  Surface565 screen = Picture(3);
  const PixelFormat format;
  for (auto _ : state) {
    // Halving again and again drives the screen to black; the work per pixel stays the same.
    DarkenRect(screen, format, {0, 0, kWidth, kHeight}, 2);
    benchmark::DoNotOptimize(screen.row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_DarkenRectHalf);

void BM_CrossFadeHalf(benchmark::State& state) {
  const Surface565 outgoing = Picture(4);
  const Surface565 incoming = Picture(5);
  Surface565 dest(kWidth, kHeight);
  const PixelFormat format;
  for (auto _ : state) {
    CrossFade(dest, format, outgoing, incoming, 2);
    benchmark::DoNotOptimize(dest.row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_CrossFadeHalf);

// A dialogue row: twenty full-width characters at the game's usual 18 pixels, drawn again and
// again as the engine redraws its windows (the glyphs come from the cache after the first draw).
void BM_DrawTextLine(benchmark::State& state) {
  std::string error;
  auto font = TextRenderer::Open("", &error);
  if (!font) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::string_view line = "今日は良い天気ですね。散歩に出かけましょうか？"_sj.view().substr(0, 40);
  Surface565 surface(kWidth, 240);
  for (auto _ : state) {
    benchmark::DoNotOptimize(font->DrawText(surface, 10, 10, line, 18, 0xF800, 0xFFFF));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_DrawTextLine);

}  // namespace
}  // namespace tumu
