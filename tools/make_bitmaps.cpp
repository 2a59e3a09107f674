// Builds the two built-in pictures from their reviewable sources:
//   assets/pieces.txt -> assets/pieces.bmp (192x64 piece sheet: images over masks)
//   the title scene in DrawTitle() below -> assets/title.bmp (300x200 title and background)
// Both are written as uncompressed 4-bit BMP files with the standard 16-colour palette.
// At build time it also cuts the pieces out of the sheet, for the help pages and for the
// desktop icons (PNG, scaled by whole factors or halved, nearest neighbour).
//
// Usage: make_bitmaps <assets-folder>          writes both files
//        make_bitmaps --check <assets-folder>  exit 1 if the committed files are out of date
//        make_bitmaps --help-pictures <pieces.bmp> <folder>       fire.png ... blocked.png
//        make_bitmaps --icons <pieces.bmp> <folder> <icon-name>   <folder>/NxN/apps/<name>.png
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pyra {
namespace {

// The standard Windows 16-colour palette, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

enum Colour : std::uint8_t {
  kBlack,
  kMaroon,
  kGreen,
  kOlive,
  kNavy,
  kPurple,
  kTeal,
  kSilver,
  kGrey,
  kRed,
  kLime,
  kYellow,
  kBlue,
  kFuchsia,
  kAqua,
  kWhite
};

constexpr int kCell = 32;
constexpr int kSheetWidth = 6 * kCell;
constexpr int kSheetHeight = 2 * kCell;
constexpr int kTitleWidth = 300;
constexpr int kTitleHeight = 200;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // palette indices, top row first

  Picture(int w, int h, std::uint8_t fill)
      : width(w), height(h), pixels(static_cast<size_t>(w * h), fill) {}
  std::uint8_t& At(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
  std::uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------------------------
// BMP output

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> EncodeBmp4(const Picture& picture) {
  const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(picture.width) + 1) / 2 + 3) / 4 * 4;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(picture.height);
  const std::uint32_t dataOffset = 14 + 40 + 16 * 4;
  std::vector<std::uint8_t> out;
  out.reserve(dataOffset + imageBytes);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  PutLe(out, dataOffset + imageBytes, 4);
  PutLe(out, 0, 4);  // two reserved words
  PutLe(out, dataOffset, 4);
  // BITMAPINFOHEADER; 3780 pixels per metre is 96 dpi.
  PutLe(out, 40, 4);
  PutLe(out, static_cast<std::uint32_t>(picture.width), 4);
  PutLe(out, static_cast<std::uint32_t>(picture.height), 4);  // positive: bottom-up rows
  PutLe(out, 1, 2);                                           // planes
  PutLe(out, 4, 2);                                           // bits per pixel
  PutLe(out, 0, 4);                                           // BI_RGB, uncompressed
  PutLe(out, imageBytes, 4);
  PutLe(out, 3780, 4);
  PutLe(out, 3780, 4);
  PutLe(out, 16, 4);  // colours used
  PutLe(out, 0, 4);   // all colours important
  for (std::uint32_t rgb : kPalette) {
    out.push_back(static_cast<std::uint8_t>(rgb));        // blue
    out.push_back(static_cast<std::uint8_t>(rgb >> 8));   // green
    out.push_back(static_cast<std::uint8_t>(rgb >> 16));  // red
    out.push_back(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int x = 0; x < picture.width; x += 2) {
      const std::uint8_t* row = &picture.pixels[static_cast<size_t>(y * picture.width)];
      const std::uint8_t left = row[x];
      const std::uint8_t right = x + 1 < picture.width ? row[x + 1] : 0;
      out.push_back(static_cast<std::uint8_t>((left << 4) | right));
    }
    while (out.size() - rowStart < rowBytes) out.push_back(0);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Piece sheet source
//
// Lines of pieces.txt:
//   # ...                       comment (outside a grid)
//   colour <char> <index> ...   an opaque pixel of that palette colour
//   clear <char>                a transparent pixel: white in the image, black in the mask
//   rim <char> <index> ...      a pixel of that colour in the image, transparent in the mask
//   piece <slot> ...            followed by 32 rows of 32 characters

struct Ink {
  std::uint8_t colour;
  bool opaque;
};

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

Picture ReadPieceSheet(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw SourceError("cannot read " + path);
  std::map<char, Ink> legend;
  std::array<bool, 6> seen{};
  Picture sheet(kSheetWidth, kSheetHeight, kBlack);
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    throw SourceError(path + ":" + std::to_string(lineNo) + ": " + why);
  };
  auto addInk = [&](std::istringstream& words, bool opaque, bool hasIndex) {
    std::string symbol;
    int index = kWhite;
    if (!(words >> symbol) || symbol.size() != 1) fail("expected one legend character");
    if (hasIndex && (!(words >> index) || index < 0 || index > 15)) fail("bad colour index");
    if (!legend.emplace(symbol[0], Ink{static_cast<std::uint8_t>(index), opaque}).second) {
      fail(std::string("legend character defined twice: ") + symbol);
    }
  };
  while (std::getline(in, line)) {
    ++lineNo;
    line = TrimRight(line);
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string keyword;
    words >> keyword;
    if (keyword == "colour") {
      addInk(words, true, true);
    } else if (keyword == "clear") {
      addInk(words, false, false);
    } else if (keyword == "rim") {
      addInk(words, false, true);
    } else if (keyword == "piece") {
      int slot = -1;
      if (!(words >> slot) || slot < 0 || slot > 5) fail("slot must be 0 to 5");
      if (seen[static_cast<size_t>(slot)]) fail("slot defined twice");
      seen[static_cast<size_t>(slot)] = true;
      for (int y = 0; y < kCell; ++y) {
        ++lineNo;
        if (!std::getline(in, line)) fail("grid ends early");
        line = TrimRight(line);
        if (line.size() != kCell) fail("grid row must have 32 characters");
        for (int x = 0; x < kCell; ++x) {
          auto ink = legend.find(line[static_cast<size_t>(x)]);
          if (ink == legend.end()) fail(std::string("unknown character '") + line[x] + "'");
          sheet.At(slot * kCell + x, y) = ink->second.colour;
          sheet.At(slot * kCell + x, kCell + y) = ink->second.opaque ? kWhite : kBlack;
        }
      }
    } else {
      fail("unknown keyword " + keyword);
    }
  }
  for (size_t slot = 0; slot < seen.size(); ++slot) {
    if (!seen[slot]) throw SourceError(path + ": slot " + std::to_string(slot) + " missing");
  }
  return sheet;
}

// ---------------------------------------------------------------------------------------------
// Drawing helpers for the title picture

using Paint = std::function<std::uint8_t(int x, int y)>;

// 4x4 ordered dither: a blend of two palette colours that stays crisp and tiles cleanly.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

std::uint8_t Mix(std::uint8_t from, std::uint8_t to, double amount, int x, int y) {
  return kBayer[y & 3][x & 3] + 0.5 < amount * 16.0 ? to : from;
}

Paint Solid(std::uint8_t colour) {
  return [colour](int, int) { return colour; };
}

// Flat blend: `level` sixteenths of `to` over `from`.
Paint Blend(std::uint8_t from, std::uint8_t to, int level) {
  return [=](int x, int y) { return Mix(from, to, level / 16.0, x, y); };
}

struct Stop {
  int y;
  std::uint8_t colour;
};

// Vertical gradient through the stops (sorted by y), dithered between neighbouring stops.
Paint VerticalRamp(std::vector<Stop> stops) {
  return [stops](int x, int y) {
    if (y <= stops.front().y) return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
      if (y <= stops[i].y) {
        const double t = double(y - stops[i - 1].y) / double(stops[i].y - stops[i - 1].y);
        return Mix(stops[i - 1].colour, stops[i].colour, t, x, y);
      }
    }
    return stops.back().colour;
  };
}

// Stone courses: `stone` with `joint` lines, each course `courseHeight` high, bricks offset by
// half a brick on every other course.
Paint Masonry(Paint stone, std::uint8_t joint, int courseHeight, int brickWidth, int originY) {
  return [=](int x, int y) {
    const int course = (y - originY) / courseHeight;
    const int shift = (course % 2) * (brickWidth / 2);
    if ((y - originY) % courseHeight == 0 || (x + shift) % brickWidth == 0) return joint;
    return stone(x, y);
  };
}

void FillRect(Picture& pic, int left, int top, int width, int height, const Paint& paint) {
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      if (pic.Contains(x, y)) pic.At(x, y) = paint(x, y);
    }
  }
}

struct Point {
  double x;
  double y;
};

// Even-odd scanline fill, sampling pixel centres.
void FillPolygon(Picture& pic, const std::vector<Point>& points, const Paint& paint) {
  for (int y = 0; y < pic.height; ++y) {
    const double cy = y + 0.5;
    std::vector<double> crossings;
    for (size_t i = 0; i < points.size(); ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % points.size()];
      if ((a.y <= cy && b.y > cy) || (b.y <= cy && a.y > cy)) {
        crossings.push_back(a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      for (int x = std::max(0, int(std::ceil(crossings[i] - 0.5)));
           x < pic.width && x + 0.5 < crossings[i + 1]; ++x) {
        pic.At(x, y) = paint(x, y);
      }
    }
  }
}

// One flame tongue: round at the base (baseY), pointed at the tip, bending sideways by `lean`
// pixels at the tip.
void FillFlame(Picture& pic, double centreX, double baseY, double halfWidth, double height,
               double lean, const Paint& paint) {
  for (int y = int(baseY - height); y <= int(baseY); ++y) {
    const double t = (baseY - (y + 0.5)) / height;  // 0 at the base, 1 at the tip
    if (t < 0.0 || t > 1.0) continue;
    const double bulb = 0.3;
    const double spread = t < bulb ? std::sqrt(1.0 - std::pow((bulb - t) / bulb, 2.0))
                                   : std::pow((1.0 - t) / (1.0 - bulb), 1.4);
    const double middle = centreX + lean * t * t;
    for (int x = int(middle - halfWidth) - 1; x <= int(middle + halfWidth) + 1; ++x) {
      if (pic.Contains(x, y) && std::abs(x + 0.5 - middle) < halfWidth * spread) {
        pic.At(x, y) = paint(x, y);
      }
    }
  }
}

// A 5x8 pixel font: seven rows above the baseline and one for descenders.
struct Glyph {
  char symbol;
  std::array<const char*, 8> rows;
};

// clang-format off
constexpr Glyph kFont[] = {
  {' ', {".....", ".....", ".....", ".....", ".....", ".....", ".....", "....."}},
  {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#..", "....."}},
  {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###.", "....."}},
  {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###.", "....."}},
  {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####", "....."}},
  {'3', {".###.", "#...#", "....#", "..##.", "....#", "#...#", ".###.", "....."}},
  {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#.", "....."}},
  {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###.", "....."}},
  {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###.", "....."}},
  {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#...", "....."}},
  {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###.", "....."}},
  {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##..", "....."}},
  {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#", "....."}},
  {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####.", "....."}},
  {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###.", "....."}},
  {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###..", "....."}},
  {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####", "....."}},
  {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#....", "....."}},
  {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####", "....."}},
  {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#", "....."}},
  {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###.", "....."}},
  {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##..", "....."}},
  {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#", "....."}},
  {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####", "....."}},
  {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#", "....."}},
  {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "....."}},
  {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###.", "....."}},
  {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#....", "....."}},
  {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#", "....."}},
  {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#", "....."}},
  {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####.", "....."}},
  {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "....."}},
  {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###.", "....."}},
  {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#..", "....."}},
  {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#.", "....."}},
  {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#", "....."}},
  {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#..", "....."}},
  {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####", "....."}},
  {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####", "....."}},
  {'b', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "####.", "....."}},
  {'c', {".....", ".....", ".###.", "#....", "#....", "#...#", ".###.", "....."}},
  {'d', {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####", "....."}},
  {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###.", "....."}},
  {'f', {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#...", "....."}},
  {'g', {".....", ".....", ".####", "#...#", "#...#", ".####", "....#", ".###."}},
  {'h', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#", "....."}},
  {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###.", "....."}},
  {'j', {"...#.", ".....", "..##.", "...#.", "...#.", "#..#.", ".##..", "....."}},
  {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "....."}},
  {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###.", "....."}},
  {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#", "....."}},
  {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#", "....."}},
  {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###.", "....."}},
  {'p', {".....", ".....", "####.", "#...#", "#...#", "####.", "#....", "#...."}},
  {'q', {".....", ".....", ".####", "#...#", "#...#", ".####", "....#", "....#"}},
  {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#....", "....."}},
  {'s', {".....", ".....", ".###.", "#....", ".###.", "....#", "####.", "....."}},
  {'t', {".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##.", "....."}},
  {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#", "....."}},
  {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#..", "....."}},
  {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#.", "....."}},
  {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "....."}},
  {'y', {".....", ".....", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
  {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####", "....."}},
};
// clang-format on

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 8;

const Glyph& FindGlyph(char c) {
  for (const Glyph& g : kFont) {
    if (g.symbol == c) return g;
  }
  throw SourceError(std::string("no glyph for '") + c + "'");
}

// Proportional spacing: a glyph spans its inked columns (a space three), plus one gap.
std::pair<int, int> InkedColumns(const Glyph& g) {
  int first = kGlyphWidth;
  int last = -1;
  for (const char* row : g.rows) {
    for (int x = 0; x < kGlyphWidth; ++x) {
      if (row[x] == '#') {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  if (last < 0) return {0, 2};
  return {first, last};
}

int TextWidth(std::string_view text, int scale) {
  int width = 0;
  for (char c : text) {
    auto [first, last] = InkedColumns(FindGlyph(c));
    width += (last - first + 2) * scale;
  }
  return text.empty() ? 0 : width - scale;
}

void DrawText(Picture& pic, int left, int top, int scale, std::string_view text,
              const Paint& paint) {
  int penX = left;
  for (char c : text) {
    const Glyph& g = FindGlyph(c);
    auto [first, last] = InkedColumns(g);
    for (int gy = 0; gy < kGlyphHeight; ++gy) {
      for (int gx = first; gx <= last; ++gx) {
        if (g.rows[static_cast<size_t>(gy)][gx] != '#') continue;
        FillRect(pic, penX + (gx - first) * scale, top + gy * scale, scale, scale, paint);
      }
    }
    penX += (last - first + 2) * scale;
  }
}

// Text with a drop shadow and a surrounding outline, so it reads on any backdrop.
void DrawBannerText(Picture& pic, int left, int top, int scale, std::string_view text,
                    const Paint& face, std::uint8_t outline, std::uint8_t shadow, int depth) {
  DrawText(pic, left + depth, top + depth, scale, text, Solid(shadow));
  const int edge = std::max(1, scale / 3);
  for (int dy = -edge; dy <= edge; dy += edge) {
    for (int dx = -edge; dx <= edge; dx += edge) {
      if (dx != 0 || dy != 0) DrawText(pic, left + dx, top + dy, scale, text, Solid(outline));
    }
  }
  DrawText(pic, left, top, scale, text, face);
}

// A burning fire: a few tongues, drawn layer by layer from the dark rim to the white core.
struct Tongue {
  double dx;
  double halfWidth;
  double height;
  double lean;
};

void DrawFire(Picture& pic, double centreX, double baseY, const std::vector<Tongue>& tongues) {
  const std::array<std::pair<double, Paint>, 5> layers = {{
      {1.12, Solid(kMaroon)},
      {1.0, Solid(kRed)},
      {0.72, Blend(kRed, kYellow, 8)},
      {0.6, Solid(kYellow)},
      {0.3, Solid(kWhite)},
  }};
  for (const auto& [size, paint] : layers) {
    for (const Tongue& t : tongues) {
      FillFlame(pic, centreX + t.dx, baseY, t.halfWidth * size, t.height * size, t.lean * size,
                paint);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The title picture. It is also the default board backdrop, tiled under the pieces, so it keeps
// to dark and middle tones; its top and bottom rows are both dark so the tiles meet quietly.

Picture DrawTitle() {
  Picture pic(kTitleWidth, kTitleHeight, kBlack);

  // Night sky with a warm glow at the horizon, and dark sand below.
  const int horizon = 176;
  FillRect(pic, 0, 0, kTitleWidth, horizon,
           VerticalRamp({{0, kBlack}, {60, kNavy}, {130, kPurple}, {horizon, kMaroon}}));
  FillRect(pic, 0, horizon, kTitleWidth, kTitleHeight - horizon,
           VerticalRamp({{horizon, kOlive}, {kTitleHeight - 1, kBlack}}));

  const Point stars[] = {{14, 9},    {47, 27},  {83, 6},  {121, 70}, {205, 66},
                         {263, 44},  {289, 18}, {31, 71}, {240, 88}, {9, 118},
                         {280, 101}, {160, 4},  {58, 98}, {226, 7},  {270, 130}};
  for (const Point& s : stars) pic.At(int(s.x), int(s.y)) = kSilver;

  // The pyramid: a sunlit left face and a shaded right face, both of stone courses.
  const Point apex{150, 116};
  const Point ridgeFoot{170, horizon + 2};
  const int courses = 6;
  FillPolygon(pic, {apex, {72, horizon + 2}, ridgeFoot},
              Masonry(Blend(kOlive, kGrey, 6), kMaroon, courses, 14, int(apex.y)));
  FillPolygon(pic, {apex, ridgeFoot, {228, horizon + 2}},
              Masonry(Blend(kMaroon, kPurple, 5), kBlack, courses, 14, int(apex.y)));

  // A beacon burning on its top.
  DrawFire(pic, apex.x, apex.y + 4,
           {{0, 9, 38, 2}, {-7, 6, 24, -6}, {7, 6, 27, 6}, {-3, 5, 31, -2}});

  // The name and the version.
  const std::string_view name = "Pyra3";
  const int nameScale = 6;
  const int nameTop = 12;
  const int nameBottom = nameTop + kGlyphHeight * nameScale;
  DrawBannerText(pic, (kTitleWidth - TextWidth(name, nameScale)) / 2, nameTop, nameScale, name,
                 VerticalRamp({{nameTop, kYellow}, {nameTop + 24, kYellow}, {nameBottom, kRed}}),
                 kMaroon, kBlack, 3);
  const std::string_view version = "Version 3.3";
  DrawBannerText(pic, (kTitleWidth - TextWidth(version, 2)) / 2, 66, 2, version, Solid(kSilver),
                 kBlack, kBlack, 1);
  return pic;
}

// ---------------------------------------------------------------------------------------------
// Pieces cut from the sheet, for the help pages and the icons

// Files to write: a name under the output folder, and the bytes.
using Outputs = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

// Reads back a sheet in the form EncodeBmp4 writes: 4 bits per pixel, bottom-up, 16 colours.
Picture DecodeBmp4(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  auto le = [&](size_t at, int count) {
    if (at + static_cast<size_t>(count) > bytes.size()) throw SourceError(path + ": too short");
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<size_t>(i)];
    return value;
  };
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
    throw SourceError(path + ": not a BMP");
  const std::uint32_t dataOffset = le(10, 4);
  const auto width = static_cast<int>(le(18, 4));
  const auto height = static_cast<int>(le(22, 4));
  if (le(14, 4) != 40 || le(28, 2) != 4 || le(30, 4) != 0 || width <= 0 || height <= 0 ||
      width > 4096 || height > 4096) {
    throw SourceError(path + ": not an uncompressed 4-bit bottom-up BMP");
  }
  const size_t rowBytes = (static_cast<size_t>(width + 1) / 2 + 3) / 4 * 4;
  Picture picture(width, height, kBlack);
  for (int y = 0; y < height; ++y) {
    const size_t row = dataOffset + static_cast<size_t>(height - 1 - y) * rowBytes;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pair = le(row + static_cast<size_t>(x / 2), 1);
      picture.At(x, y) = static_cast<std::uint8_t>(x % 2 == 0 ? pair >> 4 : pair & 0x0F);
    }
  }
  return picture;
}

struct Rgba {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // 4 bytes a pixel, top row first; all clear at first

  Rgba(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w * h * 4), 0) {}
};

// Slot `slot` of the sheet. With its mask, the pixels outside the piece are clear; without, the
// cell is shown as on a white board.
Rgba CutPiece(const Picture& sheet, int slot, bool masked) {
  Rgba piece(kCell, kCell);
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const std::uint32_t rgb = kPalette[sheet.At(slot * kCell + x, y)];
      const bool opaque = !masked || sheet.At(slot * kCell + x, kCell + y) == kWhite;
      std::uint8_t* out = &piece.pixels[static_cast<size_t>((y * kCell + x) * 4)];
      out[0] = static_cast<std::uint8_t>(rgb >> 16);
      out[1] = static_cast<std::uint8_t>(rgb >> 8);
      out[2] = static_cast<std::uint8_t>(rgb);
      out[3] = opaque ? 0xFF : 0x00;
    }
  }
  return piece;
}

// Nearest neighbour onto a clear square of `size`: scaled by `numerator`/`denominator` and
// centred, so that every source pixel becomes a block of equal whole pixels.
Rgba ScaleCentred(const Rgba& source, int size, int numerator, int denominator) {
  Rgba out(size, size);
  const int scaled = source.width * numerator / denominator;
  const int offset = (size - scaled) / 2;
  for (int y = 0; y < scaled; ++y) {
    for (int x = 0; x < scaled; ++x) {
      const int sx = x * denominator / numerator;
      const int sy = y * denominator / numerator;
      std::copy_n(&source.pixels[static_cast<size_t>((sy * source.width + sx) * 4)], 4,
                  &out.pixels[static_cast<size_t>(((y + offset) * size + x + offset) * 4)]);
    }
  }
  return out;
}

void PutBe(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
  PutBe(out, static_cast<std::uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe(out,
        static_cast<std::uint32_t>(crc32(0, &out[start], static_cast<uInt>(out.size() - start))));
}

std::vector<std::uint8_t> EncodePng(const Rgba& image) {
  std::vector<std::uint8_t> header;
  PutBe(header, static_cast<std::uint32_t>(image.width));
  PutBe(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  std::vector<std::uint8_t> raw;
  const size_t rowBytes = static_cast<size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // filter: none
    const auto row = image.pixels.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
      Z_OK) {
    throw SourceError("cannot compress a PNG");
  }
  packed.resize(packedSize);
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

// The pieces as the help pages show them: twice their size, on white like an empty board.
Outputs HelpPictures(const Picture& sheet) {
  const char* names[] = {"fire.png", "oil.png", "water.png", "truck.png", "blocked.png"};
  Outputs files;
  for (int slot = 0; slot < 5; ++slot) {
    files.emplace_back(names[slot],
                       EncodePng(ScaleCentred(CutPiece(sheet, slot, false), 2 * kCell, 2, 1)));
  }
  return files;
}

// The burning drum is the game's emblem. Sizes under 32 halve it; larger ones take the largest
// whole factor that fits, centred on a clear ground.
Outputs Icons(const Picture& sheet, const std::string& name) {
  const Rgba fire = CutPiece(sheet, 0, true);
  Outputs files;
  for (int size : {16, 22, 32, 48, 64, 128, 256}) {
    const Rgba icon =
        size < kCell ? ScaleCentred(fire, size, 1, 2) : ScaleCentred(fire, size, size / kCell, 1);
    const std::string folder = std::to_string(size) + "x" + std::to_string(size) + "/apps";
    files.emplace_back(folder + "/" + name + ".png", EncodePng(icon));
  }
  return files;
}

// ---------------------------------------------------------------------------------------------

std::vector<std::uint8_t> ReadFile(const std::string& path, bool& found) {
  std::ifstream in(path, std::ios::binary);
  found = static_cast<bool>(in);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

// Writes each output under `folder`, making the folders it needs.
int WriteOutputs(const std::string& folder, const Outputs& outputs) {
  int result = 0;
  for (const auto& [name, bytes] : outputs) {
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    if (!WriteFile(path.string(), bytes)) {
      std::fprintf(stderr, "make_bitmaps: cannot write %s\n", path.string().c_str());
      result = 1;
    }
  }
  return result;
}

// The pieces for the help pages or the icons, cut from the built-in sheet.
int RunCutOuts(int argc, char** argv) {
  const std::string_view mode = argv[1];
  if (!((mode == "--help-pictures" && argc == 4) || (mode == "--icons" && argc == 5))) {
    std::fprintf(stderr,
                 "usage: make_bitmaps --help-pictures <pieces.bmp> <folder>\n"
                 "       make_bitmaps --icons <pieces.bmp> <folder> <icon-name>\n");
    return 2;
  }
  try {
    bool found = false;
    const std::vector<std::uint8_t> bytes = ReadFile(argv[2], found);
    if (!found) throw SourceError(std::string("cannot read ") + argv[2]);
    const Picture sheet = DecodeBmp4(bytes, argv[2]);
    if (sheet.width != kSheetWidth || sheet.height != kSheetHeight) {
      throw SourceError(std::string(argv[2]) + ": not a 192x64 piece sheet");
    }
    return WriteOutputs(argv[3], mode == "--icons" ? Icons(sheet, argv[4]) : HelpPictures(sheet));
  } catch (const SourceError& e) {
    std::fprintf(stderr, "make_bitmaps: %s\n", e.what());
    return 2;
  }
}

int Run(int argc, char** argv) {
  if (argc >= 2 && std::string_view(argv[1]).starts_with("--") &&
      std::string_view(argv[1]) != "--check") {
    return RunCutOuts(argc, argv);
  }
  bool check = false;
  std::string folder;
  if (argc == 2) {
    folder = argv[1];
  } else if (argc == 3 && std::string_view(argv[1]) == "--check") {
    check = true;
    folder = argv[2];
  } else {
    std::fprintf(stderr, "usage: make_bitmaps [--check] <assets-folder>\n");
    return 2;
  }

  Outputs outputs;
  try {
    outputs.emplace_back("pieces.bmp", EncodeBmp4(ReadPieceSheet(folder + "/pieces.txt")));
    outputs.emplace_back("title.bmp", EncodeBmp4(DrawTitle()));
  } catch (const SourceError& e) {
    std::fprintf(stderr, "make_bitmaps: %s\n", e.what());
    return 2;
  }
  if (!check) return WriteOutputs(folder, outputs);

  int result = 0;
  for (const auto& [name, bytes] : outputs) {
    const std::string path = folder + "/" + name;
    bool found = false;
    if (ReadFile(path, found) != bytes) {
      std::fprintf(stderr, "make_bitmaps: %s is %s; run make_bitmaps %s\n", path.c_str(),
                   found ? "out of date" : "missing", folder.c_str());
      result = 1;
    }
  }
  return result;
}

}  // namespace
}  // namespace pyra

int main(int argc, char** argv) { return pyra::Run(argc, argv); }
