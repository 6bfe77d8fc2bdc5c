#include "picture/bitmap_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tumu {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
// From this size on the header itself carries the colour masks (the later header versions).
constexpr std::uint32_t kHeaderWithMasksSize = 52;

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitFields = 3;

// Callers check that the bytes exist before reading them.
std::uint32_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::int64_t ReadI32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int32_t>(ReadU32(bytes, at));
}

// The standard row length of bitmap pixel data: whole 32-bit words.
std::uint64_t RowStride(int bits, std::int64_t width) {
  return (static_cast<std::uint64_t>(bits) * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
}

// Each component of ColorToPixel lands in its own channel, so a display pixel is the OR of three
// per-component lookups; this keeps the conversion exact and cheap per pixel.
class ComponentTables {
 public:
  explicit ComponentTables(const PixelFormat& format) {
    for (int v = 0; v < 256; ++v) {
      red_[v] = ColorToPixel(format, v, 0, 0);
      green_[v] = ColorToPixel(format, 0, v, 0);
      blue_[v] = ColorToPixel(format, 0, 0, v);
    }
  }
  std::uint16_t Pixel(std::uint32_t red, std::uint32_t green, std::uint32_t blue) const {
    return static_cast<std::uint16_t>(red_[red & 0xFF] | green_[green & 0xFF] | blue_[blue & 0xFF]);
  }

 private:
  std::array<std::uint16_t, 256> red_{};
  std::array<std::uint16_t, 256> green_{};
  std::array<std::uint16_t, 256> blue_{};
};

// One colour channel of a pixel stored under a bit mask (16- and 32-bit pictures).
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  static Channel FromMask(std::uint32_t mask) {
    if (mask == 0) return {};
    const int shift = std::countr_zero(mask);
    return {mask, shift, static_cast<int>(std::bit_width(mask >> shift))};
  }

  // The channel as an 8-bit component: narrower channels repeat their bits from the top, so that
  // a full channel becomes 255; wider ones keep their top 8 bits.
  std::uint32_t Component(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return value >> (bits - 8);
    std::uint32_t repeated = 0;
    int filled = 0;
    while (filled < 8) {
      repeated = (repeated << bits) | value;
      filled += bits;
    }
    return repeated >> (filled - 8);
  }
};

// Everything the headers say about how to turn the pixel data into a picture.
struct Layout {
  int width = 0;
  int height = 0;
  bool top_down = false;
  int bits = 0;
  std::uint32_t compression = kCompressionNone;
  std::size_t pixel_offset = 0;  // counted from "BM"
  bool use_masks = false;        // 16 and 32 bits: channels from `channels`, else B, G, R bytes
  std::array<Channel, 3> channels;
  // Display pixels of the colour table; an index past the table stays 0, which is black in any
  // pixel format.
  std::array<std::uint16_t, 256> palette{};
};

bool SupportedBits(std::uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

void ReadColourTable(std::span<const std::uint8_t> bitmap, std::size_t table_start,
                     std::size_t entry_size, std::uint64_t colours_used,
                     const ComponentTables& tables, Layout& layout) {
  const std::uint64_t index_count = std::uint64_t{1} << layout.bits;
  // The table ends where the pixel data begin; entries that would lie beyond do not exist.
  const std::uint64_t room = (layout.pixel_offset - table_start) / entry_size;
  const std::uint64_t declared = colours_used == 0 ? index_count : colours_used;
  const std::uint64_t count = std::min({declared, index_count, room});
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::size_t at = table_start + i * entry_size;
    layout.palette[i] = tables.Pixel(bitmap[at + 2], bitmap[at + 1], bitmap[at]);
  }
}

// Reads and checks the headers of a bitmap file (starting at "BM"). Gives nothing for a file that
// does not hold together or that the game could not show.
// Gives nothing, saying why when asked.
std::nullopt_t Refuse(std::string* why, const char* reason) {
  if (why != nullptr) *why = reason;
  return std::nullopt;
}

std::optional<Layout> ReadLayout(std::span<const std::uint8_t> bitmap,
                                 const ComponentTables& tables, std::string* why) {
  if (bitmap.size() < kFileHeaderSize + 4) return Refuse(why, "truncated: too short for a bitmap");
  if (bitmap[0] != 'B' || bitmap[1] != 'M') return Refuse(why, "not a bitmap");
  Layout layout;
  const std::uint64_t pixel_offset = ReadU32(bitmap, 10);
  const std::uint64_t header_size = ReadU32(bitmap, 14);
  if (pixel_offset > bitmap.size()) return Refuse(why, "truncated: the pixels lie past the end");
  if (kFileHeaderSize + header_size > pixel_offset) return Refuse(why, "truncated header");
  if (header_size != kCoreHeaderSize && header_size < kInfoHeaderSize) {
    return Refuse(why, "unknown header");
  }
  layout.pixel_offset = static_cast<std::size_t>(pixel_offset);
  const auto info = bitmap.subspan(kFileHeaderSize, static_cast<std::size_t>(header_size));

  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bits = 0;
  std::uint64_t colours_used = 0;
  const bool core = header_size == kCoreHeaderSize;
  if (core) {
    width = ReadU16(info, 4);
    height = ReadU16(info, 6);
    planes = ReadU16(info, 8);
    bits = ReadU16(info, 10);
  } else {
    width = ReadI32(info, 4);
    height = ReadI32(info, 8);
    planes = ReadU16(info, 12);
    bits = ReadU16(info, 14);
    layout.compression = ReadU32(info, 16);
    colours_used = ReadU32(info, 32);
  }
  if (planes != 1 || !SupportedBits(bits)) return Refuse(why, "unsupported depth");
  layout.top_down = height < 0;
  height = height < 0 ? -height : height;
  if (width <= 0 || height <= 0) return Refuse(why, "empty picture");
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
    return Refuse(why, "too large");
  }
  layout.width = static_cast<int>(width);
  layout.height = static_cast<int>(height);
  layout.bits = static_cast<int>(bits);

  switch (layout.compression) {
    case kCompressionNone:
      break;
    case kCompressionRle8:
    case kCompressionRle4:
      // Run-length data always run bottom-up, at the one depth their encoding is made for.
      if (layout.top_down) return Refuse(why, "unsupported: top-down run-length data");
      if (bits != (layout.compression == kCompressionRle8 ? 8u : 4u)) {
        return Refuse(why, "unsupported depth for run-length data");
      }
      break;
    case kCompressionBitFields:
      if (bits != 16 && bits != 32) return Refuse(why, "unsupported depth for bit fields");
      break;
    default:
      // Embedded JPEG or PNG and the rest: nothing the game could show.
      return Refuse(why, "unsupported compression");
  }

  if (layout.compression == kCompressionBitFields) {
    std::size_t masks_at = kFileHeaderSize + kInfoHeaderSize;
    if (header_size < kHeaderWithMasksSize) {
      masks_at = kFileHeaderSize + static_cast<std::size_t>(header_size);
      if (masks_at + 12 > layout.pixel_offset) return Refuse(why, "truncated bit fields");
    }
    layout.use_masks = true;
    for (int c = 0; c < 3; ++c) {
      layout.channels[c] = Channel::FromMask(ReadU32(bitmap, masks_at + 4 * c));
    }
  } else if (bits == 16) {
    layout.use_masks = true;
    layout.channels = {Channel::FromMask(0x7C00), Channel::FromMask(0x03E0),
                       Channel::FromMask(0x001F)};
  }

  if (bits <= 8) {
    ReadColourTable(bitmap, kFileHeaderSize + static_cast<std::size_t>(header_size), core ? 3 : 4,
                    colours_used, tables, layout);
  }
  return layout;
}

// Converts one stored row (at least a whole stride of bytes) into display pixels.
void ConvertRow(const Layout& layout, const ComponentTables& tables, const std::uint8_t* source,
                std::uint16_t* dest) {
  const int width = layout.width;
  switch (layout.bits) {
    case 1:
      for (int x = 0; x < width; ++x)
        dest[x] = layout.palette[(source[x >> 3] >> (7 - (x & 7))) & 1];
      break;
    case 4:
      for (int x = 0; x < width; ++x) {
        dest[x] = layout.palette[(source[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
      }
      break;
    case 8:
      for (int x = 0; x < width; ++x) dest[x] = layout.palette[source[x]];
      break;
    case 16:
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = source[2 * x] | (source[2 * x + 1] << 8);
        dest[x] = tables.Pixel(layout.channels[0].Component(p), layout.channels[1].Component(p),
                               layout.channels[2].Component(p));
      }
      break;
    case 24:
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = source + 3 * x;
        dest[x] = tables.Pixel(p[2], p[1], p[0]);
      }
      break;
    default:
      if (layout.use_masks) {
        for (int x = 0; x < width; ++x) {
          const std::uint8_t* b = source + 4 * x;
          const std::uint32_t p = static_cast<std::uint32_t>(b[0]) | (b[1] << 8) | (b[2] << 16) |
                                  (static_cast<std::uint32_t>(b[3]) << 24);
          dest[x] = tables.Pixel(layout.channels[0].Component(p), layout.channels[1].Component(p),
                                 layout.channels[2].Component(p));
        }
      } else {
        for (int x = 0; x < width; ++x) {
          const std::uint8_t* p = source + 4 * x;
          dest[x] = tables.Pixel(p[2], p[1], p[0]);
        }
      }
      break;
  }
}

// Converts rows of `stride` bytes into the picture. Rows missing from the end of the data read
// as zero bytes: colour index 0, or black.
void ConvertRows(const Layout& layout, const ComponentTables& tables,
                 std::span<const std::uint8_t> data, std::size_t stride, Picture& picture) {
  std::vector<std::uint8_t> partial_row;
  for (int i = 0; i < layout.height; ++i) {
    const std::size_t start = static_cast<std::size_t>(i) * stride;
    const std::uint8_t* source = nullptr;
    if (start <= data.size() && data.size() - start >= stride) {
      source = data.data() + start;
    } else {
      partial_row.assign(stride, 0);
      if (start < data.size()) {
        std::memcpy(partial_row.data(), data.data() + start, data.size() - start);
      }
      source = partial_row.data();
    }
    const int y = layout.top_down ? i : layout.height - 1 - i;
    ConvertRow(layout, tables, source,
               picture.pixels.data() + static_cast<std::size_t>(y) * layout.width);
  }
}

std::optional<Picture> DecodeBitmap(std::span<const std::uint8_t> bitmap,
                                    const PixelFormat& format, std::string* why) {
  const ComponentTables tables(format);
  const std::optional<Layout> layout = ReadLayout(bitmap, tables, why);
  if (!layout) return std::nullopt;

  Picture picture;
  picture.width = layout->width;
  picture.height = layout->height;
  picture.pixels.resize(static_cast<std::size_t>(layout->width) * layout->height);
  const auto data = bitmap.subspan(layout->pixel_offset);
  const auto stride = static_cast<std::size_t>(RowStride(layout->bits, layout->width));

  if (layout->compression == kCompressionRle8 || layout->compression == kCompressionRle4) {
    // Expanded first into ordinary rows (all index 0 where the data do not reach), as the game
    // did, then converted like any uncompressed picture.
    std::vector<std::uint8_t> expanded(stride * layout->height, 0);
    if (layout->compression == kCompressionRle8) {
      DecodeRle8(data, layout->width, layout->height, expanded);
    } else {
      DecodeRle4(data, layout->width, layout->height, expanded);
    }
    ConvertRows(*layout, tables, expanded, stride, picture);
  } else {
    ConvertRows(*layout, tables, data, stride, picture);
  }
  return picture;
}

// Where the next pixel of a run-length expansion goes. A row that has just been filled stays
// current until another pixel arrives, so that an end of line right after a full row moves on by
// one row, not two.
template <int kBits>
class RleWriter {
 public:
  RleWriter(std::span<std::uint8_t> out, std::uint64_t stride, std::uint64_t row_length,
            std::uint64_t rows)
      : out_(out), stride_(stride), row_length_(row_length), rows_(rows) {}

  bool done() const { return row_ >= rows_; }

  // A run of `count` pixels that alternates the high and the low nibble of `value`; at 8 bits,
  // `count` copies of `value`.
  void Encoded(std::uint64_t count, std::uint8_t value) {
    Put(count, [value](std::uint8_t* row, std::uint64_t first, std::uint64_t n, std::uint64_t at) {
      if constexpr (kBits == 8) {
        std::memset(row + first, value, n);
      } else {
        for (std::uint64_t j = 0; j < n; ++j) {
          SetNibble(row, first + j, ((at + j) & 1) ? (value & 0x0F) : (value >> 4));
        }
      }
    });
  }

  // `count` pixels taken in order from `bytes` (two per byte at 4 bits, high nibble first).
  void Absolute(std::span<const std::uint8_t> bytes, std::uint64_t count) {
    Put(count, [bytes](std::uint8_t* row, std::uint64_t first, std::uint64_t n, std::uint64_t at) {
      if constexpr (kBits == 8) {
        std::memcpy(row + first, bytes.data() + at, n);
      } else {
        for (std::uint64_t j = 0; j < n; ++j) {
          const std::uint8_t b = bytes[(at + j) / 2];
          SetNibble(row, first + j, ((at + j) & 1) ? (b & 0x0F) : (b >> 4));
        }
      }
    });
  }

  void Zeros(std::uint64_t count) {
    Put(count, [](std::uint8_t* row, std::uint64_t first, std::uint64_t n, std::uint64_t) {
      if constexpr (kBits == 8) {
        std::memset(row + first, 0, n);
      } else {
        for (std::uint64_t j = 0; j < n; ++j) SetNibble(row, first + j, 0);
      }
    });
  }

  void EndOfLine() {
    Zeros(row_length_ - pixel_);
    ++row_;
    pixel_ = 0;
  }

  void EndOfBitmap() {
    if (done()) return;
    Zeros((rows_ - row_) * row_length_ - pixel_);
  }

 private:
  static void SetNibble(std::uint8_t* row, std::uint64_t pixel, unsigned value) {
    std::uint8_t& b = row[pixel / 2];
    b = (pixel & 1) ? static_cast<std::uint8_t>((b & 0xF0) | value)
                    : static_cast<std::uint8_t>((b & 0x0F) | (value << 4));
  }

  // Writes a run row piece by row piece; `write` gets the row, the first pixel, the number of
  // pixels and how many pixels of the run came before.
  template <class Write>
  void Put(std::uint64_t count, Write write) {
    std::uint64_t written = 0;
    while (written < count) {
      if (pixel_ == row_length_) {
        ++row_;
        pixel_ = 0;
      }
      if (done()) return;
      const std::uint64_t n = std::min(count - written, row_length_ - pixel_);
      write(out_.data() + row_ * stride_, pixel_, n, written);
      pixel_ += n;
      written += n;
    }
  }

  std::span<std::uint8_t> out_;
  std::uint64_t stride_;
  std::uint64_t row_length_;
  std::uint64_t rows_;
  std::uint64_t row_ = 0;
  std::uint64_t pixel_ = 0;
};

template <int kBits>
void DecodeRle(std::span<const std::uint8_t> data, int width, int height,
               std::span<std::uint8_t> out) {
  if (width <= 0 || height <= 0) return;
  const std::uint64_t stride = RowStride(kBits, width);
  // Nibbles are written in pairs, so an RLE4 row of odd width has one more pixel: the last
  // nibble of its final byte.
  const std::uint64_t row_length = kBits == 4
                                       ? (static_cast<std::uint64_t>(width) + 1) & ~std::uint64_t{1}
                                       : static_cast<std::uint64_t>(width);
  const std::uint64_t rows = std::min<std::uint64_t>(height, out.size() / stride);
  RleWriter<kBits> writer(out, stride, row_length, rows);

  std::size_t pos = 0;
  while (!writer.done()) {
    pos += pos & 1;  // commands sit at even offsets; this also skips the pad of absolute runs
    if (pos >= data.size() || data.size() - pos < 2) return;
    const std::uint8_t count = data[pos];
    const std::uint8_t value = data[pos + 1];
    pos += 2;
    if (count != 0) {
      writer.Encoded(count, value);
    } else if (value == 0) {
      writer.EndOfLine();
    } else if (value == 1) {
      writer.EndOfBitmap();
      return;
    } else if (value == 2) {
      if (data.size() - pos < 2) return;
      writer.Zeros(data[pos] + static_cast<std::uint64_t>(data[pos + 1]) * row_length);
      pos += 2;
    } else {
      const std::size_t needed = kBits == 4 ? (value + 1u) / 2 : value;
      const std::size_t available = std::min(needed, data.size() - pos);
      const std::uint64_t pixels =
          kBits == 4 ? std::min<std::uint64_t>(value, 2 * available) : available;
      writer.Absolute(data.subspan(pos, available), pixels);
      if (available < needed) return;
      pos += needed;
    }
  }
}

}  // namespace

std::optional<Picture> DecodePackagedPicture(std::span<const std::uint8_t> file,
                                             const PixelFormat& format, std::string* why) {
  const bool marked = file.size() >= 2 && file[0] == 'Z' && file[1] == 'Q';
  return DecodeBitmap(marked ? file.subspan(2) : file, format, why);
}

std::optional<Picture> DecodeBitmapFile(std::span<const std::uint8_t> file,
                                        const PixelFormat& format, std::string* why) {
  return DecodeBitmap(file, format, why);
}

void DecodeRle4(std::span<const std::uint8_t> data, int width, int height,
                std::span<std::uint8_t> out) {
  DecodeRle<4>(data, width, height, out);
}

void DecodeRle8(std::span<const std::uint8_t> data, int width, int height,
                std::span<std::uint8_t> out) {
  DecodeRle<8>(data, width, height, out);
}

void DrawPicture(Surface565& dest, int x, int y, const Picture& picture, const Rect& source) {
  if (picture.width <= 0 || picture.height <= 0) return;
  // A picture whose pixel vector is short is drawn only as far as it has rows.
  const std::int64_t rows = std::min<std::int64_t>(
      picture.height, static_cast<std::int64_t>(picture.pixels.size() / picture.width));
  std::int64_t sx = source.x;
  std::int64_t sy = source.y;
  std::int64_t width = source.width;
  std::int64_t height = source.height;
  std::int64_t dx = x;
  std::int64_t dy = y;
  if (sx < 0) {
    dx -= sx;
    width += sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    height += sy;
    sy = 0;
  }
  if (dx < 0) {
    sx -= dx;
    width += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    height += dy;
    dy = 0;
  }
  width = std::min({width, picture.width - sx, dest.width() - dx});
  height = std::min({height, rows - sy, dest.height() - dy});
  if (width <= 0 || height <= 0) return;
  for (std::int64_t r = 0; r < height; ++r) {
    std::memcpy(dest.row(static_cast<int>(dy + r)) + dx,
                picture.pixels.data() + (sy + r) * picture.width + sx,
                static_cast<std::size_t>(width) * sizeof(std::uint16_t));
  }
}

}  // namespace tumu
