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

QImage Pattern(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int i = 0; i < w * h; ++i) image.setPixel(i % w, i / w, qRgb(i % w * 9, i / w * 17, i * 5));
  return image;
}

TEST(PictureFiles, LoadAtTheirOwnSizeUnderOneSizeRuleOrNotAtAll) {
  const std::tuple<qint64, qint64, bool> sizes[] = {
      {1, 1, true},       {0, 1, false},       {1, 0, false},       {-1, 5, false},      {8192, 1, true},
      {8193, 1, false},   {1, 8192, true},     {1, 8193, false},    {8192, 2048, true},  {8192, 2049, false},
      {2048, 8192, true}, {2049, 8192, false}, {4096, 4096, true},  {4097, 4096, false}};
  for (const auto& [w, h, allowed] : sizes) EXPECT_EQ(PictureSizeAllowed(w, h), allowed) << w << "x" << h;

  testing::TempDir dir;
  QByteArray plain = MetafileFile(64, 32, 96).remove(0, 22);  // without the placeable header
  // size: invalid when refused; 1 x 1 for a picture as large as what it draws, all red.
  const std::tuple<const char*, QByteArray, QSize, qint64> files[] = {
      {"empty.bmp", "", {}, 0}, {"junk.bmp", "no picture at all", {}, 0},
      {"cut.bmp", BitmapFile(3, 2, 24, true).left(40), {}, 0}, {"junk.wmf", QByteArray(64, 'x'), {}, 0},
      {"cut.WMF", MetafileFile(64, 32, 96).left(30), {}, 0}, {"noise", QByteArray::fromHex("d7cdc69a00"), {}, 0},
      {"widest.bmp", BitmapFile(8192, 1, 24, true), {8192, 1}, 0},
      {"too wide.bmp", BitmapFile(8193, 1, 24, true), {}, 0}, {"square.bmp", BitmapFile(8192, 8192, 1, false), {}, 0},
      {"largest.bmp", BitmapFile(8192, 2048, 1, true), {8192, 2048}, 0},
      {"padded.bmp", BitmapFile(3, 2, 24, true), {3, 2}, MaxPictureFileBytes},
      {"too long.bmp", BitmapFile(3, 2, 24, true), {}, MaxPictureFileBytes + 1},
      {"square.wmf", MetafileFile(8192, 8192, 96), {}, 0}, {"5700.wmf", MetafileFile(5700, 5700, 96), {}, 0},
      {"largest.wmf", MetafileFile(8192, 2048, 96), {8192, 2048}, 0},
      {"half.wmf", MetafileFile(64, 32, 96), {64, 32}, 0}, {"HALF.WMF", MetafileFile(64, 32, 96), {64, 32}, 0},
      {"half.pic", MetafileFile(64, 32, 96), {64, 32}, 0},  // known by its first bytes
      {"moved.wmf", MetafileFile(64, 32, 96, 100, 50), {64, 32}, 0},
      {"no origin.wmf", MetafileFile(64, 32, 96, 0, 0, false), {64, 32}, 0},
      {"coarse.wmf", MetafileFile(32, 16, 48), {64, 32}, 0}, {"plain.pic", plain, {1, 1}, 0}};
  for (const auto& [name, bytes, size, padTo] : files) {
    SCOPED_TRACE(name);
    QFile file(QString::fromStdString(dir.File(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    if (padTo > 0) ASSERT_TRUE(file.resize(padTo));
    file.close();
    const QImage picture = LoadPictureFile(file.fileName());
    const bool framed = size != QSize(1, 1);
    ASSERT_EQ(picture.isNull() ? QSize() : framed ? picture.size() : QSize(1, 1), size);
    if (picture.isNull()) continue;
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    if (QString(name).endsWith(".bmp")) continue;
    // A metafile is white with red over its left half.
    const int half = framed ? picture.width() / 2 : picture.width() + 4;
    for (int y = 0; y < picture.height(); y += picture.height() > 64 ? 97 : 1) {
      for (int x = 0; x < picture.width(); x += picture.width() > 64 ? 89 : 1) {
        if (x < half - 3) ASSERT_EQ(picture.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
        if (x > half + 3) ASSERT_EQ(picture.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(LoadPictureFile(QString::fromStdString(dir.File("missing.bmp"))).isNull());
  EXPECT_TRUE(LoadPictureFile(QString::fromStdString(dir.Path())).isNull());
  const QString saved = QString::fromStdString(dir.File("pattern.bmp"));
  ASSERT_TRUE(Pattern(13, 7).save(saved, "BMP"));
  EXPECT_EQ(Difference(LoadPictureFile(saved), Pattern(13, 7)), "") << "a bitmap keeps its pixels";
}

TEST(PictureHolder, BuiltInPicturesAreInUseUntilAFittingSheetOrABackgroundReplacesThem) {
  PictureHolder p;
  const QImage sheet(":/assets/pieces.bmp"), title(":/assets/title.bmp");
  ASSERT_TRUE(sheet.size() == QSize(192, 64) && title.size() == QSize(300, 200)) << "built in";
  for (const QImage* picture : {&p.Picture5, &p.Picture2}) EXPECT_EQ(Difference(*picture, sheet), "");
  for (const QImage* picture : {&p.Picture3, &p.Picture1}) EXPECT_EQ(Difference(*picture, title), "");
  EXPECT_TRUE(p.Picture4.isNull() && p.SheetIsBuiltIn() && p.BackgroundIsBuiltIn());
  for (const QSize size : {QSize(193, 64), QSize(192, 65), QSize(191, 64), QSize()}) {
    p.Picture4 = size.isValid() ? Pattern(size.width(), size.height()) : QImage();
    EXPECT_FALSE(p.UseLoadedSheet());
    EXPECT_TRUE(Difference(p.Picture2, sheet).empty() && p.SheetIsBuiltIn());
  }
  p.Picture4 = Pattern(192, 64).convertToFormat(QImage::Format_ARGB32);
  EXPECT_TRUE(p.UseLoadedSheet());
  EXPECT_TRUE(p.Picture2.format() == QImage::Format_RGB32 && !p.SheetIsBuiltIn());
  EXPECT_EQ(Difference(p.Picture2, Pattern(192, 64)), "");
  p.UseBuiltInSheet();
  EXPECT_TRUE(Difference(p.Picture2, sheet).empty() && p.SheetIsBuiltIn());
  p.UseBackground(Pattern(5, 7).convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_TRUE(p.Picture3.format() == QImage::Format_RGB32 && !p.BackgroundIsBuiltIn());
  EXPECT_EQ(Difference(p.Picture3, Pattern(5, 7)), "");
  p.UseBuiltInBackground();
  EXPECT_TRUE(Difference(p.Picture3, title).empty() && p.BackgroundIsBuiltIn());
}

}  // namespace
}  // namespace pyra
