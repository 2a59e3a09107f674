// Picture files under one size rule, metafiles rendered at their frame's size, and the
// pictures the program brings along.
#include "view/picture_file.h"

#include <gtest/gtest.h>

#include <QFile>

#include "picture_files.h"
#include "qt_helpers.h"
#include "temp_dir.h"
#include "view/picture_holder.h"

namespace pyra {
namespace {

using testing::BitmapFile;
using testing::Difference;
using testing::MetafileFile;

constexpr QRgb Red = 0xFFFF0000u, White = 0xFFFFFFFFu;

QImage Pattern(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 9, y * 17, (x ^ y) * 5));
  }
  return image;
}

TEST(PictureFiles, OneSizeRuleWithBothSidesOfEveryLimit) {
  const struct {
    qint64 w, h;
    bool allowed;
  } sizes[] = {{1, 1, true},        {0, 1, false},        {1, 0, false},        {-1, 5, false},
               {8192, 1, true},     {8193, 1, false},     {1, 8192, true},      {1, 8193, false},
               {8192, 2048, true},  {8192, 2049, false},  {2048, 8192, true},   {2049, 8192, false},
               {4096, 4096, true},  {4097, 4096, false}};
  for (const auto& s : sizes) EXPECT_EQ(PictureSizeAllowed(s.w, s.h), s.allowed) << s.w << "x" << s.h;
}

TEST(PictureFiles, LoadAtTheirOwnSizeOrNotAtAll) {
  testing::TempDir dir;
  ASSERT_TRUE(dir.Valid());
  QByteArray plain = MetafileFile(64, 32, 96);
  plain.remove(0, 22);  // without the placeable header
  const struct {
    const char* name;
    QByteArray bytes;
    QSize size;        // invalid: refused
    qint64 padTo = 0;  // the file's length, when longer than its bytes
    bool framed = true;  // else it is as large as what it draws, and all red: size 1 x 1 here
  } files[] = {
      {"empty.bmp", QByteArray(), {}},
      {"junk.bmp", "this is not a picture at all", {}},
      {"cut.bmp", BitmapFile(3, 2, 24, true).left(40), {}},
      {"junk.wmf", QByteArray(64, 'x'), {}},
      {"cut.WMF", MetafileFile(64, 32, 96).left(30), {}},
      {"noise.dat", QByteArray::fromHex("d7cdc69a0000"), {}},
      {"widest.bmp", BitmapFile(8192, 1, 24, true), {8192, 1}},
      {"too wide.bmp", BitmapFile(8193, 1, 24, true), {}},
      {"square.bmp", BitmapFile(8192, 8192, 1, false), {}},
      {"largest.bmp", BitmapFile(8192, 2048, 1, true), {8192, 2048}},
      {"padded.bmp", BitmapFile(3, 2, 24, true), {3, 2}, MaxPictureFileBytes},
      {"too long.bmp", BitmapFile(3, 2, 24, true), {}, MaxPictureFileBytes + 1},
      {"square.wmf", MetafileFile(8192, 8192, 96), {}},
      {"5700.wmf", MetafileFile(5700, 5700, 96), {}},
      {"largest.wmf", MetafileFile(8192, 2048, 96), {8192, 2048}},
      {"half.wmf", MetafileFile(64, 32, 96), {64, 32}},
      {"HALF.WMF", MetafileFile(64, 32, 96), {64, 32}},
      {"half.picture", MetafileFile(64, 32, 96), {64, 32}},  // known by its first bytes
      {"moved.wmf", MetafileFile(64, 32, 96, 100, 50), {64, 32}},
      {"no origin.wmf", MetafileFile(64, 32, 96, 0, 0, false), {64, 32}},
      {"coarse.wmf", MetafileFile(32, 16, 48), {64, 32}},
      {"plain.picture", plain, {1, 1}, 0, false},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    QFile file(QString::fromStdString(dir.File(f.name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(f.bytes) == f.bytes.size());
    if (f.padTo > 0) ASSERT_TRUE(file.resize(f.padTo));
    file.close();
    const QImage picture = LoadPictureFile(file.fileName());
    ASSERT_EQ(picture.isNull() ? QSize() : f.framed ? picture.size() : QSize(1, 1), f.size);
    if (picture.isNull()) continue;
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    if (!QByteArray(f.name).toLower().contains("wmf") && !QByteArray(f.name).contains("picture")) continue;
    // A metafile is white with red over its left half.
    const int half = f.framed ? picture.width() / 2 : picture.width() + 4;
    for (int y = 0; y < picture.height(); y += picture.height() > 64 ? 97 : 1) {
      for (int x = 0; x < picture.width(); x += picture.width() > 64 ? 89 : 1) {
        if (x < half - 3) ASSERT_EQ(picture.pixel(x, y), Red) << x << "," << y;
        if (x > half + 3) ASSERT_EQ(picture.pixel(x, y), White) << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(LoadPictureFile(QString::fromStdString(dir.File("missing.bmp"))).isNull());
  EXPECT_TRUE(LoadPictureFile(QString::fromStdString(dir.Path())).isNull());

  // A bitmap keeps its exact pixels.
  const QString saved = QString::fromStdString(dir.File("pattern.bmp"));
  ASSERT_TRUE(Pattern(13, 7).save(saved, "BMP"));
  EXPECT_EQ(Difference(LoadPictureFile(saved), Pattern(13, 7)), "");
}

TEST(PictureHolder, BuiltInPicturesAreInUseUntilAFittingSheetOrABackgroundReplacesThem) {
  PictureHolder p;
  const QImage sheet(":/assets/pieces.bmp"), title(":/assets/title.bmp");
  ASSERT_EQ(sheet.size(), QSize(192, 64)) << "the built-in pictures belong to every build";
  ASSERT_EQ(title.size(), QSize(300, 200));
  const PictureHolder& held = p;
  for (const QImage* picture : {&held.Picture5, &held.Picture2}) EXPECT_EQ(Difference(*picture, sheet), "");
  for (const QImage* picture : {&held.Picture3, &held.Picture1, &held.TitlePicture()}) {
    EXPECT_EQ(Difference(*picture, title), "");
  }
  EXPECT_TRUE(p.Picture4.isNull());
  EXPECT_TRUE(p.SheetIsBuiltIn() && p.BackgroundIsBuiltIn());

  for (const QSize size : {QSize(193, 64), QSize(192, 65), QSize(191, 64), QSize()}) {
    p.Picture4 = size.isEmpty() ? QImage() : Pattern(size.width(), size.height());
    EXPECT_FALSE(p.UseLoadedSheet()) << size.width() << "x" << size.height();
    EXPECT_EQ(Difference(p.Picture2, sheet), "");
    EXPECT_TRUE(p.SheetIsBuiltIn());
  }
  p.Picture4 = Pattern(192, 64).convertToFormat(QImage::Format_ARGB32);
  EXPECT_TRUE(p.UseLoadedSheet());
  EXPECT_EQ(p.Picture2.format(), QImage::Format_RGB32);
  EXPECT_EQ(Difference(p.Picture2, Pattern(192, 64)), "");
  EXPECT_FALSE(p.SheetIsBuiltIn());
  p.UseBuiltInSheet();
  EXPECT_EQ(Difference(p.Picture2, sheet), "");
  EXPECT_TRUE(p.SheetIsBuiltIn());

  p.UseBackground(Pattern(5, 7).convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_EQ(p.Picture3.format(), QImage::Format_RGB32);
  EXPECT_EQ(Difference(p.Picture3, Pattern(5, 7)), "");
  EXPECT_FALSE(p.BackgroundIsBuiltIn());
  p.UseBuiltInBackground();
  EXPECT_EQ(Difference(p.Picture3, title), "");
  EXPECT_TRUE(p.BackgroundIsBuiltIn());
}

// The stand-ins for pictures missing from a build: discs on white, each masked by itself.
TEST(PictureHolder, GeneratedStandInsAreUsablePictures) {
  const QImage sheet = PictureHolder::GeneratedSheet();
  ASSERT_EQ(sheet.size(), QSize(192, 64));
  for (int slot = 0; slot < 6; ++slot) {
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
      for (int i = 0; i < 32; ++i) {
        const int x = 32 * slot + i;
        const QRgb mask = sheet.pixel(x, 32 + y);
        ASSERT_TRUE(mask == White || (slot < 5 && mask == 0xFF000000u)) << x << "," << y;
        ASSERT_EQ(mask, sheet.pixel(32 * slot + 31 - i, 32 + y)) << x << "," << y;
        ASSERT_EQ(mask, sheet.pixel(x, 63 - y)) << x << "," << y;
        if (mask != White || slot == 5) ASSERT_EQ(sheet.pixel(x, y), White) << x << "," << y;
        opaque += mask == White;
      }
    }
    if (slot < 5) EXPECT_TRUE(opaque > 500 && opaque < 700) << slot << ": " << opaque;
  }
  EXPECT_EQ(PictureHolder::GeneratedBackground().size(), QSize(300, 200));
}

}  // namespace
}  // namespace pyra
