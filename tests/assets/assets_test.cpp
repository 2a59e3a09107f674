// Committed pictures: sheet masks fit the painter's raster operations; the generator sees edits.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "temp_dir.h"

namespace pyra::testing {
namespace {

namespace fs = std::filesystem;
const fs::path Assets = fs::path(PYRA_SOURCE_DIR) / "assets";

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

int Pixel(const std::string& bmp, int x, int y) {  // palette index, top row first, 4-bit bottom-up
  const uint32_t width = Le(bmp, 18, 4), height = Le(bmp, 22, 4);
  const uint32_t row = Le(bmp, 10, 4) + (width * 4 + 31) / 32 * 4 * (height - 1 - y);
  const auto pair = static_cast<uint8_t>(bmp[row + x / 2]);
  return x % 2 == 0 ? pair >> 4 : pair & 15;
}

TEST(BuiltInPictures, SheetMasksAreExactAndPicturesWhiteOutsideThem) {
  const std::string sheet = FileBytes((Assets / "pieces.bmp").string());
  const std::string title = FileBytes((Assets / "title.bmp").string());
  ASSERT_EQ(sheet.size(), 118u + 96 * 64);    // 4 bits, 16 colours, 192 x 64
  ASSERT_EQ(title.size(), 118u + 152 * 200);  // 300 x 200
  for (const std::string* bmp : {&sheet, &title}) {
    // 4 bits a pixel; the standard palette's red and white.
    EXPECT_EQ(std::tuple(Le(*bmp, 28, 2), Le(*bmp, 54 + 4 * 9, 4), Le(*bmp, 54 + 4 * 15, 4)),
              std::tuple(4u, 0xFF0000u, 0xFFFFFFu));
  }
  // Masks black (0) or white (15). Outside a mask the board shows picture AND background, so white
  // keeps the background; only the prohibition sign (4) fringes thinly; scratch square (5): white.
  for (int slot = 0; slot < 6; ++slot) {
    int opaque = 0, fringe = 0;
    for (int x = 0, y = 0; y < 32; x = (x + 1) % 32, y += x == 0) {
      const int mask = Pixel(sheet, 32 * slot + x, 32 + y), image = Pixel(sheet, 32 * slot + x, y);
      ASSERT_TRUE(mask == 0 || mask == 15) << slot << ": mask " << mask << " at " << x << "," << y;
      ASSERT_TRUE(slot != 5 || image * mask == 15 * 15) << "scratch square at " << x << "," << y;
      opaque += mask == 15, fringe += mask == 0 && image != 15;
    }
    EXPECT_EQ(fringe > 0, slot == 4) << slot;
    EXPECT_LT(fringe, 40);
    EXPECT_TRUE(slot == 5 || (opaque > 256 && opaque < 973)) << slot << ": " << opaque << " opaque";
  }
}

TEST(BuiltInPictures, TheGeneratorsCheckNoticesAChangedPixel) {
  TempDir dir;
  for (const char* name : {"pieces.txt", "pieces.bmp", "title.bmp"})
    fs::copy_file(Assets / name, dir.File(name));
  const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "make_bitmaps";
  auto check = [&] {
    const int status =
        std::system(("'" + tool.string() + "' --check '" + dir.Path() + "' 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(check(), 0);
  std::string title = FileBytes(dir.File("title.bmp"));
  title[118] ^= 1;
  WriteFileBytes(dir.File("title.bmp"), title);
  EXPECT_EQ(check(), 1);
}

}  // namespace
}  // namespace pyra::testing
