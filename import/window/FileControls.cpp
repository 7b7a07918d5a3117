#include "import/window/FileControls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <stdexcept>

namespace imp {

QStringList MountedRoots() {
  // Pseudo file systems hold no workbooks.
  static const QStringList kSkipTypes = {
      "proc",       "sysfs",      "devtmpfs", "devpts",   "tmpfs",   "cgroup",
      "cgroup2",    "securityfs", "pstore",   "debugfs",  "tracefs", "mqueue",
      "hugetlbfs",  "configfs",   "fusectl",  "bpf",      "autofs",  "binfmt_misc",
      "rpc_pipefs", "nsfs",       "overlay",  "squashfs", "efivarfs"};
  QStringList roots{"/"};
  QFile mounts("/proc/mounts");
  if (mounts.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QTextStream in(&mounts);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
      const QStringList parts = line.split(' ');
      if (parts.size() < 3 || kSkipTypes.contains(parts[2])) continue;
      QString point = parts[1];
      point.replace("\\040", " ");
      if (point.startsWith("/proc") || point.startsWith("/sys") || point.startsWith("/dev") ||
          point.startsWith("/run"))
        continue;
      QFileInfo info(point);
      if (info.isDir() && info.isReadable() && !roots.contains(point)) roots << point;
    }
  }
  std::sort(roots.begin(), roots.end());
  return roots;
}

QString RootOf(const QString& path, const QStringList& roots) {
  QString best = "/";
  for (const QString& root : roots) {
    const QString withSlash = root.endsWith('/') ? root : root + '/';
    if ((path == root || path.startsWith(withSlash)) && root.size() > best.size()) best = root;
  }
  return best;
}

TDriveComboBox::TDriveComboBox(QWidget* parent) : QComboBox(parent) {
  addItems(MountedRoots());
  connect(this, &QComboBox::currentIndexChanged, this, [this] {
    if (OnChange) OnChange();
  });
}

void TDriveComboBox::SetDrive(const QString& root) {
  int index = findText(root);
  if (index < 0) {
    addItem(root);
    index = count() - 1;
  }
  setCurrentIndex(index);
}

void TDriveComboBox::showPopup() {
  if (OnDropDown) OnDropDown();
  QComboBox::showPopup();
}

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QListWidget(parent) {
  // Long folder names end in "..." rather than under a scroll bar that hides the last row.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideRight);
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    openedByMouse_ = true;
    Open(item);
  });
}

void TDirectoryListBox::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  if (!openedByMouse_) return;
  openedByMouse_ = false;
  setCurrentRow(shownRow_);
}

void TDirectoryListBox::SetDirectory(const QString& folder) {
  QDir dir(folder);
  if (!dir.exists() || !QFileInfo(dir.absolutePath()).isReadable())
    throw std::runtime_error("Nu pot citi directorul " + folder.toStdString());
  const QString path = QDir::cleanPath(dir.absolutePath());
  const QStringList subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable,
                                               QDir::Name | QDir::IgnoreCase);
  clear();
  // The path from the root down, each level indented a little more.
  QStringList levels;
  for (QDir up(path);;) {
    levels.prepend(up.absolutePath());
    if (up.isRoot() || !up.cdUp()) break;
  }
  int depth = 0;
  for (const QString& level : levels) {
    const QString name = level == "/" ? QString("/") : QFileInfo(level).fileName();
    auto* item = new QListWidgetItem(QString(depth * 2, ' ') + name, this);
    item->setData(Qt::UserRole, level);
    ++depth;
  }
  shownRow_ = count() - 1;
  setCurrentRow(shownRow_);
  for (const QString& sub : subfolders) {
    auto* item = new QListWidgetItem(QString(depth * 2, ' ') + sub, this);
    item->setData(Qt::UserRole, QDir(path).filePath(sub));
  }
  const bool changed = path != directory_;
  directory_ = path;
  if (changed && OnChange) OnChange();
}

void TDirectoryListBox::Open(QListWidgetItem* item) {
  if (!item) return;
  SetDirectory(item->data(Qt::UserRole).toString());
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Open(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
  connect(this, &QListWidget::currentRowChanged, this, [this] {
    if (OnChange) OnChange();
  });
}

void TFileListBox::SetMask(const QString& mask) {
  if (mask == mask_) return;
  mask_ = mask;
  Reload();
}

void TFileListBox::SetDirectory(const QString& folder) {
  directory_ = QDir::cleanPath(QDir(folder).absolutePath());
  Reload();
}

void TFileListBox::Refresh() {
  const QString chosen = currentRow() >= 0 && currentItem() ? currentItem()->text() : QString();
  blockSignals(true);
  Fill();
  const QList<QListWidgetItem*> found = findItems(chosen, Qt::MatchExactly);
  setCurrentRow(!chosen.isEmpty() && !found.isEmpty() ? row(found.first()) : -1);
  blockSignals(false);
  const QString now = currentRow() >= 0 && currentItem() ? currentItem()->text() : QString();
  if (now != chosen && OnChange) OnChange();
}

void TFileListBox::Reload() {
  blockSignals(true);
  Fill();
  setCurrentRow(-1);
  blockSignals(false);
  if (OnChange) OnChange();
}

void TFileListBox::Fill() {
  clear();
  if (!directory_.isEmpty()) {
    QDir dir(directory_);
    dir.setNameFilters(mask_.split(';', Qt::SkipEmptyParts));
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    // The mask matches whatever the case of the file name, as on the files' home platform.
    for (const QString& name : dir.entryList()) addItem(name);
  }
}

QString TFileListBox::FileName() const {
  const QListWidgetItem* item = currentItem();
  if (!item || currentRow() < 0) return {};
  return QDir(directory_).filePath(item->text());
}

void TFileListBox::SetFileName(const QString& path) {
  const QFileInfo info(path);
  const QList<QListWidgetItem*> found = findItems(info.fileName(), Qt::MatchExactly);
  if (!found.isEmpty()) setCurrentItem(found.first());
}

TFilterComboBox::TFilterComboBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] {
    if (OnChange) OnChange();
  });
}

void TFilterComboBox::SetFilter(const QString& filter) {
  blockSignals(true);
  clear();
  masks_.clear();
  const QStringList parts = filter.split('|');
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    addItem(parts[i]);
    masks_ << parts[i + 1];
  }
  setCurrentIndex(count() > 0 ? 0 : -1);
  blockSignals(false);
}

QString TFilterComboBox::Mask() const {
  const int i = currentIndex();
  return i >= 0 && i < masks_.size() ? masks_[i] : QString("*.*");
}

}  // namespace imp
