#include "platform/text_renderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/sjis.h"

namespace tumu {

namespace {

struct LibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
using LibraryPtr = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;

struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

struct FcConfigDeleter {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct FcPatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct FcFontSetDeleter {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
struct FcLangSetDeleter {
  void operator()(FcLangSet* langs) const { FcLangSetDestroy(langs); }
};

// Players are told what went wrong in words; this build of FreeType carries no error strings.
std::string DescribeFreeTypeError(FT_Error error) {
  switch (error) {
    case FT_Err_Cannot_Open_Resource:
      return "the file cannot be opened";
    case FT_Err_Unknown_File_Format:
      return "not a font file FreeType knows";
    case FT_Err_Invalid_File_Format:
    case FT_Err_Invalid_Table:
      return "the font file is damaged";
    case FT_Err_Invalid_Argument:
      return "no such face in the font file";
    case FT_Err_Out_Of_Memory:
      return "out of memory";
    default:
      return "FreeType error " + std::to_string(error);
  }
}

// A font file and the face in it.
struct FontLocation {
  std::string file;
  int index = 0;
};

// Japanese Gothic faces in the order we like them: fixed-pitch Gothics first (half-width Latin,
// full-width kana and kanji, as the game's layout expects), then the generic monospace alias.
// The language test below keeps only faces that really cover Japanese.
constexpr const char* kPreferredFamilies[] = {
    "IPAGothic", "TakaoGothic", "VL Gothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP",
    "monospace",
};

// The Japanese fonts fontconfig knows, best first. Empty when none covers Japanese.
std::vector<FontLocation> FindJapaneseFonts() {
  std::vector<FontLocation> found;
  std::unique_ptr<FcConfig, FcConfigDeleter> config(FcInitLoadConfigAndFonts());
  if (!config) return found;
  std::unique_ptr<FcPattern, FcPatternDeleter> pattern(FcPatternCreate());
  std::unique_ptr<FcLangSet, FcLangSetDeleter> japanese(FcLangSetCreate());
  if (!pattern || !japanese) return found;
  for (const char* family : kPreferredFamilies) {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  }
  const auto* ja = reinterpret_cast<const FcChar8*>("ja");
  FcLangSetAdd(japanese.get(), ja);
  FcPatternAddLangSet(pattern.get(), FC_LANG, japanese.get());
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());

  FcResult result = FcResultNoMatch;
  std::unique_ptr<FcFontSet, FcFontSetDeleter> fonts(
      FcFontSort(config.get(), pattern.get(), FcFalse, nullptr, &result));
  if (!fonts) return found;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcPattern* font = fonts->fonts[i];
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch ||
        FcLangSetHasLang(langs, ja) == FcLangDifferentLang) {
      continue;
    }
    FcBool outline = FcFalse;
    if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) continue;
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || file == nullptr) continue;
    int index = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    found.push_back({reinterpret_cast<const char*>(file), index});
  }
  return found;
}

// One character at one height: its pen advance and its ink, one byte per pixel (1 = ink), placed
// relative to the pen position on the cell's top edge.
struct Glyph {
  int advance = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  std::vector<std::uint8_t> ink;
};

// Rendered glyphs kept at most, counted in ink bytes: a whole game's character set at its usual
// sizes fits many times over; a flood of huge sizes only costs re-rendering.
constexpr std::size_t kGlyphCacheBudget = std::size_t{8} << 20;

class FreeTypeTextRenderer final : public TextRenderer {
 public:
  FreeTypeTextRenderer(LibraryPtr library, FacePtr face, std::string file)
      : library_(std::move(library)), face_(std::move(face)), file_(std::move(file)) {
    // Faces whose ascender and descender are missing or nonsense fall back to the em square.
    font_ascender_ = face_->ascender;
    font_height_ = face_->ascender - face_->descender;
    if (font_ascender_ <= 0 || font_height_ <= 0 || font_ascender_ > font_height_) {
      font_height_ = face_->units_per_EM > 0 ? face_->units_per_EM : 1;
      font_ascender_ = font_height_ * 7 / 8;
    }
  }

  const std::string& font_file() const override { return file_; }

  int DrawText(Surface565& surface, int x, int y, std::string_view sjis, int pixel_height,
               std::uint16_t foreground, std::uint16_t background) override {
    if (pixel_height <= 0 || sjis.empty()) return 0;
    const int width = Layout(sjis, pixel_height);
    // The box of the text, clipped to the surface, in coordinates wide enough for any x and width.
    const std::int64_t box_x0 = std::max<std::int64_t>(x, 0);
    const std::int64_t box_y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t box_x1 = std::min<std::int64_t>(std::int64_t{x} + width, surface.width());
    const std::int64_t box_y1 =
        std::min<std::int64_t>(std::int64_t{y} + pixel_height, surface.height());
    if (box_x0 >= box_x1 || box_y0 >= box_y1) return width;
    surface.FillRect({static_cast<int>(box_x0), static_cast<int>(box_y0),
                      static_cast<int>(box_x1 - box_x0), static_cast<int>(box_y1 - box_y0)},
                     background);

    std::int64_t pen = x;
    for (const Glyph* glyph : line_) {
      const std::int64_t gx = pen + glyph->left;
      const std::int64_t gy = std::int64_t{y} + glyph->top;
      pen += glyph->advance;
      // Ink reaching past the box (overhangs, deep descenders, tall accents) is cut at the box,
      // so nothing outside the filled area ever changes.
      const std::int64_t col0 = std::max<std::int64_t>(0, box_x0 - gx);
      const std::int64_t col1 = std::min<std::int64_t>(glyph->width, box_x1 - gx);
      const std::int64_t row0 = std::max<std::int64_t>(0, box_y0 - gy);
      const std::int64_t row1 = std::min<std::int64_t>(glyph->rows, box_y1 - gy);
      if (col0 >= col1 || row0 >= row1) continue;
      for (std::int64_t r = row0; r < row1; ++r) {
        const std::uint8_t* ink = glyph->ink.data() + r * glyph->width;
        std::uint16_t* out = surface.row(static_cast<int>(gy + r)) + gx;
        for (std::int64_t c = col0; c < col1; ++c) {
          if (ink[c]) out[c] = foreground;
        }
      }
    }
    return width;
  }

  int MeasureText(std::string_view sjis, int pixel_height) override {
    if (pixel_height <= 0 || sjis.empty()) return 0;
    return Layout(sjis, pixel_height);
  }

 private:
  // Fills line_ with the glyphs of the text and returns the sum of their advances.
  int Layout(std::string_view sjis, int pixel_height) {
    // The cache is only ever emptied here, before any glyph of this text is looked up, so the
    // pointers in line_ stay valid while the text is drawn.
    if (cached_bytes_ > kGlyphCacheBudget) {
      cache_.clear();
      cached_bytes_ = 0;
    }
    line_.clear();
    std::int64_t width = 0;
    for (char32_t code : SjisToUtf32(sjis)) {
      const Glyph& glyph = CachedGlyph(code, pixel_height);
      line_.push_back(&glyph);
      width += glyph.advance;
    }
    return static_cast<int>(std::min<std::int64_t>(width, std::numeric_limits<int>::max()));
  }

  const Glyph& CachedGlyph(char32_t code, int pixel_height) {
    const std::uint64_t key = (std::uint64_t{code} << 32) | static_cast<std::uint32_t>(pixel_height);
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
    Glyph glyph = RenderGlyph(code, pixel_height);
    cached_bytes_ += glyph.ink.size() + sizeof(Glyph);
    return cache_.emplace(key, std::move(glyph)).first->second;
  }

  // Scales the face so that its ascender plus descender spans pixel_height pixels, the height of
  // a character cell.
  bool SetHeight(int pixel_height) {
    if (pixel_height == current_height_) return true;
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;
    request.width = 0;
    request.height = static_cast<FT_Long>(pixel_height) * 64;
    if (FT_Request_Size(face_.get(), &request) != 0) {
      current_height_ = 0;
      return false;
    }
    current_height_ = pixel_height;
    return true;
  }

  Glyph RenderGlyph(char32_t code, int pixel_height) {
    Glyph glyph;
    // A character the font cannot draw still takes room, so the rest of the row stays in place.
    glyph.advance = (pixel_height + 1) / 2;
    if (!SetHeight(pixel_height)) return glyph;
    const FT_UInt index = FT_Get_Char_Index(face_.get(), static_cast<FT_ULong>(code));
    // The missing-glyph box (index 0) stands in for characters the font lacks.
    if (!LoadMonochrome(index) && (index == 0 || !LoadMonochrome(0))) return glyph;

    const FT_GlyphSlot slot = face_->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const std::int64_t baseline =
        (std::int64_t{font_ascender_} * pixel_height + font_height_ / 2) / font_height_;
    glyph.left = slot->bitmap_left;
    glyph.top = static_cast<int>(baseline - slot->bitmap_top);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.buffer == nullptr) return glyph;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    // Embedded bitmaps may come in grey levels; those are cut at half so the ink stays two-tone.
    if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.ink.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int r = 0; r < glyph.rows; ++r) {
      const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(r) * bitmap.pitch;
      std::uint8_t* ink = glyph.ink.data() + static_cast<std::size_t>(r) * glyph.width;
      for (int c = 0; c < glyph.width; ++c) {
        ink[c] = mono ? (source[c >> 3] >> (7 - (c & 7))) & 1 : source[c] >= 128;
      }
    }
    return glyph;
  }

  bool LoadMonochrome(FT_UInt index) {
    if (FT_Load_Glyph(face_.get(), index, FT_LOAD_TARGET_MONO) != 0) return false;
    if (face_->glyph->format == FT_GLYPH_FORMAT_BITMAP) return true;
    return FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO) == 0;
  }

  // The face must go before the library that made it: members are destroyed in reverse order.
  LibraryPtr library_;
  FacePtr face_;
  std::string file_;
  int font_ascender_ = 0;
  int font_height_ = 1;
  int current_height_ = 0;
  std::unordered_map<std::uint64_t, Glyph> cache_;
  std::size_t cached_bytes_ = 0;
  std::vector<const Glyph*> line_;
};

// Opens one face and checks that it can draw text for us: scalable, with a Unicode character map.
FacePtr OpenFace(FT_Library library, const FontLocation& location, std::string& why) {
  FT_Face raw = nullptr;
  const FT_Error error =
      FT_New_Face(library, location.file.c_str(), static_cast<FT_Long>(location.index), &raw);
  FacePtr face(raw);
  if (error != 0) {
    why = DescribeFreeTypeError(error);
    return nullptr;
  }
  if (!FT_IS_SCALABLE(face.get())) {
    why = "not a scalable (outline) font";
    return nullptr;
  }
  if (FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0) {
    why = "the font has no Unicode character map";
    return nullptr;
  }
  return face;
}

}  // namespace

std::unique_ptr<TextRenderer> TextRenderer::Open(const std::string& font_path,
                                                 std::string* error) {
  auto fail = [error](std::string message) -> std::unique_ptr<TextRenderer> {
    if (error != nullptr) *error = std::move(message);
    return nullptr;
  };
  FT_Library raw_library = nullptr;
  if (FT_Init_FreeType(&raw_library) != 0) return fail("cannot start FreeType");
  LibraryPtr library(raw_library);

  if (!font_path.empty()) {
    std::string why;
    FacePtr face = OpenFace(library.get(), {font_path, 0}, why);
    if (!face) return fail("cannot use the font \"" + font_path + "\": " + why);
    return std::make_unique<FreeTypeTextRenderer>(std::move(library), std::move(face), font_path);
  }

  const std::vector<FontLocation> candidates = FindJapaneseFonts();
  std::string tried;
  for (const FontLocation& candidate : candidates) {
    std::string why;
    FacePtr face = OpenFace(library.get(), candidate, why);
    if (face) {
      return std::make_unique<FreeTypeTextRenderer>(std::move(library), std::move(face),
                                                    candidate.file);
    }
    tried += "; \"" + candidate.file + "\": " + why;
  }
  return fail(
      "no usable Japanese font found (install fonts-ipafont-gothic, or name one with --font FILE)" +
      tried);
}

}  // namespace tumu
