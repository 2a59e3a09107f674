#include "view/image_chooser.h"

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

ImageChooser::ImageChooser(QWidget* parent, PictureChooser& logic, bool backgroundMode,
                           bool builtInInUse, std::vector<ChooserPlace> places)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      logic_(logic),
      backgroundMode_(backgroundMode),
      places_(std::move(places)),
      drive1_(new QComboBox(this)),
      dir1_(new QTreeWidget(this)),
      file1_(new QListWidget(this)),
      label1_(new QLabel(this)),
      label2_(new QLabel(QString::fromStdString(PatternLabel()), this)),
      preview_(new QLabel(this)),
      previewSize_(new QLabel(this)),
      command1_(new QPushButton(QStringLiteral("OK"), this)),
      command2_(new QPushButton(QStringLiteral("Cancel"), this)),
      command3_(new QPushButton(QStringLiteral("Default"), this)) {
  setModal(true);
  setWindowTitle(QString::fromStdString(ChooserTitle(backgroundMode)));
  setObjectName(QStringLiteral("dlg"));
  const std::pair<QWidget*, const char*> names[] = {
      {drive1_, "Drive1"},     {dir1_, "Dir1"},        {file1_, "File1"},
      {label1_, "Label1"},     {label2_, "Label2"},    {command1_, "Command1"},
      {command2_, "Command2"}, {command3_, "Command3"}};
  for (const auto& [widget, name] : names) widget->setObjectName(QString::fromLatin1(name));

  // A long path must not widen the dialog; the whole of it is in the tooltip.
  label1_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  file1_->setFixedWidth(170);
  dir1_->setFixedWidth(190);
  drive1_->setFixedWidth(190);
  dir1_->setHeaderHidden(true);
  dir1_->setRootIsDecorated(false);
  dir1_->setIndentation(12);
  preview_->setFixedSize(PreviewSize);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setWordWrap(true);
  preview_->setFrameShape(QFrame::StyledPanel);
  previewSize_->setAlignment(Qt::AlignCenter);
  for (const ChooserPlace& place : places_) drive1_->addItem(place.name);

  auto* grid = new QGridLayout(this);
  grid->addWidget(label1_, 0, 0, 1, 4);
  grid->addWidget(label2_, 1, 0);
  grid->addWidget(file1_, 2, 0, 2, 1);
  grid->addWidget(dir1_, 1, 1, 2, 1);
  grid->addWidget(drive1_, 3, 1);
  grid->addWidget(preview_, 1, 2, 2, 1, Qt::AlignTop);
  grid->addWidget(previewSize_, 3, 2);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {command1_, command2_, command3_}) buttons->addWidget(button);
  buttons->addStretch();
  grid->addLayout(buttons, 1, 3, 3, 1);
  grid->setRowMinimumHeight(2, 180);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  command1_->setDefault(true);
  command1_->setEnabled(false);
  command3_->setEnabled(!builtInInUse);

  connect(drive1_, &QComboBox::activated, this, &ImageChooser::Drive1_Change);
  connect(dir1_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { Dir1_Change(item->data(0, Qt::UserRole).toString()); });
  connect(file1_, &QListWidget::currentItemChanged, this, [this] { File1_Click(); });
  connect(file1_, &QListWidget::itemActivated, this, [this] { Command1_Click(); });
  connect(command1_, &QPushButton::clicked, this, &ImageChooser::Command1_Click);
  connect(command2_, &QPushButton::clicked, this, &QDialog::reject);
  connect(command3_, &QPushButton::clicked, this, &ImageChooser::Command3_Click);

  // The lists start at the current folder.
  folder_ = QDir::currentPath();
  SelectPlace(PlaceOf(folder_));
  ShowPath(folder_);
  FillFolders();
  FillFiles();
}

int ImageChooser::PlaceOf(const QString& folder) const {
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

void ImageChooser::SelectPlace(int index) {
  place_ = index;
  const QSignalBlocker quiet(drive1_);
  drive1_->setCurrentIndex(index);
}

void ImageChooser::Drive1_Change(int index) {
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
  Dir1_Change(place.root);
}

bool ImageChooser::Dir1_Change(const QString& folder) {
  const QString path = QDir(folder).absolutePath();
  if (!CanOpen(path) || !QDir::setCurrent(path)) return false;
  folder_ = path;
  if (!IsWithin(folder_, places_[place_].root)) SelectPlace(PlaceOf(folder_));
  ShowPath(folder_);
  FillFolders();
  FillFiles();
  command1_->setEnabled(false);
  ShowPreview(QString());
  return true;
}

void ImageChooser::FillFolders() {
  dir1_->clear();
  // The open folders from the place's root down to the current one, then its subfolders.
  const QString root = places_[place_].root;
  QStringList chain{folder_};
  for (QDir up(folder_); up.absolutePath() != root && up.cdUp();) chain.prepend(up.absolutePath());
  if (chain.first() != root) chain = QStringList{folder_};
  QTreeWidgetItem* parent = nullptr;
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [&](const QString& path, const QString& name, const QIcon& icon) {
    auto* item = parent == nullptr ? new QTreeWidgetItem(dir1_) : new QTreeWidgetItem(parent);
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
  dir1_->expandAll();
  dir1_->setCurrentItem(current);
}

void ImageChooser::FillFiles() {
  const QSignalBlocker quiet(file1_);
  file1_->clear();
  const QString pattern = QString::fromUtf8(text::PicturePattern);
  for (const QString& name : QDir(folder_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
    if (MatchesPattern(name.toStdString(), pattern.toStdString())) file1_->addItem(name);
  }
}

void ImageChooser::File1_Click() {
  const QListWidgetItem* item = file1_->currentItem();
  if (item == nullptr) return;
  const std::string path = JoinPath(folder_.toStdString(), item->text().toStdString());
  ShowPath(QString::fromStdString(path));
  command1_->setEnabled(true);
  ShowPreview(QString::fromStdString(path));
}

void ImageChooser::ShowPath(const QString& path) {
  label1_->setText(path);
  label1_->setToolTip(path);
}

void ImageChooser::ShowPreview(const QString& path) {
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

void ImageChooser::Command1_Click() {
  const QListWidgetItem* item = file1_->currentItem();
  if (item == nullptr || !command1_->isEnabled()) return;
  if (logic_.Command1_Click(backgroundMode_, folder_.toStdString(), item->text().toStdString())) {
    accept();
  }
}

void ImageChooser::Command3_Click() {
  logic_.Command3_Click(backgroundMode_, QDir::currentPath().toStdString());
  accept();
}

}  // namespace pyra
