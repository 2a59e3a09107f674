// The picture chooser's window: a place (drive) list, a folder list and a file list of the
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

class PictureChooserWindow : public QDialog {
  Q_OBJECT

 public:
  PictureChooserWindow(QWidget* parent, PictureChooser& logic, bool backgroundMode,
                       bool builtInInUse, std::vector<ChooserPlace> places);

  // The controls, named as the chooser's parts are.
  QComboBox* PlaceList() const { return placeList_; }
  QTreeWidget* FolderList() const { return folderList_; }
  QListWidget* FileList() const { return fileList_; }
  QLabel* PathLabel() const { return pathLabel_; }
  QLabel* PatternLabel() const { return patternLabel_; }
  QLabel* Preview() const { return preview_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }
  QPushButton* DefaultButton() const { return defaultButton_; }
  const QString& Folder() const { return folder_; }

  // The folder list moves to `folder`; false when it cannot be opened.
  bool OpenFolder(const QString& folder);
  void ChoosePlace(int index);

 private:
  void FileChosen();
  void Confirm();
  void RestoreDefault();
  void FillFolders();
  void FillFiles();
  void ShowPreview(const QString& path);
  // The path label: the folder, or the selected file's full path.
  void ShowPath(const QString& path);
  // The place whose root holds `folder` most closely.
  int PlaceOf(const QString& folder) const;
  void SelectPlace(int index);

  PictureChooser& logic_;
  bool backgroundMode_;
  std::vector<ChooserPlace> places_;
  QString folder_;
  int place_ = 0;
  QComboBox* placeList_;
  QTreeWidget* folderList_;
  QListWidget* fileList_;
  QLabel* pathLabel_;
  QLabel* patternLabel_;
  QLabel* preview_;
  QLabel* previewSize_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  QPushButton* defaultButton_;
};

}  // namespace pyra
