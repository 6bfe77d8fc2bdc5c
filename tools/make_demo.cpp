// Builds the demo game: scenarios from readable UTF-8 sources (converted to Shift-JIS and
// scrambled as packaged games are), the configuration file, and pictures drawn here in code.
// Files are named in UTF-8 on disk; the player finds them from the scenario's Shift-JIS names.
//
//   make_demo SOURCE_DIR OUT_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/scenario.h"
#include "platform/sjis.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
          static_cast<int>(a.b + (b.b - a.b) * t)};
}

// A picture being drawn, top-down.
struct Canvas {
  int width;
  int height;
  std::vector<Rgb> pixels;
  Canvas(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<std::size_t>(y) * width + x] = c;
  }
  Rgb Get(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  void Disc(double cx, double cy, double radius, Rgb c) {
    for (int y = static_cast<int>(cy - radius); y <= cy + radius; ++y) {
      for (int x = static_cast<int>(cx - radius); x <= cx + radius; ++x) {
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius) Set(x, y, c);
      }
    }
  }
  void Box(int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) Set(x, y, c);
    }
  }
};

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A bitmap file: the marker, the file header, a 40-byte information header, a colour table and
// the pixel data.
Bytes BitmapFile(int width, int height, int bits, std::uint32_t compression, const Bytes& table,
                 const Bytes& pixels) {
  Bytes out = {'Z', 'Q', 'B', 'M'};
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(table.size());
  Put32(out, offset + static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bits));
  Put32(out, compression);
  Put32(out, static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, static_cast<std::uint32_t>(table.size() / 4));
  Put32(out, 0);
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

Bytes TrueColour(const Canvas& c) {
  const int stride = (c.width * 3 + 3) & ~3;
  Bytes pixels;
  for (int y = c.height - 1; y >= 0; --y) {
    for (int x = 0; x < c.width; ++x) {
      const Rgb p = c.Get(x, y);
      pixels.push_back(static_cast<std::uint8_t>(p.b));
      pixels.push_back(static_cast<std::uint8_t>(p.g));
      pixels.push_back(static_cast<std::uint8_t>(p.r));
    }
    for (int i = c.width * 3; i < stride; ++i) pixels.push_back(0);
  }
  return BitmapFile(c.width, c.height, 24, 0, {}, pixels);
}

// An 8-bit picture whose colours come from a palette, stored run-length compressed.
Bytes PaletteRle8(const Canvas& c, const std::vector<Rgb>& palette) {
  auto index_of = [&palette](Rgb p) {
    std::size_t best = 0;
    int best_distance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
      const int d = (palette[i].r - p.r) * (palette[i].r - p.r) +
                    (palette[i].g - p.g) * (palette[i].g - p.g) +
                    (palette[i].b - p.b) * (palette[i].b - p.b);
      if (d < best_distance) {
        best_distance = d;
        best = i;
      }
    }
    return static_cast<std::uint8_t>(best);
  };
  Bytes table;
  for (const Rgb& p : palette) {
    table.push_back(static_cast<std::uint8_t>(p.b));
    table.push_back(static_cast<std::uint8_t>(p.g));
    table.push_back(static_cast<std::uint8_t>(p.r));
    table.push_back(0);
  }
  Bytes data;
  for (int y = c.height - 1; y >= 0; --y) {
    int x = 0;
    while (x < c.width) {
      const std::uint8_t index = index_of(c.Get(x, y));
      int run = 1;
      while (x + run < c.width && run < 255 && index_of(c.Get(x + run, y)) == index) ++run;
      data.push_back(static_cast<std::uint8_t>(run));
      data.push_back(index);
      x += run;
    }
    data.push_back(0);
    data.push_back(y == 0 ? 1 : 0);  // end of line, end of the picture after the last row
  }
  return BitmapFile(c.width, c.height, 8, 1, table, data);
}

const Rgb kWhite{255, 255, 255};

Canvas Sky() {
  Canvas c(640, 480, kWhite);
  const Rgb top{24, 36, 92};
  const Rgb horizon{246, 162, 92};
  for (int y = 0; y < 480; ++y) {
    const Rgb row = Mix(top, horizon, std::min(1.0, y / 330.0));
    for (int x = 0; x < 640; ++x) c.Set(x, y, row);
  }
  c.Disc(470, 300, 46, {255, 226, 140});
  for (int x = 0; x < 640; ++x) {
    const int far_hill = 320 + static_cast<int>(28 * std::sin(x / 70.0) + 14 * std::sin(x / 23.0));
    const int near_hill = 372 + static_cast<int>(22 * std::sin(x / 110.0 + 1.7));
    for (int y = far_hill; y < 480; ++y) c.Set(x, y, {72, 96, 112});
    for (int y = near_hill; y < 480; ++y) c.Set(x, y, {40, 78, 60});
  }
  return c;
}

std::vector<Rgb> SkyPalette() {
  std::vector<Rgb> palette;
  for (int i = 0; i < 250; ++i) palette.push_back(Mix({24, 36, 92}, {246, 162, 92}, i / 249.0));
  palette.push_back({255, 226, 140});
  palette.push_back({72, 96, 112});
  palette.push_back({40, 78, 60});
  return palette;
}

Canvas Room() {
  Canvas c(640, 480, kWhite);
  c.Box(0, 0, 640, 330, {214, 196, 160});
  for (int x = 0; x < 640; x += 80) c.Box(x, 0, x + 3, 330, {196, 176, 140});
  for (int y = 330; y < 480; ++y) {
    const Rgb wood = Mix({140, 92, 52}, {98, 60, 30}, (y - 330) / 150.0);
    for (int x = 0; x < 640; ++x) c.Set(x, y, (x / 90 + y / 30) % 2 ? wood : Mix(wood, {0, 0, 0}, 0.12));
  }
  c.Box(380, 60, 580, 230, {90, 66, 40});
  for (int y = 70; y < 220; ++y) {
    for (int x = 390; x < 570; ++x) c.Set(x, y, Mix({120, 170, 230}, {220, 236, 250}, (y - 70) / 150.0));
  }
  c.Box(476, 70, 484, 220, {90, 66, 40});
  c.Box(390, 141, 570, 149, {90, 66, 40});
  return c;
}

// A figure on the mask colour (white), standing at the bottom of the screen.
Canvas Person() {
  Canvas c(640, 480, kWhite);
  const Rgb coat{60, 70, 140};
  const Rgb skin{250, 214, 180};
  const Rgb hair{60, 40, 30};
  for (int y = 250; y < 480; ++y) {
    const int half = 70 + (y - 250) / 3;
    c.Box(320 - half, y, 320 + half, y + 1, coat);
  }
  c.Box(300, 226, 340, 256, skin);
  c.Disc(320, 180, 58, hair);
  c.Disc(320, 192, 50, skin);
  c.Box(270, 130, 370, 160, hair);
  c.Disc(302, 196, 5, {40, 40, 40});
  c.Disc(338, 196, 5, {40, 40, 40});
  c.Box(308, 220, 332, 224, {200, 90, 90});
  return c;
}

Canvas Flowers() {
  Canvas c(640, 480, kWhite);
  for (int x = 0; x < 640; ++x) {
    const int top = 440 + static_cast<int>(8 * std::sin(x / 9.0));
    for (int y = top; y < 480; ++y) c.Set(x, y, {52, 130, 60});
  }
  const Rgb colours[] = {{230, 80, 110}, {250, 210, 60}, {150, 110, 230}};
  for (int i = 0; i < 14; ++i) {
    const int x = 24 + i * 46;
    const int y = 420 + (i % 3) * 9;
    c.Box(x - 1, y, x + 2, 460, {40, 110, 50});
    for (int k = 0; k < 5; ++k) {
      c.Disc(x + 9 * std::cos(k * 1.2566), y + 9 * std::sin(k * 1.2566), 6, colours[i % 3]);
    }
    c.Disc(x, y, 4, {255, 240, 200});
  }
  return c;
}

bool WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

Bytes ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string utf8((std::istreambuf_iterator<char>(in)), {});
  const std::string sjis = tumu::Utf8ToSjis(utf8);
  return Bytes(sjis.begin(), sjis.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_demo SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  const fs::path source = argv[1];
  const fs::path out = argv[2];
  fs::create_directories(out);
  bool ok = true;
  for (const auto& entry : fs::directory_iterator(source)) {
    if (entry.path().extension() != ".txt") continue;
    const std::string stem = entry.path().stem().string();
    const Bytes plain = ReadText(entry.path());
    if (stem == "tumu") {
      ok = WriteBytes(out / "tumu.ini", plain) && ok;
    } else {
      ok = WriteBytes(out / (stem + ".st1"), tumu::ScrambleScenario(plain)) && ok;
    }
  }
  ok = WriteBytes(out / "空.sb1", PaletteRle8(Sky(), SkyPalette())) && ok;
  ok = WriteBytes(out / "部屋.sb1", TrueColour(Room())) && ok;
  ok = WriteBytes(out / "人.sb1", TrueColour(Person())) && ok;
  ok = WriteBytes(out / "花.sb1", TrueColour(Flowers())) && ok;
  if (!ok) {
    std::fprintf(stderr, "make_demo: cannot write into %s\n", out.c_str());
    return 1;
  }
  return 0;
}
