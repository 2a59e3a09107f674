// Checks the committed built-in pictures (assets/pieces.bmp, assets/title.bmp) with a BMP
// reader of its own, and the make_bitmaps tool that produces them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <queue>
#include <string>
#include <vector>

namespace pyra {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::uint32_t, 16> kStandardPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kGreen = 2;
constexpr std::uint8_t kRed = 9;
constexpr std::uint8_t kYellow = 11;
constexpr std::uint8_t kBlue = 12;
constexpr std::uint8_t kWhite = 15;

fs::path AssetsFolder() {
#ifdef PYRA_SOURCE_DIR
  return fs::path(PYRA_SOURCE_DIR) / "assets";
#else
  for (const char* base : {".", "..", "../.."}) {
    if (fs::exists(fs::path(base) / "assets" / "pieces.bmp")) return fs::path(base) / "assets";
  }
  return "assets";
#endif
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
  return v;
}

// A 4-bit BMP as stored: header fields, palette and pixel indices (top row first).
struct Bmp {
  std::string error;  // empty when the file could be decoded
  std::vector<std::uint8_t> bytes;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t dataOffset = 0;
  std::uint32_t rowBytes = 0;
  std::array<std::uint32_t, 16> palette{};
  std::vector<std::uint8_t> pixels;

  std::uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Bmp ReadBmp4(const fs::path& path) {
  Bmp bmp;
  bmp.bytes = ReadBytes(path);
  const auto& b = bmp.bytes;
  if (b.size() < 14 + 40 + 64) {
    bmp.error = "file missing or too short: " + path.string();
    return bmp;
  }
  if (b[0] != 'B' || b[1] != 'M') bmp.error = "no BM signature";
  if (Le(b, 2, 4) != b.size()) bmp.error = "file size field differs from the file size";
  if (Le(b, 14, 4) != 40) bmp.error = "not a BITMAPINFOHEADER";
  if (Le(b, 26, 2) != 1) bmp.error = "planes is not 1";
  if (Le(b, 28, 2) != 4) bmp.error = "not 4 bits per pixel";
  if (Le(b, 30, 4) != 0) bmp.error = "compressed";
  const std::uint32_t coloursUsed = Le(b, 46, 4);
  if (coloursUsed != 0 && coloursUsed != 16) bmp.error = "palette is not 16 entries";
  bmp.width = static_cast<std::int32_t>(Le(b, 18, 4));
  bmp.height = static_cast<std::int32_t>(Le(b, 22, 4));
  if (bmp.width <= 0 || bmp.height <= 0) bmp.error = "not a bottom-up picture";
  bmp.dataOffset = Le(b, 10, 4);
  bmp.rowBytes = (static_cast<std::uint32_t>(bmp.width) * 4 + 31) / 32 * 4;
  if (bmp.dataOffset != 14 + 40 + 64) bmp.error = "pixel data does not follow the palette";
  if (!bmp.error.empty()) return bmp;
  if (b.size() != bmp.dataOffset + bmp.rowBytes * static_cast<std::uint32_t>(bmp.height)) {
    bmp.error = "pixel data size is not rows x padded row length";
    return bmp;
  }
  for (size_t i = 0; i < 16; ++i) {
    const size_t at = 54 + 4 * i;
    bmp.palette[i] = (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 1]) << 8) | b[at];
  }
  bmp.pixels.resize(static_cast<size_t>(bmp.width * bmp.height));
  for (int y = 0; y < bmp.height; ++y) {
    const size_t row = bmp.dataOffset + bmp.rowBytes * static_cast<size_t>(bmp.height - 1 - y);
    for (int x = 0; x < bmp.width; ++x) {
      const std::uint8_t pair = b[row + static_cast<size_t>(x / 2)];
      bmp.pixels[static_cast<size_t>(y * bmp.width + x)] = x % 2 == 0 ? pair >> 4 : pair & 15;
    }
  }
  return bmp;
}

const Bmp& Pieces() {
  static const Bmp bmp = ReadBmp4(AssetsFolder() / "pieces.bmp");
  return bmp;
}
const Bmp& Title() {
  static const Bmp bmp = ReadBmp4(AssetsFolder() / "title.bmp");
  return bmp;
}

// Sheet slot: its picture is at (32 * slot, 0), its mask at (32 * slot, 32).
std::uint8_t Image(int slot, int x, int y) { return Pieces().At(slot * 32 + x, y); }
bool Opaque(int slot, int x, int y) { return Pieces().At(slot * 32 + x, 32 + y) == kWhite; }

struct PictureFormat {
  const char* name;
  const Bmp& (*load)();
  int width;
  int height;
  size_t fileSize;  // 118 header bytes + rows padded to 4 bytes
};

const PictureFormat kFormats[] = {
    {"pieces.bmp", Pieces, 192, 64, 118 + 96 * 64},
    {"title.bmp", Title, 300, 200, 118 + 152 * 200},
};

TEST(BuiltInPictures, AreUncompressedFourBitBottomUpBitmapsOfTheirExactSize) {
  for (const auto& f : kFormats) {
    SCOPED_TRACE(f.name);
    const Bmp& bmp = f.load();
    ASSERT_EQ(bmp.error, "");
    EXPECT_EQ(bmp.width, f.width);
    EXPECT_EQ(bmp.height, f.height);
    EXPECT_EQ(bmp.bytes.size(), f.fileSize);
  }
}

TEST(BuiltInPictures, UseTheStandardSixteenColourPaletteInOrder) {
  for (const auto& f : kFormats) {
    SCOPED_TRACE(f.name);
    const Bmp& bmp = f.load();
    ASSERT_EQ(bmp.error, "");
    for (size_t i = 0; i < 16; ++i) {
      EXPECT_EQ(bmp.palette[i], kStandardPalette[i]) << "palette entry " << i;
      EXPECT_EQ(bmp.bytes[54 + 4 * i + 3], 0) << "reserved byte of entry " << i;
    }
  }
}

TEST(BuiltInPictures, RowPaddingIsZero) {
  // 300 pixels fill 150 bytes of a 152-byte row; the sheet's rows need no padding.
  const Bmp& bmp = Title();
  ASSERT_EQ(bmp.error, "");
  for (int row = 0; row < bmp.height; ++row) {
    const size_t end = bmp.dataOffset + bmp.rowBytes * static_cast<size_t>(row + 1);
    EXPECT_EQ(bmp.bytes[end - 2], 0) << "row " << row;
    EXPECT_EQ(bmp.bytes[end - 1], 0) << "row " << row;
  }
}

TEST(PieceSheet, MasksAreOnlyBlackOrWhite) {
  ASSERT_EQ(Pieces().error, "");
  for (int slot = 0; slot < 6; ++slot) {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const std::uint8_t m = Pieces().At(slot * 32 + x, 32 + y);
        EXPECT_TRUE(m == kBlack || m == kWhite) << "slot " << slot << " (" << x << "," << y << ")";
      }
    }
  }
}

TEST(PieceSheet, PicturesAreWhiteWhereverTheMaskIsBlack) {
  // The board shows picture AND background outside the mask, so white leaves it untouched.
  // Only the Blocked sign (slot 4) carries a deliberate fringe there, checked below.
  ASSERT_EQ(Pieces().error, "");
  for (int slot : {0, 1, 2, 3, 5}) {
    int stray = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        if (!Opaque(slot, x, y) && Image(slot, x, y) != kWhite) ++stray;
      }
    }
    EXPECT_EQ(stray, 0) << "slot " << slot;
  }
}

TEST(PieceSheet, BlockedSignHasAThinFringeJustOutsideItsMask) {
  ASSERT_EQ(Pieces().error, "");
  const int slot = 4;
  int fringe = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (Opaque(slot, x, y) || Image(slot, x, y) == kWhite) continue;
      ++fringe;
      bool touchesSign = false;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx;
          const int ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < 32 && ny < 32 && Opaque(slot, nx, ny)) touchesSign = true;
        }
      }
      EXPECT_TRUE(touchesSign) << "fringe pixel away from the outline at (" << x << "," << y << ")";
    }
  }
  EXPECT_GT(fringe, 0);
  EXPECT_LT(fringe, 40);
}

TEST(PieceSheet, WorkSquareIsWhiteInPictureAndMask) {
  ASSERT_EQ(Pieces().error, "");
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      EXPECT_EQ(Image(5, x, y), kWhite) << "(" << x << "," << y << ")";
      EXPECT_TRUE(Opaque(5, x, y)) << "(" << x << "," << y << ")";
    }
  }
}

// Opaque pixels of a slot, and how many 4-connected regions they form.
struct Silhouette {
  int area = 0;
  int regions = 0;
};

Silhouette MeasureMask(int slot) {
  Silhouette s;
  std::array<std::array<bool, 32>, 32> seen{};
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (!Opaque(slot, x, y) || seen[y][x]) continue;
      ++s.regions;
      std::queue<std::pair<int, int>> todo;
      todo.push({x, y});
      seen[y][x] = true;
      while (!todo.empty()) {
        auto [cx, cy] = todo.front();
        todo.pop();
        ++s.area;
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& st : steps) {
          const int nx = cx + st[0];
          const int ny = cy + st[1];
          if (nx < 0 || ny < 0 || nx >= 32 || ny >= 32) continue;
          if (!Opaque(slot, nx, ny) || seen[ny][nx]) continue;
          seen[ny][nx] = true;
          todo.push({nx, ny});
        }
      }
    }
  }
  return s;
}

TEST(PieceSheet, EachPieceIsOneSilhouetteOfSensibleSize) {
  ASSERT_EQ(Pieces().error, "");
  for (int slot = 0; slot < 5; ++slot) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    const Silhouette s = MeasureMask(slot);
    EXPECT_EQ(s.regions, 1);  // no stray specks, nothing split off
    EXPECT_GE(s.area, 1024 * 25 / 100);
    EXPECT_LE(s.area, 1024 * 95 / 100);
  }
}

// The colour that makes each piece what it is, so swapped or blanked slots show up.
struct KeyColour {
  int slot;
  const char* piece;
  std::uint8_t colour;
  int atLeast;
};

const KeyColour kKeyColours[] = {
    {0, "Fire: flames", kRed, 60},         {0, "Fire: flames", kYellow, 40},
    {1, "Oil: drum", kYellow, 150},        {2, "Water: water", kBlue, 50},
    {3, "Truck: green body", kGreen, 150}, {4, "Blocked: red ring and bar", kRed, 250},
};

int CountColour(int slot, std::uint8_t colour) {
  int n = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (Opaque(slot, x, y) && Image(slot, x, y) == colour) ++n;
    }
  }
  return n;
}

TEST(PieceSheet, EachSlotShowsItsPiecesColours) {
  ASSERT_EQ(Pieces().error, "");
  for (const auto& k : kKeyColours) {
    EXPECT_GE(CountColour(k.slot, k.colour), k.atLeast) << k.piece;
  }
  // Water is the only blue piece and the truck the only green one.
  for (int slot : {0, 1, 3, 4}) EXPECT_EQ(CountColour(slot, kBlue), 0) << "slot " << slot;
  for (int slot : {0, 1, 2, 4}) EXPECT_EQ(CountColour(slot, kGreen), 0) << "slot " << slot;
}

double Luminance(std::uint32_t rgb) {
  return 0.299 * double(rgb >> 16) + 0.587 * double((rgb >> 8) & 255) + 0.114 * double(rgb & 255);
}

TEST(TitlePicture, StaysDarkEnoughToServeAsTheBoardBackdrop) {
  const Bmp& bmp = Title();
  ASSERT_EQ(bmp.error, "");
  double sum = 0;
  int bright = 0;
  std::array<bool, 16> used{};
  for (std::uint8_t p : bmp.pixels) {
    const double l = Luminance(kStandardPalette[p]);
    sum += l;
    if (l >= 150) ++bright;
    used[p] = true;
  }
  const double pixels = double(bmp.pixels.size());
  EXPECT_LT(sum / pixels, 90.0) << "mean luminance";
  EXPECT_LT(bright / pixels, 0.10) << "share of bright pixels";
  EXPECT_GE(std::count(used.begin(), used.end(), true), 6) << "a picture, not a flat fill";
}

// --- make_bitmaps ------------------------------------------------------------------------------

// The tool is built next to this test program.
fs::path ToolPath() { return fs::read_symlink("/proc/self/exe").parent_path() / "make_bitmaps"; }

int RunTool(const std::string& args) {
  const std::string command = "'" + ToolPath().string() + "' " + args + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class MakeBitmaps : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(ToolPath())) GTEST_SKIP() << "make_bitmaps is not built";
    dir_ = fs::temp_directory_path() /
           ("pyra_assets_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(AssetsFolder() / "pieces.txt", dir_ / "pieces.txt");
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  void CopyCommittedPictures() {
    fs::copy_file(AssetsFolder() / "pieces.bmp", dir_ / "pieces.bmp");
    fs::copy_file(AssetsFolder() / "title.bmp", dir_ / "title.bmp");
  }
  std::string Folder() const { return "'" + dir_.string() + "'"; }

  fs::path dir_;
};

TEST_F(MakeBitmaps, RegeneratesTheCommittedFilesByteForByte) {
  ASSERT_EQ(RunTool(Folder()), 0);
  EXPECT_EQ(ReadBytes(dir_ / "pieces.bmp"), ReadBytes(AssetsFolder() / "pieces.bmp"));
  EXPECT_EQ(ReadBytes(dir_ / "title.bmp"), ReadBytes(AssetsFolder() / "title.bmp"));
}

TEST_F(MakeBitmaps, CheckPassesOnUpToDateFiles) {
  CopyCommittedPictures();
  EXPECT_EQ(RunTool("--check " + Folder()), 0);
}

TEST_F(MakeBitmaps, CheckFailsOnAChangedPixelOrAMissingFile) {
  CopyCommittedPictures();
  {
    std::vector<std::uint8_t> title = ReadBytes(dir_ / "title.bmp");
    title[118] ^= 0x01;  // the second pixel of the bottom row
    std::ofstream(dir_ / "title.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(title.data()), std::streamsize(title.size()));
  }
  EXPECT_EQ(RunTool("--check " + Folder()), 1);
  fs::copy_file(AssetsFolder() / "title.bmp", dir_ / "title.bmp",
                fs::copy_options::overwrite_existing);
  EXPECT_EQ(RunTool("--check " + Folder()), 0);
  fs::remove(dir_ / "pieces.bmp");
  EXPECT_EQ(RunTool("--check " + Folder()), 1);
}

TEST_F(MakeBitmaps, ChangingTheSourceMakesTheCommittedSheetOutOfDate) {
  CopyCommittedPictures();
  std::ifstream in(dir_ / "pieces.txt");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  // Turn the first white pixel of the blank square grey.
  const size_t blank = text.find("piece 5");
  ASSERT_NE(blank, std::string::npos);
  const size_t firstWhite = text.find('w', text.find('\n', blank));
  ASSERT_NE(firstWhite, std::string::npos);
  text[firstWhite] = 'd';
  std::ofstream(dir_ / "pieces.txt") << text;
  EXPECT_EQ(RunTool("--check " + Folder()), 1);
}

TEST_F(MakeBitmaps, RejectsBrokenSourcesWithoutWritingAnything) {
  std::ifstream in(dir_ / "pieces.txt");
  const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  const size_t firstRow = good.find('\n', good.find("piece 0")) + 1;
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"short grid row", good.substr(0, firstRow) + good.substr(firstRow + 1)},
      {"unknown character", good.substr(0, firstRow) + "?" + good.substr(firstRow + 1)},
      {"slot missing", good.substr(0, good.find("piece 5"))},
      {"unknown keyword", "frame 3\n" + good},
      {"slot out of range", good + "piece 6 extra\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(dir_ / "pieces.txt", std::ios::trunc) << c.text;
    EXPECT_EQ(RunTool(Folder()), 2);
    EXPECT_FALSE(fs::exists(dir_ / "pieces.bmp"));
    EXPECT_FALSE(fs::exists(dir_ / "title.bmp"));
  }
}

TEST_F(MakeBitmaps, RefusesUnknownArguments) {
  EXPECT_EQ(RunTool(""), 2);
  EXPECT_EQ(RunTool("--check"), 2);
  EXPECT_EQ(RunTool("--verify " + Folder()), 2);
}

}  // namespace
}  // namespace pyra
