#pragma once
// Fonts asked for by name ("MS Sans Serif", "Ms Sans Serif", "Arial"...): the name is kept as
// the family asked for and a sans-serif fallback is substituted when the system lacks it.
#include <QFont>
#include <QString>

namespace ui {

// A font of family `name` with the given pixel height (the program's sizes are pixel heights
// at 96 dots per inch, which Qt's device-independent pixels play the part of).
QFont FontByName(const QString& name, int pixelHeight, bool bold = false);

// The same with a point size.
QFont FontByNamePoints(const QString& name, int pointSize, bool bold = false);

// The font of the program's dialogs: "MS Sans Serif", 11 pixels high.
QFont DialogFont();

}  // namespace ui
