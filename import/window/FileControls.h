#pragma once
// The classic file-selection controls of the main window: the drive list, the folder list, the
// file list and the file-type filter list. They are not bound to one another; the window's
// handlers do the binding. On this platform a "drive" is the root of a mounted file system.
#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>

namespace imp {

// The roots of the mounted, readable file systems ("/" always among them), sorted.
QStringList MountedRoots();
// The root of the file system that holds `path` (the longest mount root that prefixes it).
QString RootOf(const QString& path, const QStringList& roots);

class TDriveComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TDriveComboBox(QWidget* parent = nullptr);
  QString Drive() const { return currentText(); }
  // Selects `root` (added when missing); fires OnChange when the drive changes.
  void SetDrive(const QString& root);
  std::function<void()> OnChange;
  // Before the list drops down (the window fills lists on demand).
  std::function<void()> OnDropDown;

 protected:
  void showPopup() override;
};

// The folder list: the path from the root down to the current folder, then its sub-folders,
// one level deeper. A double click (or Enter) opens the folder under the cursor. The folder
// shown is the highlighted row, also after a double click, so the arrow keys start from it.
class TDirectoryListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TDirectoryListBox(QWidget* parent = nullptr);
  QString Directory() const { return directory_; }
  // Goes to `folder`; raises std::runtime_error when it cannot be read. Fires OnChange.
  void SetDirectory(const QString& folder);
  std::function<void()> OnChange;
  // The row of the folder shown.
  int ShownRow() const { return shownRow_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Open(QListWidgetItem* item);
  QString directory_;
  int shownRow_ = -1;
  bool openedByMouse_ = false;  // the release of this double click must not move the highlight
};

// The files of a folder that match a mask ("*.xls", matched without regard to case).
class TFileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TFileListBox(QWidget* parent = nullptr);
  QString Mask() const { return mask_; }
  void SetMask(const QString& mask);
  QString Directory() const { return directory_; }
  // Shows the files of `folder` as they are now (read again also when it is the folder shown).
  void SetDirectory(const QString& folder);
  // Reads the folder again, keeping the chosen file when it is still there; OnChange fires only
  // when the chosen file changed.
  void Refresh();
  // The full path of the selected file, or "" when none is selected.
  QString FileName() const;
  // Selects the file with this full path, when listed.
  void SetFileName(const QString& path);
  std::function<void()> OnChange;

 private:
  void Reload();
  void Fill();
  QString mask_ = "*.*";
  QString directory_;
};

// The file-type filter list, given as "Description|mask|Description|mask...".
class TFilterComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TFilterComboBox(QWidget* parent = nullptr);
  void SetFilter(const QString& filter);
  QString Mask() const;
  std::function<void()> OnChange;

 private:
  QStringList masks_;
};

}  // namespace imp
