// A picture being drawn for the demo, and the few shapes its pictures are made of.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  bool operator==(const Rgb&) const = default;
};

// The colour that keyed layers leave transparent (the player's default mask colour).
inline constexpr Rgb kClear{255, 255, 255};

Rgb Mix(Rgb a, Rgb b, double t);
// A colour between the stops, which are spread evenly over 0..1.
Rgb Gradient(const std::vector<Rgb>& stops, double t);

struct Point {
  double x = 0;
  double y = 0;
};

// A small deterministic generator, so the demo's pictures come out the same on every build.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed) {}
  std::uint32_t Next();
  // A number in [low, high).
  double Uniform(double low, double high);
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

 private:
  std::uint32_t state_;
};

// Pixels top-down; everything drawn outside is dropped.
class Canvas {
 public:
  Canvas(int width, int height, Rgb fill);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb Get(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, Rgb c);
  // Mixes c over the pixel with the given opacity (0..1).
  void Blend(int x, int y, Rgb c, double opacity);

  void Box(int x0, int y0, int x1, int y1, Rgb c);  // [x0, x1) × [y0, y1)
  void Disc(double cx, double cy, double radius, Rgb c);
  void Ellipse(double cx, double cy, double rx, double ry, Rgb c);
  // An ellipse drawn as a band from inner (0..1 of the radii) to the edge.
  void EllipseRing(double cx, double cy, double rx, double ry, double width, Rgb c);
  void Polygon(const std::vector<Point>& points, Rgb c);
  void Line(Point a, Point b, double width, Rgb c);
  // The polygon's edges drawn as lines of the given width.
  void Outline(const std::vector<Point>& points, double width, Rgb c);
  // A glow: the colour blended over a disc, strongest at the centre.
  void Glow(double cx, double cy, double radius, Rgb c, double strength);
  // A four-pointed sparkle.
  void Sparkle(double cx, double cy, double size, Rgb c);
  // Rows from y0 to y1 in colours taken from the stops, in the given number of flat bands.
  void Bands(int y0, int y1, const std::vector<Rgb>& stops, int bands);
  // Copies a canvas to (x, y), leaving out its pixels of the colour `clear`.
  void Paste(const Canvas& from, int x, int y, Rgb clear);

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

}  // namespace demo
