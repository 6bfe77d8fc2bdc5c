#include "demo/bitmap_file.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <unordered_map>

#include "platform/surface565.h"

namespace demo {

namespace {

std::uint32_t Pack(Rgb c) {
  return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 |
         static_cast<std::uint32_t>(c.b);
}
Rgb Unpack(std::uint32_t v) {
  return {static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF)};
}
int Channel(std::uint32_t v, int channel) { return static_cast<int>(v >> (16 - 8 * channel) & 0xFF); }

struct Counted {
  std::uint32_t colour;
  std::uint64_t count;
};

// Median cut: the box with the widest spread of colours, weighted by how often they occur, is
// split at its weighted median until there are 256 boxes; each box gives its average colour.
std::vector<Rgb> ReducePalette(std::vector<Counted> colours) {
  struct Box {
    std::size_t begin, end;
  };
  auto spread = [&colours](const Box& box, int* widest) {
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    std::uint64_t weight = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      for (int c = 0; c < 3; ++c) {
        low[c] = std::min(low[c], Channel(colours[i].colour, c));
        high[c] = std::max(high[c], Channel(colours[i].colour, c));
      }
      weight += colours[i].count;
    }
    *widest = 0;
    for (int c = 1; c < 3; ++c) {
      if (high[c] - low[c] > high[*widest] - low[*widest]) *widest = c;
    }
    return static_cast<double>(high[*widest] - low[*widest]) * static_cast<double>(weight);
  };
  std::vector<Box> boxes{{0, colours.size()}};
  while (boxes.size() < 256) {
    std::size_t pick = boxes.size();
    double best = 0;
    int channel = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      int widest = 0;
      const double score = spread(boxes[i], &widest);
      if (score > best) {
        best = score;
        pick = i;
        channel = widest;
      }
    }
    if (pick == boxes.size()) break;
    Box& box = boxes[pick];
    std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
              colours.begin() + static_cast<std::ptrdiff_t>(box.end),
              [channel](const Counted& a, const Counted& b) {
                return Channel(a.colour, channel) < Channel(b.colour, channel);
              });
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) total += colours[i].count;
    std::uint64_t seen = 0;
    std::size_t middle = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
      seen += colours[i].count;
      middle = i + 1;
      if (seen * 2 >= total) break;
    }
    const Box upper{middle, box.end};
    box.end = middle;
    boxes.push_back(upper);
  }
  std::vector<Rgb> palette;
  for (const Box& box : boxes) {
    double r = 0, g = 0, b = 0, weight = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      const double w = static_cast<double>(colours[i].count);
      r += Channel(colours[i].colour, 0) * w;
      g += Channel(colours[i].colour, 1) * w;
      b += Channel(colours[i].colour, 2) * w;
      weight += w;
    }
    palette.push_back({static_cast<int>(r / weight + 0.5), static_cast<int>(g / weight + 0.5),
                       static_cast<int>(b / weight + 0.5)});
  }
  return palette;
}

// What the player's 16-bit screen makes of a colour decides whether it is the transparent white.
bool TurnsWhite(Rgb c) {
  const tumu::PixelFormat format;
  return tumu::ColorToPixel(format, c.r, c.g, c.b) == tumu::ColorToPixel(format, 255, 255, 255);
}

// One row in the run-length encoding of 8-bit bitmaps: runs of a colour where they pay, and
// literal stretches ("absolute" runs) in between.
void EncodeRow(const std::vector<std::uint8_t>& row, Bytes& out) {
  const std::size_t width = row.size();
  auto run_at = [&row, width](std::size_t i) {
    std::size_t n = 1;
    while (i + n < width && n < 255 && row[i + n] == row[i]) ++n;
    return n;
  };
  std::size_t i = 0;
  while (i < width) {
    const std::size_t run = run_at(i);
    if (run >= 3) {
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    std::size_t end = i;
    while (end < width && end - i < 255 && run_at(end) < 3) ++end;
    const std::size_t length = end - i;
    if (length < 3) {
      for (std::size_t k = i; k < end; ++k) {
        out.push_back(1);
        out.push_back(row[k]);
      }
    } else {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(length));
      out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(i),
                 row.begin() + static_cast<std::ptrdiff_t>(end));
      if (length % 2) out.push_back(0);
    }
    i = end;
  }
}

}  // namespace

Bytes PictureFile(const Canvas& canvas, Layer layer) {
  const int width = canvas.width();
  const int height = canvas.height();
  std::unordered_map<std::uint32_t, std::uint64_t> counts;
  auto colour_at = [&](int x, int y) {
    Rgb c = canvas.Get(x, y);
    if (layer == Layer::kKeyed && !(c == kClear) && TurnsWhite(c)) c = {244, 244, 244};
    return c;
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) ++counts[Pack(colour_at(x, y))];
  }
  std::vector<Counted> colours;
  for (const auto& [colour, count] : counts) colours.push_back({colour, count});
  std::sort(colours.begin(), colours.end(),
            [](const Counted& a, const Counted& b) { return a.colour < b.colour; });
  std::vector<Rgb> palette;
  if (colours.size() <= 256) {
    for (const Counted& c : colours) palette.push_back(Unpack(c.colour));
  } else {
    palette = ReducePalette(colours);
  }
  std::unordered_map<std::uint32_t, std::uint8_t> index_of;
  for (const auto& [colour, count] : colours) {
    const Rgb c = Unpack(colour);
    std::size_t best = 0;
    int best_distance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
      const Rgb p = palette[i];
      const int d = (p.r - c.r) * (p.r - c.r) * 3 + (p.g - c.g) * (p.g - c.g) * 4 + (p.b - c.b) * (p.b - c.b) * 2;
      if (d < best_distance) {
        best_distance = d;
        best = i;
      }
    }
    index_of[colour] = static_cast<std::uint8_t>(best);
  }
  if (layer == Layer::kKeyed) {
    for (const auto& [colour, index] : index_of) {
      if ((Unpack(colour) == kClear) != (palette[index] == kClear)) {
        throw std::runtime_error("a keyed picture lost its transparent colour in the palette");
      }
    }
  }

  Bytes pixels;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = index_of[Pack(colour_at(x, y))];
    EncodeRow(row, pixels);
    pixels.push_back(0);
    pixels.push_back(y == 0 ? 1 : 0);  // end of the row; after the last one, end of the picture
  }

  Bytes table;
  for (const Rgb& p : palette) {
    table.push_back(static_cast<std::uint8_t>(p.b));
    table.push_back(static_cast<std::uint8_t>(p.g));
    table.push_back(static_cast<std::uint8_t>(p.r));
    table.push_back(0);
  }
  Bytes out = {'Z', 'Q', 'B', 'M'};
  const auto offset = static_cast<std::uint32_t>(14 + 40 + table.size());
  Put32(out, offset + static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 1);  // run-length encoded, 8 bits
  Put32(out, static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, static_cast<std::uint32_t>(palette.size()));
  Put32(out, 0);
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

}  // namespace demo
