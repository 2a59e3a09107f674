// The about box: the title picture and an OK button, shown modally, kept for the whole run.
#pragma once

#include <QDialog>
#include <QImage>

class QPushButton;

namespace pyra {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr QSize ClientSize{299, 192};
  static constexpr QRect OkGeometry{248, 8, 33, 25};

  AboutBox(QWidget* parent, const QImage& picture);

  // Shows the box modally until OK. The first time it is centred on the screen; later
  // openings leave it where it was.
  void Run();
  QPushButton* OkButton() const { return ok_; }
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  QPushButton* ok_;
  bool placed_ = false;
};

}  // namespace pyra
