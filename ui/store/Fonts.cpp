#include "ui/store/Fonts.h"

#include <QStringList>

namespace ui {
namespace {

QFont Family(const QString& name, bool bold) {
  QFont f;
  // The family asked for first; the sans-serif faces that every Linux desktop has after it.
  f.setFamilies({name, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("Noto Sans")});
  f.setStyleHint(QFont::SansSerif);
  f.setBold(bold);
  return f;
}

}  // namespace

QFont FontByName(const QString& name, int pixelHeight, bool bold) {
  QFont f = Family(name, bold);
  f.setPixelSize(pixelHeight > 0 ? pixelHeight : 11);
  return f;
}

QFont FontByNamePoints(const QString& name, int pointSize, bool bold) {
  QFont f = Family(name, bold);
  f.setPointSize(pointSize > 0 ? pointSize : 8);
  return f;
}

QFont DialogFont() {
  return FontByName(QStringLiteral("MS Sans Serif"), 11);
}

}  // namespace ui
