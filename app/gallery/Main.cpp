// The control gallery. Without arguments it shows every panel in one scrollable window;
// "--grab DIR" saves each panel to DIR/<name>.png instead (works on the offscreen platform).

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QTabWidget>
#include <cstdio>

#include "app/gallery/GalleryPanels.h"

namespace {

int Grab(const QString& folder) {
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
    return 1;
  }
  int failures = 0;
  for (const GalleryPanel& entry : GalleryPanels()) {
    std::unique_ptr<QWidget> panel = entry.Build();
    panel->show();
    QApplication::setActiveWindow(panel.get());
    QApplication::processEvents();
    if (entry.Prepare) entry.Prepare(*panel);
    QApplication::processEvents();
    const QString file = QDir(folder).filePath(entry.Name + QStringLiteral(".png"));
    if (!panel->grab().save(file)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      ++failures;
    } else {
      std::printf("%s\n", qPrintable(file));
    }
    panel->hide();
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  const qsizetype grab = args.indexOf(QStringLiteral("--grab"));
  if (grab >= 0) {
    if (grab + 1 >= args.size()) {
      std::fprintf(stderr, "usage: gallery [--grab DIR]\n");
      return 2;
    }
    return Grab(args.at(grab + 1));
  }

  QTabWidget window;
  window.setWindowTitle(QStringLiteral("Galerie de controale"));
  std::vector<GalleryPanel> panels = GalleryPanels();
  for (const GalleryPanel& entry : panels) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(entry.Build().release());
    window.addTab(scroll, entry.Name);
  }
  window.resize(900, 600);
  window.show();
  return app.exec();
}
