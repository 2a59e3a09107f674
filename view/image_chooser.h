// The picture chooser `dlg`: a place (drive) list, a folder list and a file list of the
// picture files, with a preview; OK installs the selected file, Default the built-in picture.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "options/picture_chooser.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pyra {

// A place to look for pictures, as the drive list shows it.
struct ChooserPlace {
  QString name;
  QString root;
};

// The file system's root, the home folder and the mounted volumes a user would look in
// (removable media, network shares, other disks), without the system's own mounts.
std::vector<ChooserPlace> DefaultPlaces();

class ImageChooser : public QDialog {
  Q_OBJECT

 public:
  ImageChooser(QWidget* parent, PictureChooser& logic, bool backgroundMode, bool builtInInUse,
               std::vector<ChooserPlace> places);

  // The controls, named as the chooser's parts are.
  QComboBox* Drive1() const { return drive1_; }
  QTreeWidget* Dir1() const { return dir1_; }
  QListWidget* File1() const { return file1_; }
  QLabel* Label1() const { return label1_; }
  QLabel* Label2() const { return label2_; }
  QLabel* Preview() const { return preview_; }
  QPushButton* Command1() const { return command1_; }
  QPushButton* Command2() const { return command2_; }
  QPushButton* Command3() const { return command3_; }
  const QString& Folder() const { return folder_; }

  // The folder list moves to `folder`; false when it cannot be opened.
  bool Dir1_Change(const QString& folder);
  void Drive1_Change(int index);

 private:
  void File1_Click();
  void Command1_Click();
  void Command3_Click();
  void FillFolders();
  void FillFiles();
  void ShowPreview(const QString& path);
  // Label1: the folder, or the selected file's full path.
  void ShowPath(const QString& path);
  // The place whose root holds `folder` most closely.
  int PlaceOf(const QString& folder) const;
  void SelectPlace(int index);

  PictureChooser& logic_;
  bool backgroundMode_;
  std::vector<ChooserPlace> places_;
  QString folder_;
  int place_ = 0;
  QComboBox* drive1_;
  QTreeWidget* dir1_;
  QListWidget* file1_;
  QLabel* label1_;
  QLabel* label2_;
  QLabel* preview_;
  QLabel* previewSize_;
  QPushButton* command1_;
  QPushButton* command2_;
  QPushButton* command3_;
};

}  // namespace pyra
