// The companion windows on their own: captions, sizes, and what they print.
#include "view/companion_windows.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "app/main_window.h"
#include "qt_helpers.h"
#include "view/next_pieces.h"

namespace pyra {
namespace {

QImage Printed(const QWidget& w, const QFont& font, QColor ink, const QString& text) {
  QImage image(w.size(), QImage::Format_RGB32);
  image.fill(w.palette().color(QPalette::Button));
  QPainter painter(&image);
  painter.setFont(font), painter.setPen(ink);
  painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, text);
  return image;
}

TEST(CompanionWindows, HaveTheirCaptionsAndSizesAndPrintFromTheTopLeft) {
  MainWindow window;
  CompanionWindows companions(&window);
  const std::tuple<CompanionWindow*, const char*, QSize> rows[] = {
      {&companions.NextBox(), "NEXT", {58, 32}},
      {&companions.ScoreBoxA(), "A", {155, 38}},
      {&companions.ScoreBoxB(), "B", {155, 37}},
      {&companions.Message(), "Message", {318, 70}}};
  for (const auto& [w, caption, size] : rows) {
    EXPECT_EQ(std::tuple(w->windowTitle(), w->minimumSize(), w->maximumSize(), w->windowType(),
                         w->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus),
                         companions.IsCompanion(w), w->isVisible()),
              std::tuple(QString(caption), size, size, Qt::Tool, true, true, false));
    EXPECT_EQ(testing::Difference(w->Image(), Printed(*w, QFont(), Qt::black, "")), "") << caption;
  }
  EXPECT_EQ(ScoreText(0) + ScoreText(7) + ScoreText(-1) + ScoreText(-32768), " 0 7-1-32768");
  const QFontInfo score(ScoreFont()), message(MessageFont());
  EXPECT_FALSE(companions.IsCompanion(&window) || companions.IsCompanion(nullptr));
  EXPECT_EQ(std::tuple(score.family(), score.bold(), score.pixelSize(), message.family(),
                       message.bold(), message.pixelSize()),
            std::tuple(QString("Liberation Sans"), true, 32, QString("IPAGothic"), true, 18));
  // Side A in the window text colour, side B in black; the old score goes.
  const QColor inks[] = {window.palette().color(QPalette::WindowText), Qt::black};
  for (int i = 0; i < 4; ++i) {
    ScoreBox& box = companions.Score(i / 2);
    box.ShowScore(i % 2 ? 8 : -88);
    const QImage want = Printed(box, ScoreFont(), inks[i / 2], ScoreText(i % 2 ? 8 : -88));
    EXPECT_EQ(testing::Difference(box.Image(), want), "") << i;
    EXPECT_EQ(box.accessibleDescription(), i % 2 ? "8" : "-88") << "what a screen reader hears";
  }
  const QString text =
      QString::fromUtf8("ゲームを再開するには\nｹﾞｰﾑ(G)-再開(R)を\n選択してください。");
  MessageWindow& m = companions.Message();
  m.ShowText(QString(40, QChar(0x2588)) + "\n" + QString(40, QChar(0x2588)));
  m.ShowText(text);  // nothing of the earlier text is left
  EXPECT_EQ(std::tuple(m.isVisible(), m.Text(), m.accessibleDescription()),
            std::tuple(true, text, text));
  EXPECT_EQ(testing::Difference(m.Image(), Printed(m, MessageFont(),
                                                   m.palette().color(QPalette::ButtonText), text)),
            "");
  m.Clear();
  EXPECT_EQ(m.accessibleDescription(), "") << "cleared, it says nothing";
  EXPECT_EQ(NextPiecesText({Water, HeldTruck, Fire}) + "/" + NextPiecesText({0, Truck, 9}),
            "水 油 火/トラック")
      << "a withheld truck shows as oil; no piece, no word";
}

}  // namespace
}  // namespace pyra
