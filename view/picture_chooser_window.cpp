#include "view/picture_chooser_window.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>

#include "options/option_texts.h"
#include "view/picture_file.h"

namespace pyra {

namespace {

constexpr QSize PreviewSize(200, 150);

// Whether `path` is `root` or inside it.
bool IsWithin(const QString& path, const QString& root) {
  if (path == root) return true;
  const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
  return path.startsWith(prefix);
}

// A folder the lists can show: it exists and may be listed and entered.
bool CanOpen(const QString& folder) {
  const QFileInfo info(folder);
  return info.isDir() && info.isReadable() && info.isExecutable();
}

// Mounts of the system itself, which hold no pictures of the user's.
bool IsSystemMount(const QString& root) {
  static const char* const systemRoots[] = {"/proc", "/sys", "/dev", "/run", "/boot", "/efi",
                                            "/snap", "/var", "/tmp", "/usr", "/etc",  "/opt"};
  if (IsWithin(root, QStringLiteral("/run/media"))) return false;  // removable media
  for (const char* system : systemRoots) {
    if (IsWithin(root, QString::fromLatin1(system))) return true;
  }
  return false;
}

}  // namespace

std::vector<ChooserPlace> DefaultPlaces() {
  const QString home = QDir::homePath();
  std::vector<ChooserPlace> places{
      {QStringLiteral("/"), QStringLiteral("/")},
      {QString::fromUtf8(text::HomePlace) + QStringLiteral(" (%1)").arg(home), home}};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    if (!volume.isValid() || root == QLatin1String("/") || root == home) continue;
    // Memory, snap and container layers are no place for the user's pictures.
    const QByteArray type = volume.fileSystemType();
    if (type == "tmpfs" || type == "devtmpfs" || type == "squashfs" || type == "overlay") continue;
    if (IsSystemMount(root) || !QFileInfo(root).isDir()) continue;
    const QString label = volume.displayName();
    places.push_back({label == root ? root : QStringLiteral("%1 (%2)").arg(label, root), root});
  }
  return places;
}

PictureChooserWindow::PictureChooserWindow(QWidget* parent, PictureChooser& logic,
                                           bool backgroundMode, bool builtInInUse,
                                           std::vector<ChooserPlace> places)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      logic_(logic),
      backgroundMode_(backgroundMode),
      places_(std::move(places)),
      placeList_(new QComboBox(this)),
      folderList_(new QTreeWidget(this)),
      fileList_(new QListWidget(this)),
      pathLabel_(new QLabel(this)),
      patternLabel_(new QLabel(QString::fromStdString(pyra::PatternLabel()), this)),
      preview_(new QLabel(this)),
      previewSize_(new QLabel(this)),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("Cancel"), this)),
      defaultButton_(new QPushButton(QStringLiteral("Default"), this)) {
  setModal(true);
  setWindowTitle(QString::fromStdString(ChooserTitle(backgroundMode)));
  setObjectName(QStringLiteral("pictureChooser"));
  const std::pair<QWidget*, const char*> names[] = {
      {placeList_, "placeList"}, {folderList_, "folderList"},     {fileList_, "fileList"},
      {pathLabel_, "pathLabel"}, {patternLabel_, "patternLabel"}, {okButton_, "ok"},
      {cancelButton_, "cancel"}, {defaultButton_, "default"}};
  for (const auto& [widget, name] : names) widget->setObjectName(QString::fromLatin1(name));

  // A long path must not widen the dialog; the whole of it is in the tooltip.
  pathLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pathLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  fileList_->setFixedWidth(170);
  folderList_->setFixedWidth(190);
  placeList_->setFixedWidth(190);
  folderList_->setHeaderHidden(true);
  folderList_->setRootIsDecorated(false);
  folderList_->setIndentation(12);
  preview_->setFixedSize(PreviewSize);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setWordWrap(true);
  preview_->setFrameShape(QFrame::StyledPanel);
  previewSize_->setAlignment(Qt::AlignCenter);
  for (const ChooserPlace& place : places_) placeList_->addItem(place.name);

  auto* grid = new QGridLayout(this);
  grid->addWidget(pathLabel_, 0, 0, 1, 4);
  grid->addWidget(patternLabel_, 1, 0);
  grid->addWidget(fileList_, 2, 0, 2, 1);
  grid->addWidget(folderList_, 1, 1, 2, 1);
  grid->addWidget(placeList_, 3, 1);
  grid->addWidget(preview_, 1, 2, 2, 1, Qt::AlignTop);
  grid->addWidget(previewSize_, 3, 2);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {okButton_, cancelButton_, defaultButton_}) buttons->addWidget(button);
  buttons->addStretch();
  grid->addLayout(buttons, 1, 3, 3, 1);
  grid->setRowMinimumHeight(2, 180);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  okButton_->setDefault(true);
  okButton_->setEnabled(false);
  defaultButton_->setEnabled(!builtInInUse);

  // Every change of place, by the mouse, the keys or a screen reader; the program's own
  // changes are made with the list's signals blocked.
  connect(placeList_, &QComboBox::currentIndexChanged, this, &PictureChooserWindow::ChoosePlace);
  connect(folderList_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { OpenFolder(item->data(0, Qt::UserRole).toString()); });
  connect(fileList_, &QListWidget::currentItemChanged, this, [this] { FileChosen(); });
  connect(fileList_, &QListWidget::itemActivated, this, [this] { Confirm(); });
  connect(okButton_, &QPushButton::clicked, this, &PictureChooserWindow::Confirm);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(defaultButton_, &QPushButton::clicked, this, &PictureChooserWindow::RestoreDefault);

  // The lists start at the current folder.
  folder_ = QDir::currentPath();
  SelectPlace(PlaceOf(folder_));
  ShowPath(folder_);
  FillFolders();
  FillFiles();
}

int PictureChooserWindow::PlaceOf(const QString& folder) const {
  int best = 0;
  qsizetype bestLength = -1;
  for (size_t i = 0; i < places_.size(); ++i) {
    const QString& root = places_[i].root;
    if (IsWithin(folder, root) && root.size() > bestLength) {
      best = static_cast<int>(i);
      bestLength = root.size();
    }
  }
  return best;
}

void PictureChooserWindow::SelectPlace(int index) {
  place_ = index;
  const QSignalBlocker quiet(placeList_);
  placeList_->setCurrentIndex(index);
}

void PictureChooserWindow::ChoosePlace(int index) {
  if (index < 0 || index >= static_cast<int>(places_.size())) return;
  const ChooserPlace& place = places_[index];
  while (!CanOpen(place.root)) {
    if (!logic_.RetryPlace(place.name.toStdString())) {
      // Back to the place of the folder the lists show.
      SelectPlace(PlaceOf(folder_));
      QDir::setCurrent(folder_);
      return;
    }
  }
  SelectPlace(index);
  OpenFolder(place.root);
}

bool PictureChooserWindow::OpenFolder(const QString& folder) {
  const QString path = QDir(folder).absolutePath();
  if (!CanOpen(path) || !QDir::setCurrent(path)) return false;
  folder_ = path;
  if (!IsWithin(folder_, places_[place_].root)) SelectPlace(PlaceOf(folder_));
  ShowPath(folder_);
  FillFolders();
  FillFiles();
  okButton_->setEnabled(false);
  ShowPreview(QString());
  return true;
}

void PictureChooserWindow::FillFolders() {
  folderList_->clear();
  // The open folders from the place's root down to the current one, then its subfolders.
  const QString root = places_[place_].root;
  QStringList chain{folder_};
  for (QDir up(folder_); up.absolutePath() != root && up.cdUp();) chain.prepend(up.absolutePath());
  if (chain.first() != root) chain = QStringList{folder_};
  QTreeWidgetItem* parent = nullptr;
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [&](const QString& path, const QString& name, const QIcon& icon) {
    auto* item = parent == nullptr ? new QTreeWidgetItem(folderList_) : new QTreeWidgetItem(parent);
    item->setText(0, name);
    item->setIcon(0, icon);
    item->setData(0, Qt::UserRole, path);
    return item;
  };
  for (const QString& path : chain) {
    const QString name = parent == nullptr ? path : QFileInfo(path).fileName();
    parent = add(path, name, open);
  }
  QTreeWidgetItem* current = parent;
  const QDir dir(folder_);
  for (const QString& sub :
       dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
    add(dir.filePath(sub), sub, closed);
  }
  folderList_->expandAll();
  folderList_->setCurrentItem(current);
}

void PictureChooserWindow::FillFiles() {
  const QSignalBlocker quiet(fileList_);
  fileList_->clear();
  const QString pattern = QString::fromUtf8(text::PicturePattern);
  for (const QString& name : QDir(folder_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
    if (MatchesPattern(name.toStdString(), pattern.toStdString())) fileList_->addItem(name);
  }
}

void PictureChooserWindow::FileChosen() {
  const QListWidgetItem* item = fileList_->currentItem();
  if (item == nullptr) return;
  const std::string path = JoinPath(folder_.toStdString(), item->text().toStdString());
  ShowPath(QString::fromStdString(path));
  okButton_->setEnabled(true);
  ShowPreview(QString::fromStdString(path));
}

void PictureChooserWindow::ShowPath(const QString& path) {
  pathLabel_->setText(path);
  pathLabel_->setToolTip(path);
}

void PictureChooserWindow::ShowPreview(const QString& path) {
  preview_->clear();
  previewSize_->clear();
  if (path.isEmpty()) return;
  const QImage picture = LoadPictureFile(path);
  if (picture.isNull()) {
    preview_->setText(QString::fromUtf8(text::PreviewUnavailable));
    return;
  }
  QImage shown = picture;
  if (picture.width() > PreviewSize.width() || picture.height() > PreviewSize.height()) {
    shown = picture.scaled(PreviewSize, Qt::KeepAspectRatio, Qt::FastTransformation);
  }
  preview_->setPixmap(QPixmap::fromImage(shown));
  previewSize_->setText(QStringLiteral("%1 × %2").arg(picture.width()).arg(picture.height()));
}

void PictureChooserWindow::Confirm() {
  const QListWidgetItem* item = fileList_->currentItem();
  if (item == nullptr || !okButton_->isEnabled()) return;
  if (logic_.Install(backgroundMode_, folder_.toStdString(), item->text().toStdString())) {
    accept();
  }
}

void PictureChooserWindow::RestoreDefault() {
  logic_.RestoreDefault(backgroundMode_, QDir::currentPath().toStdString());
  accept();
}

}  // namespace pyra
