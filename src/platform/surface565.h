// Our own 16-bit 5-6-5 memory surfaces and the pixel operations the game's drawing relies on.
//
// Every frame is composed from these surfaces on the processor, so colour keys, darkening and
// cross-fades follow the same channel arithmetic in every backend and can be read back exactly.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace tumu {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Bit masks of a packed pixel format; ours is always 5-6-5, but the conversions work from the
// masks as the display reports them.
struct PixelFormat {
  std::uint32_t red_mask = 0xF800;
  std::uint32_t green_mask = 0x07E0;
  std::uint32_t blue_mask = 0x001F;
};

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The pixel value of an 8-bit colour; each component is clamped to 0..255 first.
std::uint16_t ColorToPixel(const PixelFormat& format, int red, int green, int blue);
// The 8-bit colour of a pixel, each channel scaled by 255 / its maximum, truncating.
Rgb PixelToColor(const PixelFormat& format, std::uint16_t pixel);

// The allocator of pixel memory: it comes zeroed from calloc and new pixels are left as they are,
// rather than written with zeros one by one. A large block then stays the kernel's zero pages until
// it is drawn on, so a surface that the game never uses costs neither time nor memory. Growing a
// vector within its capacity would leave stale values, so pixel vectors are only made at their
// size or fully overwritten after a resize.
template <class T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <class U>
  explicit ZeroedAllocator(const ZeroedAllocator<U>&) {}
  T* allocate(std::size_t n) {
    if (void* memory = std::calloc(n, sizeof(T))) return static_cast<T*>(memory);
    throw std::bad_alloc();
  }
  void deallocate(T* memory, std::size_t) { std::free(memory); }
  template <class U>
  void construct(U* place) {
    ::new (static_cast<void*>(place)) U;
  }
  template <class U, class... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }
  friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) { return true; }
};

class Surface565 {
 public:
  Surface565() = default;
  Surface565(int width, int height);
  Surface565(const Surface565&) = default;
  Surface565(Surface565&&) = default;
  Surface565& operator=(Surface565&&) = default;
  // Copies into the memory the surface already has when it is large enough.
  Surface565& operator=(const Surface565& other);

  int width() const { return width_; }
  int height() const { return height_; }
  // Distance between rows, in pixels (rows start on 4-byte boundaries).
  int pitch() const { return pitch_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  std::uint16_t* row(int y) {
    written_ = true;
    return pixels_.data() + static_cast<std::size_t>(y) * pitch_;
  }
  const std::uint16_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * pitch_;
  }
  std::uint16_t pixel(int x, int y) const { return row(y)[x]; }
  void set_pixel(int x, int y, std::uint16_t value) { row(y)[x] = value; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // The source colour key: a keyed copy from this surface leaves these pixels out.
  const std::optional<std::uint16_t>& color_key() const { return color_key_; }
  void set_color_key(std::optional<std::uint16_t> key) { color_key_ = key; }

  void Fill(std::uint16_t value);
  // Fills the part of the rectangle that lies on the surface.
  void FillRect(const Rect& rect, std::uint16_t value);
  // The surface becomes empty (nothing draws on it any more). Its memory stays for a surface of
  // that size copied into it later: the display is released only when the game ends.
  void Release();

  // Whether the pixels may have changed since the surface was made or last restored (every write
  // goes through row(), Fill() or FillRect()).
  bool written() const { return written_; }
  // Makes the surface `original` again, for a surface that was a copy of it when last restored:
  // its pixels are copied only when they may have changed (or its memory does not fit them); a
  // release in between keeps them.
  void RestoreFrom(const Surface565& original);

 private:
  int width_ = 0;
  int height_ = 0;
  int pitch_ = 0;
  std::vector<std::uint16_t, ZeroedAllocator<std::uint16_t>> pixels_;
  std::optional<std::uint16_t> color_key_;
  bool written_ = true;
};

// Copies the source rectangle to (x, y) of the destination, clipped to both surfaces.
void CopyRect(Surface565& dest, int x, int y, const Surface565& source, const Rect& source_rect);
// The same, leaving out the source pixels equal to the source's colour key (an opaque copy when
// the source has none).
void CopyRectKeyed(Surface565& dest, int x, int y, const Surface565& source,
                   const Rect& source_rect);
inline Rect WholeSurface(const Surface565& s) { return {0, 0, s.width(), s.height()}; }

// Scales every channel of the rectangle: mode <= 0 black, 1 a quarter, 2 a half,
// 3 a half plus a quarter, >= 4 unchanged. Channels never spill into their neighbours.
void DarkenRect(Surface565& surface, const PixelFormat& format, const Rect& rect, int mode);

// Blends the outgoing and incoming scenes into dest, per channel: level 0 the outgoing scene,
// 1 in/4 + out/2 + out/4, 2 in/2 + out/2, 3 out/4 + in/2 + in/4. Other levels draw nothing.
// The three surfaces must have the same size.
void CrossFade(Surface565& dest, const PixelFormat& format, const Surface565& outgoing,
               const Surface565& incoming, int level);

}  // namespace tumu
