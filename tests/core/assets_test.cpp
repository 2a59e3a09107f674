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
  bmp.width = static_cast<std::int32_t>(Le(b, 18, 4));
  bmp.height = static_cast<std::int32_t>(Le(b, 22, 4));
  bmp.dataOffset = Le(b, 10, 4);
  bmp.rowBytes = (static_cast<std::uint32_t>(bmp.width) * 4 + 31) / 32 * 4;
  const std::uint32_t coloursUsed = Le(b, 46, 4);
  const std::pair<bool, const char*> rules[] = {
      {b[0] == 'B' && b[1] == 'M', "no BM signature"},
      {Le(b, 2, 4) == b.size(), "file size field differs from the file size"},
      {Le(b, 14, 4) == 40, "not a BITMAPINFOHEADER"},
      {Le(b, 26, 2) == 1, "planes is not 1"},
      {Le(b, 28, 2) == 4, "not 4 bits per pixel"},
      {Le(b, 30, 4) == 0, "compressed"},
      {coloursUsed == 0 || coloursUsed == 16, "palette is not 16 entries"},
      {bmp.width > 0 && bmp.height > 0, "not a bottom-up picture"},
      {bmp.dataOffset == 14 + 40 + 64, "pixel data does not follow the palette"},
  };
  for (const auto& [ok, error] : rules) {
    if (!ok) bmp.error = error;
  }
  if (!bmp.error.empty()) return bmp;
  if (b.size() != bmp.dataOffset + bmp.rowBytes * static_cast<std::uint32_t>(bmp.height)) {
    bmp.error = "pixel data size is not rows x padded row length";
    return bmp;
  }
  for (size_t i = 0; i < 16; ++i) {
    const size_t at = 54 + 4 * i;
    bmp.palette[i] = (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 1]) << 8) | b[at];
  }
  for (int y = 0; y < bmp.height; ++y) {
    const size_t row = bmp.dataOffset + bmp.rowBytes * static_cast<size_t>(bmp.height - 1 - y);
    for (int x = 0; x < bmp.width; ++x) {
      const std::uint8_t pair = b[row + static_cast<size_t>(x / 2)];
      bmp.pixels.push_back(x % 2 == 0 ? pair >> 4 : pair & 15);
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
std::uint8_t Mask(int slot, int x, int y) { return Pieces().At(slot * 32 + x, 32 + y); }
bool Opaque(int slot, int x, int y) {
  return x >= 0 && y >= 0 && x < 32 && y < 32 && Mask(slot, x, y) == kWhite;
}

TEST(BuiltInPictures, AreFourBitBitmapsOfTheirExactSizeWithTheStandardPaletteAndZeroPadding) {
  const struct {
    const char* name;
    const Bmp& (*load)();
    int width, height;
    size_t fileSize;  // 118 header bytes + rows padded to 4 bytes
  } formats[] = {
      {"pieces.bmp", Pieces, 192, 64, 118 + 96 * 64},
      {"title.bmp", Title, 300, 200, 118 + 152 * 200},
  };
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    const Bmp& bmp = f.load();
    ASSERT_EQ(bmp.error, "");
    EXPECT_EQ(bmp.width, f.width);
    EXPECT_EQ(bmp.height, f.height);
    EXPECT_EQ(bmp.bytes.size(), f.fileSize);
    for (size_t i = 0; i < 16; ++i) {
      EXPECT_EQ(bmp.palette[i], kStandardPalette[i]) << "palette entry " << i;
      EXPECT_EQ(bmp.bytes[54 + 4 * i + 3], 0) << "reserved byte of entry " << i;
    }
    // The bytes of each row past its last pixel (two in the title's 152-byte rows) are zero.
    for (int row = 0; row < bmp.height; ++row) {
      const size_t begin = bmp.dataOffset + bmp.rowBytes * static_cast<size_t>(row);
      for (size_t at = begin + (static_cast<size_t>(bmp.width) + 1) / 2; at < begin + bmp.rowBytes;
           ++at) {
        EXPECT_EQ(bmp.bytes[at], 0) << "row " << row << " byte " << at - begin;
      }
    }
  }
}

TEST(PieceSheet, MasksAreBlackOrWhiteAndPicturesWhiteOutsideThem) {
  // The board shows picture AND background outside the mask, so white leaves it untouched.
  // Only the Blocked sign (slot 4) carries a deliberate fringe there, just outside its mask.
  // The work square (slot 5) is white in picture and mask.
  ASSERT_EQ(Pieces().error, "");
  int fringe = 0;
  for (int slot = 0; slot < 6; ++slot) {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        SCOPED_TRACE(testing::Message() << "slot " << slot << " (" << x << "," << y << ")");
        EXPECT_TRUE(Mask(slot, x, y) == kBlack || Mask(slot, x, y) == kWhite);
        if (slot == 5) {
          EXPECT_EQ(Image(slot, x, y), kWhite);
          EXPECT_TRUE(Opaque(slot, x, y));
        }
        if (Opaque(slot, x, y) || Image(slot, x, y) == kWhite) continue;
        ASSERT_EQ(slot, 4) << "stray non-white pixel outside the mask";
        ++fringe;
        bool touchesSign = false;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) touchesSign |= Opaque(slot, x + dx, y + dy);
        }
        EXPECT_TRUE(touchesSign) << "fringe pixel away from the outline";
      }
    }
  }
  EXPECT_GT(fringe, 0);
  EXPECT_LT(fringe, 40);
}

TEST(PieceSheet, EachPieceIsOneSilhouetteOfSensibleSize) {
  ASSERT_EQ(Pieces().error, "");
  for (int slot = 0; slot < 5; ++slot) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    // Opaque pixels, and how many 4-connected regions they form.
    int area = 0;
    int regions = 0;
    std::array<std::array<bool, 32>, 32> seen{};
    auto fill = [&](auto& self, int x, int y) -> void {
      if (!Opaque(slot, x, y) || seen[y][x]) return;
      seen[y][x] = true;
      ++area;
      for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        self(self, x + dx, y + dy);
      }
    };
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        regions += Opaque(slot, x, y) && !seen[y][x];
        fill(fill, x, y);
      }
    }
    EXPECT_EQ(regions, 1);  // no stray specks, nothing split off
    EXPECT_GE(area, 1024 * 25 / 100);
    EXPECT_LE(area, 1024 * 95 / 100);
  }
}

int CountColour(int slot, std::uint8_t colour) {
  int n = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) n += Opaque(slot, x, y) && Image(slot, x, y) == colour;
  }
  return n;
}

TEST(PieceSheet, EachSlotShowsItsPiecesColours) {
  // The colour that makes each piece what it is, so swapped or blanked slots show up.
  const struct {
    int slot;
    const char* piece;
    std::uint8_t colour;
    int atLeast;
  } keyColours[] = {
      {0, "Fire: flames", kRed, 60},         {0, "Fire: flames", kYellow, 40},
      {1, "Oil: drum", kYellow, 150},        {2, "Water: water", kBlue, 50},
      {3, "Truck: green body", kGreen, 150}, {4, "Blocked: red ring and bar", kRed, 250},
  };
  ASSERT_EQ(Pieces().error, "");
  for (const auto& k : keyColours) {
    EXPECT_GE(CountColour(k.slot, k.colour), k.atLeast) << k.piece;
  }
  // Water is the only blue piece and the truck the only green one.
  for (int slot : {0, 1, 3, 4}) EXPECT_EQ(CountColour(slot, kBlue), 0) << "slot " << slot;
  for (int slot : {0, 1, 2, 4}) EXPECT_EQ(CountColour(slot, kGreen), 0) << "slot " << slot;
}

TEST(TitlePicture, StaysDarkEnoughToServeAsTheBoardBackdrop) {
  const Bmp& bmp = Title();
  ASSERT_EQ(bmp.error, "");
  double sum = 0;
  int bright = 0;
  std::array<bool, 16> used{};
  for (std::uint8_t p : bmp.pixels) {
    const std::uint32_t rgb = kStandardPalette[p];
    const double l =
        0.299 * double(rgb >> 16) + 0.587 * double((rgb >> 8) & 255) + 0.114 * double(rgb & 255);
    sum += l;
    bright += l >= 150;
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
  void CopyCommitted(const char* name) {
    fs::copy_file(AssetsFolder() / name, dir_ / name, fs::copy_options::overwrite_existing);
  }
  std::string Source() const {
    const std::vector<std::uint8_t> bytes = ReadBytes(dir_ / "pieces.txt");
    return {bytes.begin(), bytes.end()};
  }
  // The tool's exit status when run on the folder, with "--check" or other arguments before it.
  int Run(const std::string& args = "", bool withFolder = true) const {
    const std::string command = "'" + ToolPath().string() + "' " + args +
                                (withFolder ? " '" + dir_.string() + "'" : "") + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir_;
};

TEST_F(MakeBitmaps, RegeneratesTheCommittedFilesByteForByte) {
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(ReadBytes(dir_ / "pieces.bmp"), ReadBytes(AssetsFolder() / "pieces.bmp"));
  EXPECT_EQ(ReadBytes(dir_ / "title.bmp"), ReadBytes(AssetsFolder() / "title.bmp"));
}

TEST_F(MakeBitmaps, CheckFailsOnAChangedPixelOrSourceOrAMissingFile) {
  CopyCommitted("pieces.bmp");
  CopyCommitted("title.bmp");
  EXPECT_EQ(Run("--check"), 0);
  std::vector<std::uint8_t> title = ReadBytes(dir_ / "title.bmp");
  title[118] ^= 0x01;  // the second pixel of the bottom row
  std::ofstream(dir_ / "title.bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(title.data()), std::streamsize(title.size()));
  EXPECT_EQ(Run("--check"), 1);
  CopyCommitted("title.bmp");
  EXPECT_EQ(Run("--check"), 0);

  // Turn the first white pixel of the blank square grey in the source.
  std::string text = Source();
  const size_t blank = text.find("piece 5");
  ASSERT_NE(blank, std::string::npos);
  const size_t firstWhite = text.find('w', text.find('\n', blank));
  ASSERT_NE(firstWhite, std::string::npos);
  text[firstWhite] = 'd';
  std::ofstream(dir_ / "pieces.txt", std::ios::trunc) << text;
  EXPECT_EQ(Run("--check"), 1);

  CopyCommitted("pieces.txt");
  ASSERT_EQ(Run("--check"), 0);
  fs::remove(dir_ / "pieces.bmp");
  EXPECT_EQ(Run("--check"), 1);
}

TEST_F(MakeBitmaps, RejectsBrokenSourcesAndUnknownArgumentsWithoutWritingAnything) {
  const std::string good = Source();
  const size_t firstRow = good.find('\n', good.find("piece 0")) + 1;
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"short grid row", good.substr(0, firstRow) + good.substr(firstRow + 1)},
      {"unknown character", good.substr(0, firstRow) + "?" + good.substr(firstRow + 1)},
      {"slot missing", good.substr(0, good.find("piece 5"))},
      {"unknown keyword", "frame 3\n" + good},
      {"slot out of range", good + "piece 6 extra\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(dir_ / "pieces.txt", std::ios::trunc) << c.text;
    EXPECT_EQ(Run(), 2);
    EXPECT_FALSE(fs::exists(dir_ / "pieces.bmp"));
    EXPECT_FALSE(fs::exists(dir_ / "title.bmp"));
  }
  std::ofstream(dir_ / "pieces.txt", std::ios::trunc) << good;
  EXPECT_EQ(Run("", false), 2);
  EXPECT_EQ(Run("--check", false), 2);
  EXPECT_EQ(Run("--verify"), 2);
}

}  // namespace
}  // namespace pyra
