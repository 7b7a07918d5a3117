#pragma once
// The gallery's panels: one window per group of controls, each built in the state it shows.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

struct GalleryPanel {
  QString Name;  // also the PNG file name
  std::function<std::unique_ptr<QWidget>()> Build;
  // Run after the panel is shown, before it is grabbed: hover, focus, pressed states.
  std::function<void(QWidget& panel)> Prepare;
};

std::vector<GalleryPanel> GalleryPanels();
