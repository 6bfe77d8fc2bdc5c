// Decoding a full-screen picture: ours beside SDL's bitmap loader on the same bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "picture/bitmap_decoder.h"

#if __has_include(<SDL.h>)
#include <SDL.h>
#define TUMU_BENCH_WITH_SDL 1
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void PutU16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(Bytes& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// A background as the game's artists drew them: a sky of horizontal bands, a horizontal colour
// ramp, flat walls and a dithered, noisy floor.
std::uint8_t BackgroundIndex(int x, int y) {
  if (y < 120) return static_cast<std::uint8_t>(16 + y / 8);
  if (y < 200) return static_cast<std::uint8_t>(40 + x / 12);
  if (y < 340) {
    if (x < 200) return 100;
    if (x < 260) return static_cast<std::uint8_t>(101 + (y / 20) % 3);
    return x < 500 ? 110 : 111;
  }
  std::uint32_t h =
      static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
  h ^= h >> 13;
  return static_cast<std::uint8_t>(((x + y) & 1) ? 150 + (h & 3) : 160 + ((h >> 4) & 1));
}

// One row in RLE8: runs of three or more as encoded runs, the rest as absolute runs (or short
// encoded ones, which absolute runs cannot be), then an end of line.
void EncodeRow(const std::uint8_t* row, int width, Bytes& out) {
  int x = 0;
  while (x < width) {
    int run = 1;
    while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
    if (run >= 3) {
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    int literal = 0;
    while (x + literal < width && literal < 255) {
      const int at = x + literal;
      if (at + 2 < width && row[at] == row[at + 1] && row[at] == row[at + 2]) break;
      ++literal;
    }
    if (literal < 3) {
      for (int i = 0; i < literal; ++i) {
        out.push_back(1);
        out.push_back(row[x + i]);
      }
    } else {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(literal));
      out.insert(out.end(), row + x, row + x + literal);
      if (literal & 1) out.push_back(0);
    }
    x += literal;
  }
  out.push_back(0);
  out.push_back(0);
}

Bytes BitmapFile(int bits, std::uint32_t compression, const Bytes& palette, const Bytes& pixels) {
  Bytes out{'B', 'M'};
  const auto offset = static_cast<std::uint32_t>(14 + 40 + palette.size());
  PutU32(out, offset + static_cast<std::uint32_t>(pixels.size()));
  PutU32(out, 0);
  PutU32(out, offset);
  PutU32(out, 40);
  PutU32(out, kWidth);
  PutU32(out, kHeight);
  PutU16(out, 1);
  PutU16(out, static_cast<std::uint32_t>(bits));
  PutU32(out, compression);
  PutU32(out, static_cast<std::uint32_t>(pixels.size()));
  PutU32(out, 2835);
  PutU32(out, 2835);
  PutU32(out, bits == 8 ? 256 : 0);
  PutU32(out, 0);
  out.insert(out.end(), palette.begin(), palette.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

Bytes Palette() {
  Bytes palette;
  for (int i = 0; i < 256; ++i) {
    palette.push_back(static_cast<std::uint8_t>(i * 7));
    palette.push_back(static_cast<std::uint8_t>(255 - i));
    palette.push_back(static_cast<std::uint8_t>(i * 3));
    palette.push_back(0);
  }
  return palette;
}

const Bytes& Rle8Picture() {
  static const Bytes file = [] {
    Bytes data;
    std::vector<std::uint8_t> row(kWidth);
    for (int y = kHeight - 1; y >= 0; --y) {  // bottom row first
      for (int x = 0; x < kWidth; ++x) row[x] = BackgroundIndex(x, y);
      EncodeRow(row.data(), kWidth, data);
    }
    data.push_back(0);
    data.push_back(1);
    return BitmapFile(8, 1, Palette(), data);
  }();
  return file;
}

const Bytes& TrueColourPicture() {
  static const Bytes file = [] {
    Bytes data;
    const Bytes palette = Palette();
    for (int y = kHeight - 1; y >= 0; --y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint8_t i = BackgroundIndex(x, y);
        data.insert(data.end(), palette.begin() + 4 * i, palette.begin() + 4 * i + 3);
      }
    }
    return BitmapFile(24, 0, {}, data);
  }();
  return file;
}

void Decode(benchmark::State& state, const Bytes& file) {
  const tumu::PixelFormat format;
  for (auto _ : state) {
    auto picture = tumu::DecodePackagedPicture(file, format);
    if (!picture) {
      state.SkipWithError("the picture did not decode");
      return;
    }
    benchmark::DoNotOptimize(picture->pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

void BM_OursRle8(benchmark::State& state) { Decode(state, Rle8Picture()); }
void BM_OursUncompressed24(benchmark::State& state) { Decode(state, TrueColourPicture()); }
BENCHMARK(BM_OursRle8);
BENCHMARK(BM_OursUncompressed24);

#ifdef TUMU_BENCH_WITH_SDL
// SDL's loader alone (an 8-bit or 24-bit surface), and followed by the conversion to 5-6-5 that
// our decoder's output already includes.
// Both decoders must see the same picture, or the comparison means nothing.
bool SamePicture(const Bytes& file) {
  const auto ours = tumu::DecodePackagedPicture(file, tumu::PixelFormat{});
  SDL_Surface* loaded =
      SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1);
  if (!ours || !loaded) return false;
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0);
  bool same = converted->w == ours->width && converted->h == ours->height;
  for (int y = 0; same && y < converted->h; ++y) {
    const auto* row = reinterpret_cast<const std::uint16_t*>(
        static_cast<const std::uint8_t*>(converted->pixels) + y * converted->pitch);
    for (int x = 0; same && x < converted->w; ++x) {
      same = row[x] == ours->pixels[static_cast<std::size_t>(y) * ours->width + x];
    }
  }
  SDL_FreeSurface(converted);
  SDL_FreeSurface(loaded);
  return same;
}

void SdlLoad(benchmark::State& state, const Bytes& file, bool to_565) {
  if (!SamePicture(file)) {
    state.SkipWithError("SDL and our decoder disagree on the picture");
    return;
  }
  for (auto _ : state) {
    SDL_Surface* loaded =
        SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1);
    if (!loaded) {
      state.SkipWithError(SDL_GetError());
      return;
    }
    if (to_565) {
      SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0);
      benchmark::DoNotOptimize(converted->pixels);
      SDL_FreeSurface(converted);
    }
    benchmark::DoNotOptimize(loaded->pixels);
    SDL_FreeSurface(loaded);
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_SdlRle8(benchmark::State& state) { SdlLoad(state, Rle8Picture(), false); }
void BM_SdlRle8To565(benchmark::State& state) { SdlLoad(state, Rle8Picture(), true); }
void BM_SdlUncompressed24(benchmark::State& state) { SdlLoad(state, TrueColourPicture(), false); }
void BM_SdlUncompressed24To565(benchmark::State& state) {
  SdlLoad(state, TrueColourPicture(), true);
}
BENCHMARK(BM_SdlRle8);
BENCHMARK(BM_SdlRle8To565);
BENCHMARK(BM_SdlUncompressed24);
BENCHMARK(BM_SdlUncompressed24To565);
#endif

}  // namespace
