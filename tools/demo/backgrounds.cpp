// The demo's backgrounds. They are drawn in flat colours and banded gradients: that is the look
// of the game, and it keeps the run-length compressed files small.
#include <cmath>
#include <numbers>

#include "demo/pictures.h"

namespace demo {

namespace {

constexpr Rgb kWindowLit{250, 208, 120};
constexpr Rgb kWindowDark{40, 44, 72};

void StarField(Canvas& c, Random& rng, int y0, int y1, int count) {
  for (int i = 0; i < count; ++i) {
    const int x = rng.Below(c.width());
    // More stars high up, where the sky is darkest.
    const double depth = std::pow(rng.Uniform(0, 1), 1.6);
    const int y = y0 + static_cast<int>(depth * (y1 - y0));
    const int kind = rng.Below(40);
    const Rgb colour = Mix({150, 160, 210}, {246, 244, 236}, rng.Uniform(0.2, 1.0));
    if (kind < 30) {
      c.Set(x, y, colour);
    } else if (kind < 37) {
      c.Box(x, y, x + 2, y + 2, colour);
    } else {
      c.Sparkle(x, y, rng.Uniform(3, 6), kind == 39 ? Rgb{255, 236, 170} : Rgb{220, 230, 255});
    }
  }
}

// A crescent: the moon's disc, with a disc of the sky as it was cutting into it.
void Crescent(Canvas& c, double cx, double cy, double r, Rgb moon) {
  c.Glow(cx, cy, r * 3, {200, 200, 230}, 0.25);
  const Canvas sky = c;
  c.Disc(cx, cy, r, moon);
  const double bx = cx + r * 0.45;
  const double by = cy - r * 0.2;
  const double br = r * 0.85;
  for (int y = static_cast<int>(by - br); y <= by + br; ++y) {
    for (int x = static_cast<int>(bx - br); x <= bx + br; ++x) {
      const bool inside = x >= 0 && y >= 0 && x < c.width() && y < c.height();
      if (inside && std::hypot(x + 0.5 - bx, y + 0.5 - by) <= br) c.Set(x, y, sky.Get(x, y));
    }
  }
}

// Light in the air: a wedge or a band, fading towards its sides and, when `fades` says so, with
// the distance from where it starts. `from` is the middle of the start, `to` of the far end.
void Shaft(Canvas& c, Point from, double from_half, Point to, double to_half, Rgb light, double strength,
           bool fades = true) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length = std::hypot(dx, dy);
  const double ux = dx / length;
  const double uy = dy / length;
  const int x0 = static_cast<int>(std::min(from.x, to.x) - std::max(from_half, to_half));
  const int x1 = static_cast<int>(std::max(from.x, to.x) + std::max(from_half, to_half));
  const int y0 = static_cast<int>(std::min(from.y, to.y) - std::max(from_half, to_half));
  const int y1 = static_cast<int>(std::max(from.y, to.y) + std::max(from_half, to_half));
  for (int y = std::max(0, y0); y <= std::min(c.height() - 1, y1); ++y) {
    for (int x = std::max(0, x0); x <= std::min(c.width() - 1, x1); ++x) {
      const double along = ((x - from.x) * ux + (y - from.y) * uy) / length;
      if (along < 0 || along > 1) continue;
      const double across = std::abs((x - from.x) * -uy + (y - from.y) * ux) / (from_half + (to_half - from_half) * along);
      if (across > 1) continue;
      c.Blend(x, y, light, strength * (fades ? 1 - along : 1) * (1 - across * across));
    }
  }
}

// A hill line across the picture: a base height and a few waves.
void Hills(Canvas& c, int base, double a1, double p1, double a2, double p2, double phase, Rgb colour) {
  for (int x = 0; x < c.width(); ++x) {
    const double top = base + a1 * std::sin(x / p1 + phase) + a2 * std::sin(x / p2 + 2 * phase);
    c.Box(x, static_cast<int>(top), x + 1, c.height(), colour);
  }
}

// Reflections on the water: short strokes, more of them in the column under a light.
void Ripples(Canvas& c, Random& rng, int y0, int y1, double light_x, double spread, Rgb colour, int count) {
  for (int i = 0; i < count; ++i) {
    const double t = rng.Uniform(0, 1);
    const int y = y0 + static_cast<int>(t * (y1 - y0));
    const double width = spread * (0.3 + t);
    const int x = static_cast<int>(light_x + rng.Uniform(-width, width));
    const int length = 6 + static_cast<int>(t * 22) + rng.Below(10);
    c.Box(x - length / 2, y, x + length / 2, y + 1 + (t > 0.6 ? 1 : 0), colour);
  }
}

// A lighthouse on a cape: white tower with red bands, lit or dark lamp room.
void Lighthouse(Canvas& c, double x, double base, double height, double width, bool night) {
  const Rgb wall = night ? Rgb{170, 176, 204} : Rgb{236, 214, 206};
  const Rgb band = night ? Rgb{120, 46, 70} : Rgb{196, 70, 70};
  const double top = base - height;
  c.Polygon({{x - width / 2, base}, {x + width / 2, base}, {x + width * 0.36, top}, {x - width * 0.36, top}}, wall);
  for (int k = 1; k <= 2; ++k) {
    const double y = base - height * k / 3.0;
    c.Polygon({{x - width * 0.48 + k, y + 6}, {x + width * 0.48 - k, y + 6}, {x + width * 0.45 - k, y - 6},
               {x - width * 0.45 + k, y - 6}},
              band);
  }
  const Rgb dark{44, 40, 60};
  c.Box(static_cast<int>(x - width * 0.45), static_cast<int>(top - 3), static_cast<int>(x + width * 0.45 + 1),
        static_cast<int>(top), dark);
  c.Box(static_cast<int>(x - width * 0.25), static_cast<int>(top - 12), static_cast<int>(x + width * 0.25 + 1),
        static_cast<int>(top - 3), night ? Rgb{255, 236, 150} : Rgb{120, 110, 120});
  c.Polygon({{x - width * 0.32, top - 12}, {x + width * 0.32, top - 12}, {x, top - 22}}, band);
}

// Houses seen from the water: dark blocks with windows.
void Townscape(Canvas& c, Random& rng, int x0, int x1, int ground, int low, int high, Rgb wall, double lit) {
  for (int x = x0; x < x1;) {
    const int w = 18 + rng.Below(26);
    const int top = ground - low - rng.Below(high - low);
    c.Box(x, top, x + w, ground, wall);
    c.Polygon({{x - 2.0, top + 1.0}, {x + w + 2.0, top + 1.0}, {x + w / 2.0, top - 9.0 - rng.Below(6)}}, Mix(wall, {0, 0, 0}, 0.25));
    for (int wy = top + 6; wy < ground - 6; wy += 10) {
      for (int wx = x + 4; wx < x + w - 5; wx += 8) {
        if (rng.Uniform(0, 1) < lit) c.Box(wx, wy, wx + 3, wy + 4, kWindowLit);
      }
    }
    x += w + 1;
  }
}

Canvas Harbour(bool night) {
  Canvas c(640, 480, {0, 0, 0});
  Random rng(night ? 71 : 17);
  constexpr int kHorizon = 236;
  const std::vector<Rgb> sky = night ? std::vector<Rgb>{{8, 12, 38}, {18, 26, 70}, {40, 48, 104}, {70, 66, 124}}
                                     : std::vector<Rgb>{{54, 50, 112}, {138, 78, 136}, {230, 118, 104}, {252, 184, 112}};
  c.Bands(0, kHorizon, sky, 40);
  if (night) {
    Crescent(c, 540, 66, 20, {246, 240, 204});
    StarField(c, rng, 0, kHorizon - 20, 170);
  } else {
    c.Glow(250, kHorizon, 150, {255, 226, 150}, 0.55);
    c.Disc(250, kHorizon, 34, {255, 226, 146});
    // Thin clouds lit from below.
    for (int i = 0; i < 7; ++i) {
      const double y = 60 + i * 22 + rng.Uniform(-6, 6);
      const double x = rng.Uniform(-50, 600);
      c.Ellipse(x, y, rng.Uniform(60, 140), 3 + i * 0.5, Mix({250, 160, 150}, {255, 210, 170}, i / 7.0));
    }
  }
  // The far shore with the town on the left, the cape with the lighthouse on the right.
  const Rgb far = night ? Rgb{26, 28, 60} : Rgb{96, 60, 104};
  Hills(c, kHorizon - 14, 6, 40, 3, 13, 0.5, far);
  Townscape(c, rng, 0, 230, kHorizon, 14, 40, night ? Rgb{30, 32, 64} : Rgb{110, 66, 110}, night ? 0.45 : 0.12);
  const Rgb cape = night ? Rgb{20, 24, 50} : Rgb{82, 50, 92};
  c.Polygon({{380, kHorizon + 1.0}, {470, kHorizon - 30.0}, {560, kHorizon - 52.0}, {640, kHorizon - 60.0},
             {640, kHorizon + 1.0}},
            cape);
  if (night) {
    // The lighthouse's beam sweeping over the sea.
    Shaft(c, {586, 140}, 4, {40, 80}, 50, {255, 240, 190}, 0.35);
    c.Glow(586, 140, 40, {255, 240, 180}, 0.6);
  }
  Lighthouse(c, 586, kHorizon - 56, 84, 24, night);

  const std::vector<Rgb> sea = night ? std::vector<Rgb>{{44, 54, 104}, {22, 30, 68}, {10, 14, 40}}
                                     : std::vector<Rgb>{{236, 146, 112}, {150, 84, 118}, {58, 44, 90}};
  c.Bands(kHorizon, 480, sea, 24);
  if (night) {
    Ripples(c, rng, kHorizon + 2, 480, 540, 30, {200, 196, 170}, 160);
    Ripples(c, rng, kHorizon + 2, 300, 250, 200, {70, 80, 130}, 60);
    // The town's lights on the water.
    for (int i = 0; i < 40; ++i) {
      const int x = 10 + rng.Below(220);
      const int y = kHorizon + 3 + rng.Below(30);
      c.Box(x, y, x + 2, y + 1, {170, 140, 90});
    }
  } else {
    Ripples(c, rng, kHorizon + 2, 480, 250, 40, {255, 222, 150}, 220);
    Ripples(c, rng, kHorizon + 2, 480, 320, 320, {180, 100, 130}, 90);
  }
  // Boats at anchor.
  for (const double bx : {340.0, 430.0}) {
    const Rgb hull = night ? Rgb{14, 16, 34} : Rgb{60, 34, 64};
    const double by = kHorizon + 22 + (bx - 340) / 6;
    c.Polygon({{bx - 26, by}, {bx + 26, by}, {bx + 18, by + 9}, {bx - 18, by + 9}}, hull);
    c.Box(static_cast<int>(bx) - 1, static_cast<int>(by - 46), static_cast<int>(bx) + 1, static_cast<int>(by), hull);
    c.Polygon({{bx + 2, by - 44}, {bx + 22, by - 6}, {bx + 2, by - 6}}, night ? Rgb{60, 66, 104} : Rgb{220, 170, 150});
  }
  // The quay in front, with its lamp post (the lamp itself is a partial animation).
  const Rgb stone_top = night ? Rgb{70, 72, 100} : Rgb{170, 128, 126};
  const Rgb stone_face = night ? Rgb{44, 46, 72} : Rgb{112, 76, 92};
  c.Polygon({{0, 318}, {250, 318}, {300, 344}, {0, 344}}, stone_top);
  c.Polygon({{0, 344}, {300, 344}, {300, 480}, {0, 480}}, stone_face);
  for (int y = 344; y < 480; y += 22) {
    c.Box(0, y, 300, y + 2, Mix(stone_face, {0, 0, 0}, 0.3));
    for (int x = (y / 22 % 2) * 30; x < 300; x += 60) c.Box(x, y, x + 2, y + 22, Mix(stone_face, {0, 0, 0}, 0.3));
  }
  const Rgb iron{30, 30, 44};
  c.Box(200, 300, 222, 326, iron);
  c.Ellipse(211, 300, 14, 5, Mix(iron, {255, 255, 255}, 0.15));
  c.Box(114, 204, 120, 330, iron);
  c.Box(108, 326, 126, 332, iron);
  c.Box(110, 196, 124, 204, iron);
  return c;
}

Canvas NightSky() {
  Canvas c(640, 480, {0, 0, 0});
  Random rng(5);
  const std::vector<Rgb> sky{{4, 6, 26}, {14, 20, 60}, {36, 40, 100}, {84, 70, 130}};
  c.Bands(0, 400, sky, 48);
  Crescent(c, 560, 190, 24, {250, 244, 210});
  // The milky way: a pale band across the sky, thick with small stars.
  Shaft(c, {-40, 330}, 70, {680, 30}, 60, {150, 140, 210}, 0.16, false);
  for (int i = 0; i < 1400; ++i) {
    const double t = rng.Uniform(0, 1);
    const double x = -40 + t * 720;
    const double y = 330 - t * 300 + rng.Uniform(-45, 45) * (0.6 + std::sin(t * 9) * 0.4);
    c.Set(static_cast<int>(x), static_cast<int>(y), Mix({90, 96, 150}, {200, 200, 236}, rng.Uniform(0, 1)));
  }
  StarField(c, rng, 0, 380, 260);
  Hills(c, 380, 12, 70, 6, 23, 0, {30, 28, 64});
  Hills(c, 408, 10, 90, 5, 31, 2, {18, 18, 42});
  Lighthouse(c, 96, 392, 64, 18, true);
  c.Glow(96, 318, 30, {255, 240, 180}, 0.6);
  // The town's lights at the foot of the hills, and the sea.
  Townscape(c, rng, 180, 470, 418, 8, 24, {22, 22, 50}, 0.5);
  c.Bands(418, 480, {{30, 34, 80}, {8, 10, 30}}, 10);
  Ripples(c, rng, 420, 480, 560, 36, {200, 196, 170}, 60);
  return c;
}

// The street by the harbour, 1280 pixels wide so that it can scroll by; it joins at its ends.
Canvas Street() {
  constexpr int kWidth = 1280;
  constexpr int kGround = 372;
  Canvas c(kWidth, 480, {0, 0, 0});
  Random rng(23);
  const std::vector<Rgb> sky{{10, 14, 44}, {30, 36, 90}, {80, 70, 130}};
  c.Bands(0, kGround, sky, 36);
  StarField(c, rng, 0, 260, 260);
  for (int i = 0; i < 3; ++i) {  // stars still falling
    const double x = 160 + i * 430;
    const double y = 40 + i * 25;
    c.Line({x, y}, {x - 70, y + 40}, 2, {140, 150, 200});
    c.Line({x, y}, {x - 30, y + 17}, 2, {230, 226, 190});
    c.Sparkle(x, y, 6, {255, 240, 180});
  }
  Hills(c, 300, 14, 120, 6, 37, 1, {36, 36, 74});

  // A house: walls, roof, windows; drawn at x and again one picture-width to the left, so that
  // a house across the seam shows at both ends.
  auto house = [&c](int x, int w, int top, Rgb wall, Rgb roof, bool gable) {
    for (const int shift : {0, -kWidth}) {
      const int left = x + shift;
      c.Box(left, top, left + w, kGround, wall);
      if (gable) {
        c.Polygon({{left - 8.0, top + 2.0}, {left + w + 8.0, top + 2.0}, {left + w / 2.0, top - w * 0.42}}, roof);
      } else {
        c.Box(left - 4, top - 8, left + w + 4, top + 2, roof);
      }
      Random windows(static_cast<std::uint32_t>(x * 7 + 3));
      for (int wy = top + 18; wy < kGround - 40; wy += 46) {
        for (int wx = left + 14; wx + 22 < left + w - 8; wx += 40) {
          const bool lit = windows.Uniform(0, 1) < 0.6;
          c.Box(wx - 2, wy - 2, wx + 24, wy + 30, Mix(wall, {0, 0, 0}, 0.35));
          c.Box(wx, wy, wx + 22, wy + 28, lit ? kWindowLit : kWindowDark);
          c.Box(wx + 10, wy, wx + 12, wy + 28, Mix(wall, {0, 0, 0}, 0.35));
        }
      }
    }
  };
  house(-40, 110, 200, {70, 84, 110}, {40, 40, 66}, true);
  house(70, 90, 250, {96, 80, 88}, {60, 40, 50}, false);
  house(220, 100, 230, {84, 96, 86}, {44, 56, 56}, true);
  // The bakery, with its striped awning and a lit shop window.
  house(340, 250, 188, {150, 130, 108}, {92, 54, 50}, true);
  c.Box(372, 290, 566, 366, {250, 214, 140});
  for (int k = 0; k < 5; ++k) c.Ellipse(400 + k * 38, 346, 14, 7, {196, 128, 64});
  for (int x = 360; x < 580; x += 22) {
    c.Polygon({{x + 0.0, 268}, {x + 11.0, 268}, {x + 11.0, 292}, {x + 0.0, 292}}, {200, 70, 70});
    c.Polygon({{x + 11.0, 268}, {x + 22.0, 268}, {x + 22.0, 292}, {x + 11.0, 292}}, {236, 220, 190});
  }
  c.Box(426, 236, 512, 262, {80, 52, 40});
  c.Ellipse(469, 249, 26, 9, {214, 150, 80});
  c.Box(560, 120, 580, 170, {92, 54, 50});
  // The clock tower.
  house(690, 230, 232, {92, 96, 126}, {50, 50, 80}, false);
  c.Box(760, 70, 840, 232, {110, 112, 144});
  c.Polygon({{752, 72}, {848, 72}, {800, 14}}, {60, 56, 92});
  c.Disc(800, 128, 30, {60, 56, 92});
  c.Disc(800, 128, 26, {240, 230, 200});
  c.Line({800, 128}, {800, 108}, 3, {40, 36, 50});
  c.Line({800, 128}, {814, 136}, 3, {40, 36, 50});
  c.Box(786, 180, 814, 222, kWindowLit);
  house(930, 70, 250, {100, 76, 96}, {60, 44, 60}, true);
  // The flower shop, green awning and pots of flowers in front.
  house(1010, 220, 206, {86, 110, 96}, {46, 66, 56}, false);
  c.Box(1030, 292, 1212, 360, {236, 212, 150});
  for (int x = 1020; x < 1226; x += 22) {
    c.Polygon({{x + 0.0, 266}, {x + 22.0, 266}, {x + 22.0, 288}, {x + 11.0, 296}, {x + 0.0, 288}},
              (x / 22) % 2 ? Rgb{60, 130, 90} : Rgb{220, 230, 200});
  }
  const Rgb petals[] = {{230, 90, 120}, {250, 200, 80}, {170, 120, 230}, {250, 150, 170}};
  for (int k = 0; k < 9; ++k) {
    const int px = 1030 + k * 22;
    c.Box(px - 8, 350, px + 8, 370, {150, 86, 60});
    for (int f = 0; f < 4; ++f) c.Disc(px - 6 + (f % 2) * 12, 342 - (f / 2) * 8 + (k % 2) * 2, 4, petals[(k + f) % 4]);
  }
  house(1236, 80, 226, {70, 84, 110}, {40, 40, 66}, true);

  // The fountain in the little square where the street begins.
  c.Ellipse(160, 364, 70, 12, {90, 96, 126});
  c.Box(90, 352, 230, 366, {90, 96, 126});
  c.Ellipse(160, 352, 70, 12, {120, 130, 168});
  c.Ellipse(160, 352, 62, 9, {60, 90, 150});
  c.Box(154, 300, 166, 352, {120, 130, 168});
  for (int k = -2; k <= 2; ++k) {
    for (double t = 0; t < 1; t += 0.02) {
      const double x = 160 + k * 22 * t;
      const double y = 296 - 30 * std::sin(std::numbers::pi * t * 0.8) + 58 * t * t;
      c.Disc(x, y, 1.5, {180, 210, 250});
    }
  }

  // The pavement and the cobbled road.
  c.Box(0, kGround, kWidth, kGround + 10, {96, 92, 110});
  c.Bands(kGround + 10, 480, {{60, 56, 76}, {40, 38, 56}}, 8);
  for (int y = kGround + 18, row = 0; y < 480; y += 12 + row * 2, ++row) {
    c.Box(0, y, kWidth, y + 1, {34, 32, 48});
    for (int x = (row % 2) * 20; x < kWidth; x += 40 + row * 4) c.Box(x, y - 10 - row, x + 1, y, {34, 32, 48});
  }
  // Street lamps.
  for (const int lx : {40, 330, 660, 920, 1240}) {
    c.Glow(lx, 252, 60, {255, 220, 150}, 0.45);
    c.Box(lx - 2, 256, lx + 2, kGround + 4, {24, 24, 36});
    c.Polygon({{lx - 9.0, 244}, {lx + 9.0, 244}, {lx + 6.0, 260}, {lx - 6.0, 260}}, {255, 230, 160});
    c.Polygon({{lx - 11.0, 244}, {lx + 11.0, 244}, {lx + 0.0, 236}}, {24, 24, 36});
  }
  return c;
}

Canvas Square() {
  Canvas c(640, 480, {0, 0, 0});
  Random rng(31);
  c.Bands(0, 260, {{10, 14, 44}, {34, 40, 96}, {70, 66, 126}}, 30);
  StarField(c, rng, 0, 150, 120);
  // Houses round the square, and trees between them.
  const Rgb walls[] = {{70, 78, 110}, {88, 74, 96}, {66, 90, 96}, {92, 86, 76}};
  for (int k = 0; k < 6; ++k) {
    const int x = k * 110 - 10;
    const int top = 120 + (k * 37) % 50;
    const Rgb wall = walls[k % 4];
    c.Box(x, top, x + 104, 250, wall);
    c.Polygon({{x - 6.0, top + 2.0}, {x + 110.0, top + 2.0}, {x + 52.0, top - 40.0}}, Mix(wall, {0, 0, 0}, 0.4));
    for (int wy = top + 16; wy < 236; wy += 36) {
      for (int wx = x + 14; wx < x + 90; wx += 32) c.Box(wx, wy, wx + 16, wy + 22, (wx + wy) % 3 ? kWindowLit : kWindowDark);
    }
  }
  for (const int tx : {104, 326, 548}) {
    c.Box(tx - 4, 200, tx + 4, 254, {40, 30, 34});
    c.Disc(tx, 190, 30, {28, 52, 50});
    c.Disc(tx - 16, 204, 22, {28, 52, 50});
    c.Disc(tx + 18, 200, 22, {34, 62, 58});
  }
  // The paving, lighter towards the viewer.
  c.Bands(250, 480, {{60, 58, 84}, {104, 98, 120}}, 14);
  for (int y = 262, gap = 10; y < 480; y += gap, gap += 3) c.Box(0, y, 640, y + 1, {50, 48, 70});
  for (int k = -8; k <= 8; ++k) c.Line({320.0 + k * 40, 250}, {320.0 + k * 130, 480}, 1, {50, 48, 70});

  // The well on the left, with its little roof.
  const Rgb stone{120, 120, 140};
  const Rgb wood{96, 66, 56};
  c.Box(58, 164, 66, 262, wood);
  c.Box(174, 164, 182, 262, wood);
  c.Polygon({{36, 170}, {204, 170}, {120, 116}}, {110, 56, 60});
  c.Polygon({{50, 170}, {190, 170}, {120, 128}}, {140, 72, 72});
  c.Line({120, 170}, {120, 214}, 1, {40, 30, 30});
  c.Box(112, 214, 128, 230, wood);
  c.Ellipse(120, 318, 70, 18, Mix(stone, {0, 0, 0}, 0.3));
  c.Box(50, 258, 190, 318, stone);
  for (int y = 266; y < 318; y += 13) {
    c.Box(50, y, 190, y + 1, Mix(stone, {0, 0, 0}, 0.35));
    for (int x = 50 + (y / 13 % 2) * 14; x < 190; x += 28) c.Box(x, y - 12, x + 1, y, Mix(stone, {0, 0, 0}, 0.35));
  }
  c.Ellipse(120, 258, 70, 18, Mix(stone, {255, 255, 255}, 0.2));
  c.Ellipse(120, 258, 58, 12, {20, 22, 40});

  // The bench in the middle (the cat sleeping on it is a partial animation).
  const Rgb bench{120, 86, 62};
  const Rgb bench_dark{74, 52, 42};
  for (const int lx : {276, 424}) c.Box(lx, 300, lx + 8, 340, bench_dark);
  for (int k = 0; k < 3; ++k) c.Box(264, 256 + k * 12, 444, 264 + k * 12, bench);
  c.Box(272, 250, 280, 300, bench_dark);
  c.Box(428, 250, 436, 300, bench_dark);
  c.Box(258, 296, 450, 306, bench);
  c.Box(258, 306, 450, 310, bench_dark);

  // The flower bed on the right.
  c.Ellipse(544, 334, 92, 22, {110, 60, 50});
  c.Ellipse(544, 328, 86, 18, {60, 40, 36});
  const Rgb petals[] = {{236, 90, 120}, {250, 204, 90}, {180, 130, 236}, {250, 150, 170}, {236, 120, 70}};
  Random flowers(8);
  for (int k = 0; k < 34; ++k) {
    const double fx = 470 + flowers.Uniform(0, 148);
    const double fy = 300 + flowers.Uniform(0, 34);
    c.Line({fx, fy}, {fx, fy + 14}, 2, {50, 110, 60});
    c.Disc(fx, fy, 5, petals[k % 5]);
    c.Disc(fx, fy, 2, {250, 236, 160});
  }

  // The lamp between the well and the bench.
  c.Glow(226, 176, 70, {255, 220, 150}, 0.45);
  c.Box(224, 180, 229, 330, {24, 24, 36});
  c.Polygon({{215, 168}, {237, 168}, {233, 186}, {219, 186}}, {255, 230, 160});
  c.Polygon({{212, 168}, {240, 168}, {226, 158}}, {24, 24, 36});
  return c;
}

// The hidden picture of the square: one flat colour for each place that can be clicked.
Canvas SquareBackScreen() {
  Canvas c(640, 480, {0, 0, 0});
  c.Box(30, 110, 210, 340, {255, 0, 0});     // the well
  c.Box(252, 240, 456, 346, {0, 0, 255});    // the bench
  c.Ellipse(544, 320, 104, 44, {0, 255, 0});  // the flower bed
  return c;
}

Canvas Attic() {
  Canvas c(640, 480, {44, 32, 30});
  // Plank walls.
  for (int x = 0, k = 0; x < 640; ++k) {
    const int w = 36 + (k * 13) % 18;
    c.Box(x, 0, x + w, 390, k % 2 ? Rgb{60, 44, 38} : Rgb{54, 40, 34});
    c.Box(x, 0, x + 2, 390, {34, 24, 22});
    x += w;
  }
  // The round window and the moonlight falling through it.
  c.Disc(320, 96, 52, {40, 30, 28});
  c.Disc(320, 96, 46, {60, 80, 140});
  c.Sparkle(306, 80, 4, {230, 230, 250});
  c.Box(317, 50, 323, 142, {40, 30, 28});
  c.Box(274, 93, 366, 99, {40, 30, 28});
  // The roof comes down at both sides.
  c.Polygon({{0, 0}, {210, 0}, {0, 250}}, {30, 22, 24});
  c.Polygon({{640, 0}, {430, 0}, {640, 250}}, {30, 22, 24});
  c.Line({210, 0}, {0, 250}, 16, {70, 50, 40});
  c.Line({430, 0}, {640, 250}, 16, {70, 50, 40});
  c.Box(0, 22, 640, 36, {70, 50, 40});
  // Floor boards.
  c.Bands(390, 480, {{76, 56, 44}, {58, 42, 34}}, 6);
  for (int y = 398; y < 480; y += 16) c.Box(0, y, 640, y + 1, {40, 28, 24});
  Shaft(c, {320, 142}, 34, {320, 470}, 150, {150, 170, 230}, 0.3);  // moonlight in the dust
  // Crates on the left, a trunk on the right, an old telescope.
  for (const auto& [x, y, s] : {std::tuple{40, 300, 100}, std::tuple{140, 320, 80}, std::tuple{70, 230, 70}}) {
    c.Box(x, y, x + s, y + s, {110, 78, 52});
    c.Box(x, y, x + s, y + 6, {84, 58, 40});
    c.Box(x, y + s - 6, x + s, y + s, {84, 58, 40});
    c.Line({x + 3.0, y + 6.0}, {x + s - 3.0, y + s - 6.0}, 5, {84, 58, 40});
  }
  c.Box(450, 330, 610, 410, {96, 50, 44});
  c.Ellipse(530, 330, 80, 20, {120, 64, 54});
  c.Box(450, 350, 610, 358, {170, 140, 80});
  c.Box(522, 350, 538, 372, {200, 170, 100});
  c.Line({520, 240}, {490, 330}, 4, {70, 60, 60});
  c.Line({520, 240}, {552, 330}, 4, {70, 60, 60});
  c.Line({520, 240}, {524, 334}, 4, {70, 60, 60});
  c.Line({470, 270}, {580, 210}, 14, {150, 120, 70});
  c.Line({574, 213}, {590, 204}, 18, {120, 96, 60});
  // Cobwebs in the corners of the beams.
  for (int k = 1; k <= 4; ++k) c.Line({250.0 - k * 14, 36}, {250, 36.0 + k * 14}, 1, {90, 86, 96});
  c.Line({250, 36}, {200, 86}, 1, {90, 86, 96});
  return c;
}

Canvas LighthouseBelow() {
  Canvas c(640, 480, {0, 0, 0});
  Random rng(41);
  constexpr int kGround = 346;  // the foot of the tower, above the dialogue window
  c.Bands(0, 330, {{6, 8, 32}, {20, 28, 76}, {58, 58, 118}}, 36);
  StarField(c, rng, 0, 270, 200);
  c.Bands(270, 340, {{40, 48, 100}, {16, 20, 50}}, 8);  // the sea behind
  Ripples(c, rng, 272, 340, 420, 200, {80, 90, 140}, 60);
  // The tower, seen from its foot: it narrows as it rises out of the picture.
  const Rgb wall{188, 192, 214};
  const Rgb shade{150, 154, 184};
  const Rgb band{128, 48, 72};
  constexpr double kMiddle = 225;
  auto half_width = [](double y) { return 57 + y * 0.055 * 430 / kGround; };
  c.Polygon({{kMiddle - half_width(kGround), kGround + 6.0}, {kMiddle + half_width(kGround), kGround + 6.0},
             {kMiddle + half_width(0), 0}, {kMiddle - half_width(0), 0}},
            wall);
  c.Polygon({{kMiddle + 25, kGround + 6.0}, {kMiddle + half_width(kGround), kGround + 6.0},
             {kMiddle + half_width(0), 0}, {kMiddle + 21, 0}},
            shade);
  for (const int y : {40, 150, 250}) {
    c.Polygon({{kMiddle - half_width(y), y + 0.0}, {kMiddle + half_width(y), y + 0.0},
               {kMiddle + half_width(y + 30), y + 30.0}, {kMiddle - half_width(y + 30), y + 30.0}},
              band);
  }
  for (const int y : {100, 200}) c.Box(218, y, 232, y + 28, {255, 226, 150});
  // The door and its lamp.
  c.Box(192, 278, 258, kGround + 6, {70, 50, 44});
  c.Disc(kMiddle, 278, 33, {70, 50, 44});
  c.Box(198, 284, 252, kGround + 6, {110, 76, 56});
  c.Disc(kMiddle, 284, 27, {110, 76, 56});
  c.Box(224, 258, 226, kGround + 6, {70, 50, 44});
  c.Disc(244, 320, 3, {230, 200, 120});
  c.Glow(290, 262, 40, {255, 220, 150}, 0.6);
  c.Box(284, 252, 296, 270, {255, 230, 160});
  // Rocks and grass.
  c.Polygon({{0, kGround - 2.0}, {120, kGround - 8.0}, {330, kGround - 4.0}, {640, kGround - 12.0}, {640, 480}, {0, 480}},
            {36, 56, 50});
  Random grass(3);
  for (int i = 0; i < 220; ++i) {
    const double x = grass.Uniform(0, 640);
    const double y = grass.Uniform(kGround - 4, 480);
    c.Line({x, y}, {x + grass.Uniform(-4, 4), y - grass.Uniform(6, 14)}, 2, {50, 84, 66});
  }
  c.Polygon({{380, kGround + 14.0}, {420, kGround - 30.0}, {470, kGround - 34.0}, {520, kGround + 14.0}}, {70, 74, 96});
  c.Polygon({{420, kGround - 30.0}, {470, kGround - 34.0}, {480, kGround - 18.0}, {430, kGround - 16.0}}, {96, 100, 126});
  c.Polygon({{0, kGround + 40.0}, {40, kGround - 6.0}, {100, kGround + 2.0}, {110, kGround + 44.0}}, {62, 66, 90});
  return c;
}

Canvas LighthouseTop() {
  Canvas c(640, 480, {0, 0, 0});
  Random rng(53);
  constexpr int kHorizon = 300;
  const std::vector<Rgb> sky{{4, 6, 28}, {16, 22, 66}, {40, 44, 104}, {92, 78, 140}};
  c.Bands(0, kHorizon, sky, 40);
  Shaft(c, {60, kHorizon + 20.0}, 60, {640, -20}, 70, {150, 140, 210}, 0.16, false);
  for (int i = 0; i < 2200; ++i) {  // the milky way, rising from the sea
    const double t = rng.Uniform(0, 1);
    const double x = 60 + t * 560;
    const double y = kHorizon - t * 300 + rng.Uniform(-55, 55) * (0.5 + 0.5 * std::sin(t * 7));
    c.Set(static_cast<int>(x), static_cast<int>(y), Mix({80, 86, 150}, {214, 210, 240}, rng.Uniform(0, 1)));
  }
  StarField(c, rng, 0, kHorizon - 20, 320);
  // The lamp's beam going out over the sea.
  Shaft(c, {-20, 190}, 6, {660, 150}, 60, {255, 240, 190}, 0.25);
  c.Bands(kHorizon, 480, {{40, 46, 96}, {10, 12, 36}}, 16);
  Ripples(c, rng, kHorizon + 2, 480, 320, 260, {70, 80, 130}, 120);
  // The town far below, along the shore.
  for (int i = 0; i < 90; ++i) {
    const int x = rng.Below(260);
    const int y = kHorizon + 2 + rng.Below(10);
    c.Box(x, y, x + 2, y + 2, rng.Below(3) ? kWindowLit : Rgb{250, 160, 110});
  }
  // The gallery's railing in front.
  const Rgb iron{26, 26, 42};
  c.Box(0, 446, 640, 480, {40, 40, 58});
  c.Box(0, 446, 640, 450, {60, 60, 84});
  for (int x = 20; x < 640; x += 78) c.Box(x, 344, x + 8, 446, iron);
  c.Box(0, 340, 640, 350, iron);
  c.Box(0, 350, 640, 352, {70, 70, 100});
  c.Box(0, 396, 640, 401, iron);
  return c;
}

}  // namespace

void DrawBackgrounds(const PictureSink& emit) {
  emit("夜空", NightSky(), Layer::kOpaque);
  emit("港夕", Harbour(false), Layer::kOpaque);
  emit("港夜", Harbour(true), Layer::kOpaque);
  emit("町", Street(), Layer::kOpaque);
  emit("広場", Square(), Layer::kOpaque);
  emit("広場裏", SquareBackScreen(), Layer::kOpaque);
  emit("屋根裏", Attic(), Layer::kOpaque);
  emit("灯台下", LighthouseBelow(), Layer::kOpaque);
  emit("灯台上", LighthouseTop(), Layer::kOpaque);
}

}  // namespace demo
