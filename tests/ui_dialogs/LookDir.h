#pragma once
// Pictures for looking at by eye: written only when IMPPRET_LOOK_DIR names a folder.
#include <QImage>
#include <QString>
#include <cstdlib>

inline void SaveForLook(const QImage& image, const QString& name) {
  if (const char* dir = std::getenv("IMPPRET_LOOK_DIR"))
    image.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}
