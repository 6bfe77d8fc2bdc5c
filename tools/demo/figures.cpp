// What the demo draws over its backgrounds. Everything here stands on the transparent white
// (kClear) and is drawn without soft edges, so no pale fringe shows against a dark scene.
#include <cmath>
#include <numbers>

#include "demo/pictures.h"

namespace demo {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr Rgb kInk{52, 34, 44};  // Mio's outlines

// A shape with a dark outline: the shape drawn larger in ink, then itself.
void InkedEllipse(Canvas& c, double cx, double cy, double rx, double ry, Rgb fill, double ink = 2.5) {
  c.Ellipse(cx, cy, rx + ink, ry + ink, kInk);
  c.Ellipse(cx, cy, rx, ry, fill);
}
void InkedPolygon(Canvas& c, const std::vector<Point>& points, Rgb fill, double ink = 5) {
  c.Outline(points, ink, kInk);
  c.Polygon(points, fill);
}

// Points along an ellipse's arc, angles in degrees (0 to the right, 90 down).
std::vector<Point> Arc(double cx, double cy, double rx, double ry, double from, double to, int steps) {
  std::vector<Point> points;
  for (int i = 0; i <= steps; ++i) {
    const double a = (from + (to - from) * i / steps) * kPi / 180;
    points.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return points;
}
void Stroke(Canvas& c, const std::vector<Point>& points, double width, Rgb colour) {
  for (std::size_t i = 0; i + 1 < points.size(); ++i) c.Line(points[i], points[i + 1], width, colour);
}

enum class Face { kOpen, kHalf, kClosed, kSmile };

constexpr double kMioX = 440;  // the middle of Mio's face
constexpr Rgb kSkin{252, 224, 204};
constexpr Rgb kSkinShade{236, 190, 176};
constexpr Rgb kHair{92, 58, 54};
constexpr Rgb kHairLight{138, 92, 78};

void Eye(Canvas& c, double cx, double cy, Face face) {
  switch (face) {
    case Face::kOpen:
    case Face::kHalf: {
      c.Ellipse(cx, cy, 14, 16, kInk);
      c.Ellipse(cx, cy + 1, 12, 14, {240, 240, 248});
      c.Ellipse(cx, cy + 3, 9.5, 12.5, {56, 104, 160});
      c.Ellipse(cx, cy + 6, 7.5, 8, {84, 150, 196});
      c.Ellipse(cx, cy + 3, 4.5, 6.5, {30, 36, 70});
      c.Disc(cx - 4, cy - 3, 3.5, {244, 244, 250});
      c.Disc(cx + 4, cy + 8, 1.6, {244, 244, 250});
      if (face == Face::kHalf) {
        c.Box(static_cast<int>(cx - 16), static_cast<int>(cy - 18), static_cast<int>(cx + 17), static_cast<int>(cy + 1), kSkin);
        Stroke(c, {{cx - 15, cy + 1}, {cx, cy - 1}, {cx + 15, cy + 1}}, 4, kInk);
      } else {
        Stroke(c, Arc(cx, cy + 2, 16, 17, 195, 345, 10), 4.5, kInk);
        c.Line({cx + 13, cy - 6}, {cx + 19, cy - 10}, 2.5, kInk);  // a lash at the corner
      }
      break;
    }
    case Face::kClosed:
      c.Ellipse(cx, cy, 16, 18, kSkin);
      Stroke(c, Arc(cx, cy - 2, 14, 9, 20, 160, 8), 3.5, kInk);
      break;
    case Face::kSmile:
      c.Ellipse(cx, cy, 16, 18, kSkin);
      Stroke(c, Arc(cx, cy + 6, 13, 11, 200, 340, 8), 4, kInk);
      break;
  }
}

Canvas Mio(Face face) {
  Canvas c(640, 480, kClear);
  const double x = kMioX;
  // Hair behind the head: a round crown and locks down to the shoulders.
  InkedEllipse(c, x, 150, 80, 80, kHair, 3);
  InkedPolygon(c, {{x - 80, 150}, {x + 80, 150}, {x + 84, 246}, {x + 62, 262}, {x - 62, 262}, {x - 84, 246}}, kHair);
  c.Ellipse(x, 150, 77, 77, kHair);
  // The coat: shoulders falling away from the collar, down past the bottom of the picture.
  const std::vector<Point> coat{{x - 40, 250}, {x + 40, 250}, {x + 92, 292}, {x + 118, 480}, {x - 118, 480}, {x - 92, 292}};
  InkedPolygon(c, coat, {58, 78, 134});
  c.Polygon({{x + 10, 262}, {x + 40, 252}, {x + 92, 292}, {x + 118, 480}, {x + 30, 480}}, {46, 62, 112});
  c.Line({x, 300}, {x, 480}, 3, {36, 48, 90});
  for (const double by : {380.0, 420.0, 460.0}) InkedEllipse(c, x - 12, by, 4, 4, {230, 190, 90}, 1.5);
  // The neck and the scarf.
  c.Box(static_cast<int>(x - 13), 222, static_cast<int>(x + 14), 260, kSkinShade);
  InkedPolygon(c, {{x - 44, 246}, {x + 44, 246}, {x + 48, 268}, {x - 48, 268}}, {238, 186, 66}, 4);
  InkedPolygon(c, {{x + 12, 262}, {x + 34, 262}, {x + 38, 318}, {x + 16, 314}}, {226, 170, 56}, 4);
  c.Box(static_cast<int>(x + 18), 300, static_cast<int>(x + 35), 303, {200, 80, 70});
  // Both arms come forward, elbows low, to hold the lantern's handle in front of her.
  for (const int side : {-1, 1}) {
    const Point shoulder{x + side * 84, 296};
    const Point elbow{x + side * 66, 338};
    const Point wrist{x + side * 20, 302};
    c.Line(shoulder, elbow, 32, kInk);
    c.Line(elbow, wrist, 30, kInk);
    c.Line(shoulder, elbow, 27, {58, 78, 134});
    c.Line(elbow, wrist, 25, {58, 78, 134});
    c.Line({x + side * 26, 305}, wrist, 24, {220, 230, 240});
    InkedEllipse(c, x + side * 9, 294, 9, 9, kSkin, 2);
  }
  // The face: a round head and a softly pointed chin.
  c.Ellipse(x, 168, 59, 65, kInk);
  c.Polygon({{x - 58, 176}, {x + 58, 176}, {x + 34, 226}, {x, 244}, {x - 34, 226}}, kInk);
  c.Ellipse(x, 168, 56, 62, kSkin);
  c.Polygon({{x - 55, 176}, {x + 55, 176}, {x + 32, 223}, {x, 241}, {x - 32, 223}}, kSkin);
  // Fringe and side locks over the face.
  const std::vector<Point> fringe{{x - 66, 190}, {x - 60, 128}, {x - 46, 150}, {x - 40, 124}, {x - 24, 152},
                                  {x - 14, 120}, {x + 2, 150},  {x + 14, 118}, {x + 28, 150},  {x + 40, 124},
                                  {x + 50, 148}, {x + 60, 128}, {x + 66, 190}, {x + 70, 120},  {x + 44, 90},
                                  {x, 82},       {x - 44, 90},  {x - 70, 120}};
  InkedPolygon(c, fringe, kHair, 4);
  Stroke(c, Arc(x - 6, 118, 48, 26, 200, 300, 8), 5, kHairLight);
  Stroke(c, Arc(x + 10, 112, 30, 18, 250, 320, 5), 3, kHairLight);
  InkedPolygon(c, {{x - 68, 150}, {x - 52, 160}, {x - 50, 236}, {x - 62, 250}, {x - 72, 226}}, kHair, 4);
  InkedPolygon(c, {{x + 68, 150}, {x + 52, 160}, {x + 50, 236}, {x + 62, 250}, {x + 72, 226}}, kHair, 4);
  // A star-shaped hair pin.
  c.Sparkle(x + 44, 112, 13, kInk);
  c.Sparkle(x + 44, 112, 10, {250, 214, 90});

  Eye(c, x - 25, 182, face);
  Eye(c, x + 25, 182, face);
  const double blush = face == Face::kSmile ? 0.0 : 0.5;
  for (const int side : {-1, 1}) c.Ellipse(x + side * 30, 206, 11, 4.5, Mix({246, 170, 176}, kSkin, blush));
  c.Line({x + 1, 200}, {x + 3, 205}, 2, {214, 150, 140});
  if (face == Face::kSmile) {
    c.Polygon(Arc(x, 216, 11, 12, 0, 180, 10), {150, 60, 70});
    c.Ellipse(x, 224, 6, 3, {226, 120, 128});
    c.Line({x - 11, 216}, {x + 11, 216}, 2, kInk);
  } else {
    Stroke(c, Arc(x, 212, 8, 6, 30, 150, 6), 2.5, {150, 70, 76});
  }
  return c;
}

// A strip of three frames of 210 × 160 side by side, as partial pictures and animations use.
Canvas Strip(const std::function<void(Canvas&, double ox, int frame)>& draw_frame) {
  Canvas c(630, 160, kClear);
  for (int frame = 0; frame < 3; ++frame) draw_frame(c, frame * 210.0, frame);
  return c;
}

// The harbour lamp: its glass and a crown of short rays that breathe.
void LampFrame(Canvas& c, double ox, int frame) {
  const double cx = ox + 105;
  const double cy = 80;
  const double reach = 20 + frame * 5;
  for (int k = 0; k < 8; ++k) {
    const double a = k * kPi / 4 + frame * 0.2;
    c.Line({cx + std::cos(a) * 16, cy + std::sin(a) * 16}, {cx + std::cos(a) * reach, cy + std::sin(a) * reach},
           2, {255, 214, 120});
  }
  c.Polygon({{cx - 10, cy - 12}, {cx + 10, cy - 12}, {cx + 7, cy + 8}, {cx - 7, cy + 8}}, {255, 232, 160});
  c.Ellipse(cx, cy - 1, 3.5 + frame * 0.5, 6, {255, 176, 80});
  c.Polygon({{cx - 13, cy - 12}, {cx + 13, cy - 12}, {cx, cy - 22}}, {30, 30, 44});
  c.Box(static_cast<int>(cx - 8), static_cast<int>(cy + 8), static_cast<int>(cx + 9), static_cast<int>(cy + 12), {30, 30, 44});
}

// Mio's lantern, with the stars gathered in it twinkling.
void LanternFrame(Canvas& c, double ox, int frame) {
  const double cx = ox + 105;
  const Rgb brass{150, 110, 50};
  c.EllipseRing(cx, 18, 9, 9, 3, kInk);
  c.Polygon({{cx - 24, 30}, {cx + 24, 30}, {cx + 14, 22}, {cx - 14, 22}}, brass);
  c.Outline({{cx - 24, 30}, {cx + 24, 30}, {cx + 14, 22}, {cx - 14, 22}}, 2, kInk);
  c.Box(static_cast<int>(cx - 22), 30, static_cast<int>(cx + 23), 92, kInk);
  c.Box(static_cast<int>(cx - 19), 32, static_cast<int>(cx + 20), 90, Mix({255, 226, 150}, {255, 200, 110}, frame / 2.0));
  c.Box(static_cast<int>(cx - 1), 32, static_cast<int>(cx + 2), 90, brass);
  c.Polygon({{cx - 26, 92}, {cx + 26, 92}, {cx + 20, 102}, {cx - 20, 102}}, brass);
  c.Outline({{cx - 26, 92}, {cx + 26, 92}, {cx + 20, 102}, {cx - 20, 102}}, 2, kInk);
  const Rgb stars[] = {{236, 80, 80}, {70, 130, 236}, {236, 170, 40}};
  const Point spots[] = {{cx - 10, 48}, {cx + 9, 62}, {cx - 8, 76}, {cx + 10, 42}};
  for (int k = 0; k < 4; ++k) {
    const double size = 4 + ((k + frame) % 3) * 2;
    c.Sparkle(spots[k].x, spots[k].y, size, stars[(k + frame) % 3]);
  }
  // Sparks drifting up around the lantern.
  const Point sparks[] = {{cx - 40, 60}, {cx + 42, 44}, {cx - 34, 20}, {cx + 36, 84}};
  for (int k = 0; k < 4; ++k) {
    if ((k + frame) % 3 == 2) continue;
    c.Sparkle(sparks[k].x, sparks[k].y - frame * 6, 3 + (k % 2) * 2, {255, 230, 150});
  }
}

// A star found lying somewhere: a bright sparkle in rings of smaller ones.
void FoundStarFrame(Canvas& c, double ox, int frame) {
  const double cx = ox + 105;
  const double cy = 80;
  for (int k = 0; k < 8; ++k) {
    const double a = k * kPi / 4 + frame * kPi / 12;
    const double r = 44 + (k % 2) * 12;
    c.Sparkle(cx + std::cos(a) * r, cy + std::sin(a) * r * 0.8, 3 + (k + frame) % 3, {255, 230, 160});
  }
  c.Sparkle(cx, cy, 30 + frame * 3, {255, 206, 90});
  c.Sparkle(cx, cy, 20 + frame * 2, {255, 240, 186});
  c.Disc(cx, cy, 7, {255, 248, 220});
}

// The cat asleep on the bench; its tail moves from frame to frame.
void CatFrame(Canvas& c, double ox, int frame) {
  const Rgb fur{112, 108, 130};
  const Rgb stripe{74, 70, 92};
  const double base = 146;  // where the cat lies on the seat
  const double cx = ox + 100;
  const std::vector<Point> tail = frame == 0   ? std::vector<Point>{{cx + 44, base - 10}, {cx + 64, base - 4}, {cx + 80, base - 2}}
                                  : frame == 1 ? std::vector<Point>{{cx + 44, base - 10}, {cx + 66, base - 18}, {cx + 76, base - 34}}
                                               : std::vector<Point>{{cx + 44, base - 10}, {cx + 62, base - 30}, {cx + 58, base - 52}};
  Stroke(c, tail, 12, kInk);
  Stroke(c, tail, 8, fur);
  c.Ellipse(cx, base - 20, 52, 24, kInk);
  c.Ellipse(cx, base - 20, 49, 21, fur);
  for (int k = 0; k < 4; ++k) c.Line({cx - 20.0 + k * 14, base - 40}, {cx - 24.0 + k * 14, base - 28}, 4, stripe);
  c.Disc(cx - 44, base - 26, 21, kInk);
  c.Disc(cx - 44, base - 26, 18, fur);
  c.Polygon({{cx - 60, base - 36}, {cx - 54, base - 56}, {cx - 44, base - 40}}, kInk);
  c.Polygon({{cx - 42, base - 42}, {cx - 30, base - 56}, {cx - 28, base - 36}}, kInk);
  c.Polygon({{cx - 57, base - 38}, {cx - 53, base - 50}, {cx - 47, base - 40}}, {220, 160, 170});
  Stroke(c, Arc(cx - 52, base - 26, 5, 3, 20, 160, 4), 2, kInk);
  Stroke(c, Arc(cx - 36, base - 26, 5, 3, 20, 160, 4), 2, kInk);
  c.Disc(cx - 44, base - 19, 2, {220, 140, 150});
}

// The click mark: a small star that swells and shrinks, frames 80 × 80 placed 210 apart.
Canvas ClickMark() {
  Canvas c(500, 80, kClear);
  for (int frame = 0; frame < 3; ++frame) {
    const double cx = frame * 210 + 24;
    const double size = 9 + frame * 3;
    c.Sparkle(cx, 24, size + 2, {120, 80, 30});
    c.Sparkle(cx, 24, size, {255, 214, 90});
    c.Disc(cx, 24, 2 + frame * 0.5, {255, 244, 200});
  }
  return c;
}

// The dialogue window's frame: a thin gold border with a star at each corner.
Canvas DialogueFrame() {
  Canvas c(640, 480, kClear);
  const int x0 = 20, y0 = 360, x1 = 620, y1 = 460;
  const Rgb gold{214, 178, 96};
  const Rgb deep{120, 92, 54};
  c.Box(x0, y0, x1, y0 + 3, gold);
  c.Box(x0, y1 - 3, x1, y1, gold);
  c.Box(x0, y0, x0 + 3, y1, gold);
  c.Box(x1 - 3, y0, x1, y1, gold);
  c.Box(x0 + 6, y0 + 6, x1 - 6, y0 + 7, deep);
  c.Box(x0 + 6, y1 - 7, x1 - 6, y1 - 6, deep);
  c.Box(x0 + 6, y0 + 6, x0 + 7, y1 - 6, deep);
  c.Box(x1 - 7, y0 + 6, x1 - 6, y1 - 6, deep);
  for (const Point p : {Point{x0 + 1.5, y0 + 1.5}, Point{x1 - 1.5, y0 + 1.5}, Point{x0 + 1.5, y1 - 1.5},
                        Point{x1 - 1.5, y1 - 1.5}}) {
    c.Sparkle(p.x, p.y, 12, deep);
    c.Sparkle(p.x, p.y, 9, {255, 220, 120});
  }
  return c;
}

// One mask of the iris wipe: the new scene shows inside the circle (the transparent white), the
// old one outside (black). Each mask holds the circles of the steps before it.
Canvas IrisMask(int step, int steps) {
  Canvas c(640, 480, {0, 0, 0});
  const double radius = 400.0 * step / steps;
  c.Disc(320, 240, radius, kClear);
  return c;
}

// Stars falling over the harbour; the second frame is a moment later.
Canvas FallingStars(int frame) {
  Canvas c(640, 480, kClear);
  const Point heads[] = {{120, 40}, {300, 90}, {520, 30}, {230, 190}, {600, 150}, {420, 220}, {60, 160}};
  for (int k = 0; k < 7; ++k) {
    const double step = frame * 26.0;
    const Point head{heads[k].x - step * 0.8 - (k % 2) * 8, heads[k].y + step * 0.6};
    const Point tail{head.x + 60, head.y - 45};
    c.Line(tail, {head.x + 30, head.y - 22}, 1.5, {150, 150, 210});
    c.Line({head.x + 30, head.y - 22}, head, 2.5, {236, 220, 170});
    c.Sparkle(head.x, head.y, frame == 0 ? 6 + k % 3 : 8 - k % 3, (k % 3 == 0) ? Rgb{255, 150, 140} : (k % 3 == 1) ? Rgb{150, 190, 255} : Rgb{255, 220, 120});
  }
  return c;
}

// A constellation: stars joined by faint lines.
Canvas Constellation(const std::vector<Point>& stars, const std::vector<std::pair<int, int>>& links, Rgb tint) {
  Canvas c(640, 480, kClear);
  for (const auto& [a, b] : links) c.Line(stars[static_cast<std::size_t>(a)], stars[static_cast<std::size_t>(b)], 2, Mix(tint, {40, 40, 80}, 0.35));
  for (const Point& p : stars) {
    c.Sparkle(p.x, p.y, 11, Mix(tint, {255, 255, 255}, 0.2));
    c.Disc(p.x, p.y, 3, {255, 244, 214});
  }
  return c;
}

// The attic is dark: the frontmost layer covers all but a lit circle in the middle, with a
// dithered edge.
Canvas Darkness() {
  Canvas c(640, 480, {8, 8, 16});
  constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const double d = std::hypot((x - 320) / 330.0, (y - 220) / 250.0);
      const double edge = (d - 0.78) / 0.22;  // 0 inside the light, 1 where the dark is whole
      if (edge < 0 || edge * 16 < kBayer[y % 4][x % 4]) c.Set(x, y, kClear);
    }
  }
  return c;
}

// What shows when the mouse is over a place of the square: a dotted ring of light round it.
Canvas Highlight(double cx, double cy, double rx, double ry) {
  Canvas c(640, 480, kClear);
  for (int k = 0; k < 28; ++k) {
    const double a = k * 2 * kPi / 28;
    const Point p{cx + rx * std::cos(a), cy + ry * std::sin(a)};
    if (k % 4 == 0) {
      c.Sparkle(p.x, p.y, 9, {120, 80, 30});
      c.Sparkle(p.x, p.y, 7, {255, 226, 120});
    } else {
      c.Disc(p.x, p.y, 2.5, {255, 214, 110});
    }
  }
  return c;
}

}  // namespace

void DrawFigures(const PictureSink& emit) {
  emit("ミオ", Mio(Face::kOpen), Layer::kKeyed);
  emit("ミオ半目", Mio(Face::kHalf), Layer::kKeyed);
  emit("ミオ目閉じ", Mio(Face::kClosed), Layer::kKeyed);
  emit("ミオ笑顔", Mio(Face::kSmile), Layer::kKeyed);
  emit("ランプ", Strip(LampFrame), Layer::kKeyed);
  emit("ランタン", Strip(LanternFrame), Layer::kKeyed);
  emit("見つけた星", Strip(FoundStarFrame), Layer::kKeyed);
  emit("猫", Strip(CatFrame), Layer::kKeyed);
  emit("星印", ClickMark(), Layer::kKeyed);
  emit("枠", DialogueFrame(), Layer::kKeyed);
  for (int step = 1; step <= 8; ++step) emit("円" + std::to_string(step), IrisMask(step, 8), Layer::kOpaque);
  emit("流れ星1", FallingStars(0), Layer::kKeyed);
  emit("流れ星2", FallingStars(1), Layer::kKeyed);
  // The constellations stand in the left half of the sky, clear of Mio.
  emit("金魚座",
       Constellation({{70, 170}, {130, 118}, {200, 126}, {246, 164}, {200, 210}, {126, 214}, {300, 112}, {306, 222}},
                     {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 0}, {3, 6}, {6, 7}, {7, 3}}, {255, 150, 140}),
       Layer::kKeyed);
  emit("ねこ座",
       Constellation({{80, 96}, {112, 146}, {160, 140}, {190, 92}, {200, 152}, {178, 206}, {106, 208}, {80, 152},
                      {270, 246}, {306, 164}},
                     {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 0}, {5, 8}, {8, 9}}, {150, 190, 255}),
       Layer::kKeyed);
  emit("ランタン座",
       Constellation({{180, 60}, {136, 112}, {224, 112}, {136, 232}, {224, 232}, {112, 270}, {248, 270}, {180, 172}},
                     {{0, 1}, {0, 2}, {1, 2}, {1, 3}, {2, 4}, {3, 4}, {3, 5}, {4, 6}, {5, 6}}, {255, 214, 110}),
       Layer::kKeyed);
  emit("暗がり", Darkness(), Layer::kKeyed);
  emit("光井戸", Highlight(120, 224, 96, 118), Layer::kKeyed);
  emit("光ベンチ", Highlight(354, 290, 118, 56), Layer::kKeyed);
  emit("光花壇", Highlight(544, 318, 104, 46), Layer::kKeyed);
}

}  // namespace demo
