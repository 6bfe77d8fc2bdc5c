#include "demo/canvas.h"

#include <algorithm>
#include <cmath>

namespace demo {

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {static_cast<int>(std::lround(a.r + (b.r - a.r) * t)),
          static_cast<int>(std::lround(a.g + (b.g - a.g) * t)),
          static_cast<int>(std::lround(a.b + (b.b - a.b) * t))};
}

Rgb Gradient(const std::vector<Rgb>& stops, double t) {
  if (stops.size() == 1) return stops[0];
  const double at = std::clamp(t, 0.0, 1.0) * static_cast<double>(stops.size() - 1);
  const std::size_t i = std::min(static_cast<std::size_t>(at), stops.size() - 2);
  return Mix(stops[i], stops[i + 1], at - static_cast<double>(i));
}

std::uint32_t Random::Next() {
  // xorshift32: plenty for scattering stars.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Random::Uniform(double low, double high) {
  return low + (high - low) * (Next() % 1000000) / 1000000.0;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::Set(int x, int y, Rgb c) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(x, y)] = c;
}

void Canvas::Blend(int x, int y, Rgb c, double opacity) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) {
    Rgb& p = pixels_[Index(x, y)];
    p = Mix(p, c, opacity);
  }
}

void Canvas::Box(int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x) pixels_[Index(x, y)] = c;
  }
}

void Canvas::Disc(double cx, double cy, double radius, Rgb c) { Ellipse(cx, cy, radius, radius, c); }

void Canvas::Ellipse(double cx, double cy, double rx, double ry, Rgb c) {
  if (rx <= 0 || ry <= 0) return;
  for (int y = static_cast<int>(std::floor(cy - ry)); y <= static_cast<int>(std::ceil(cy + ry)); ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1) continue;
    const double half = rx * std::sqrt(1 - dy * dy);
    const int x0 = static_cast<int>(std::lround(cx - half));
    const int x1 = static_cast<int>(std::lround(cx + half));
    for (int x = x0; x < x1; ++x) Set(x, y, c);
  }
}

void Canvas::EllipseRing(double cx, double cy, double rx, double ry, double width, Rgb c) {
  for (int y = static_cast<int>(std::floor(cy - ry)); y <= static_cast<int>(std::ceil(cy + ry)); ++y) {
    for (int x = static_cast<int>(std::floor(cx - rx)); x <= static_cast<int>(std::ceil(cx + rx)); ++x) {
      const double dx = (x + 0.5 - cx) / rx;
      const double dy = (y + 0.5 - cy) / ry;
      const double d = std::sqrt(dx * dx + dy * dy);
      if (d <= 1 && d >= 1 - width / std::min(rx, ry)) Set(x, y, c);
    }
  }
}

void Canvas::Polygon(const std::vector<Point>& points, Rgb c) {
  if (points.size() < 3) return;
  double top = points[0].y;
  double bottom = points[0].y;
  for (const Point& p : points) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  std::vector<double> crossings;
  for (int y = std::max(0, static_cast<int>(std::floor(top)));
       y <= std::min(height_ - 1, static_cast<int>(std::ceil(bottom))); ++y) {
    const double sy = y + 0.5;
    crossings.clear();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % points.size()];
      if ((a.y <= sy) != (b.y <= sy)) crossings.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      for (int x = static_cast<int>(std::lround(crossings[i]));
           x < static_cast<int>(std::lround(crossings[i + 1])); ++x) {
        Set(x, y, c);
      }
    }
  }
}

void Canvas::Line(Point a, Point b, double width, Rgb c) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  if (length < 1e-9) {
    Disc(a.x, a.y, width / 2, c);
    return;
  }
  const double nx = -dy / length * width / 2;
  const double ny = dx / length * width / 2;
  Polygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}, c);
  if (width >= 3) {
    Disc(a.x, a.y, width / 2, c);
    Disc(b.x, b.y, width / 2, c);
  }
}

void Canvas::Outline(const std::vector<Point>& points, double width, Rgb c) {
  for (std::size_t i = 0; i < points.size(); ++i) Line(points[i], points[(i + 1) % points.size()], width, c);
}

void Canvas::Glow(double cx, double cy, double radius, Rgb c, double strength) {
  for (int y = static_cast<int>(cy - radius); y <= cy + radius; ++y) {
    for (int x = static_cast<int>(cx - radius); x <= cx + radius; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
      if (d < 1) Blend(x, y, c, strength * (1 - d) * (1 - d));
    }
  }
}

void Canvas::Sparkle(double cx, double cy, double size, Rgb c) {
  const double thin = std::max(1.0, size / 5);
  Polygon({{cx, cy - size}, {cx + thin, cy - thin}, {cx + size, cy}, {cx + thin, cy + thin},
           {cx, cy + size}, {cx - thin, cy + thin}, {cx - size, cy}, {cx - thin, cy - thin}},
          c);
}

void Canvas::Bands(int y0, int y1, const std::vector<Rgb>& stops, int bands) {
  const int rows = std::max(1, y1 - y0);
  for (int y = y0; y < y1; ++y) {
    const int band = std::min(bands - 1, (y - y0) * bands / rows);
    const Rgb c = Gradient(stops, bands > 1 ? static_cast<double>(band) / (bands - 1) : 0.0);
    Box(0, y, width_, y + 1, c);
  }
}

void Canvas::Paste(const Canvas& from, int x, int y, Rgb clear) {
  for (int row = 0; row < from.height(); ++row) {
    for (int col = 0; col < from.width(); ++col) {
      const Rgb c = from.Get(col, row);
      if (!(c == clear)) Set(x + col, y + row, c);
    }
  }
}

}  // namespace demo
