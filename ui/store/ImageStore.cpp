#include "ui/store/ImageStore.h"

#include <QFile>
#include <memory>

#include "ui/store/SystemColors.h"

// Resources compiled into a static library are registered only when asked for by name.
static void RegisterPictureResources() {
  Q_INIT_RESOURCE(pictures);
}

namespace ui {
namespace {

const QImage& NullImage() {
  static const QImage empty;
  return empty;
}

// Pictures left exactly as drawn on every display: backgrounds and large decorations.
bool KeepsDesignedColours(const QString& name) {
  return name == "ImageDate" || name == "ImageListe" || name == "StopModi" || name == "Hartie" ||
         name == "Mijloc";
}

// Shading of a skin, drawn in greys, re-derived around the button-face colour: the designed
// mid grey 232 becomes the face itself, lighter greys move towards white, darker ones
// towards black in proportion.
QRgb Reshade(QRgb pixel, const QColor& face) {
  const int g = qRed(pixel);
  constexpr int kDesignedFace = 232;
  auto mix = [](int a, int b, int num, int den) { return a + (b - a) * num / den; };
  if (g <= kDesignedFace)
    return qRgb(face.red() * g / kDesignedFace, face.green() * g / kDesignedFace,
                face.blue() * g / kDesignedFace);
  const int num = g - kDesignedFace, den = 255 - kDesignedFace;
  return qRgb(mix(face.red(), 255, num, den), mix(face.green(), 255, num, den),
              mix(face.blue(), 255, num, den));
}

const char* const kSmallMarks[] = {
    "Permis",    "Interzis",  "Surub", "Linii",     "Check",        "Radio",
    "Anulat",    "GrupX",     "Grup0", "crescator", "descrescator", "ToolbVert",
    "ToolbOriz", "EscapeImg", "Logo",  "Pag",       "Tarvex",       "Buget"};

}  // namespace

const std::vector<TMesaj::PictureSpec>& TMesaj::Catalogue() {
  static const std::vector<PictureSpec> specs = {
      {"Warning", 42, 64},      {"Error", 42, 64},        {"Confirmation", 42, 64},
      {"Information", 42, 64},  {"OK", 60, 20},           {"Cancel", 60, 20},
      {"Help", 60, 20},         {"Nu", 60, 20},           {"Exit", 60, 20},
      {"Retry", 60, 20},        {"Add", 60, 20},          {"Delete", 60, 20},
      {"Jurnal", 60, 20},       {"Vizual", 60, 20},       {"Print", 60, 20},
      {"Edit", 60, 20},         {"Analitic", 60, 20},     {"Detalii", 60, 20},
      {"Save", 60, 20},         {"Mail", 60, 20},         {"BigExit", 96, 26},
      {"BUnelte", 96, 26},      {"Config", 96, 26},       {"Stoc", 96, 26},
      {"Sold", 96, 26},         {"BIntr", 123, 26},       {"BSediu", 96, 26},
      {"BIes", 96, 26},         {"BBani", 96, 26},        {"Buget", 48, 20},
      {"Precedent", 48, 20},    {"Urmator", 48, 20},      {"Plus", 48, 20},
      {"PlusAdd", 60, 20},      {"MinusDel", 60, 20},     {"FirstPag", 60, 20},
      {"LastPag", 60, 20},      {"PrevPag", 60, 20},      {"NextPag", 60, 20},
      {"nFirst", 48, 20},       {"nPrev", 36, 20},        {"nNext", 36, 20},
      {"nLast", 48, 20},        {"Find", 60, 20},         {"FindNext", 60, 20},
      {"Grafic", 60, 20},       {"SaveAs", 60, 20},       {"PrnSetup", 60, 20},
      {"Avansat", 60, 20},      {"Image1", 60, 20},       {"ButtonFace", 180, 28},
      {"ButtonFace2", 120, 42}, {"LookupFace", 120, 42},  {"SpeedFace", 54, 16},
      {"IconFace", 56, 30},     {"Radio", 22, 11},        {"Check", 66, 15},
      {"Surub", 8, 8},          {"Permis", 12, 12},       {"Interzis", 12, 12},
      {"Linii", 8, 8},          {"HatchB", 8, 8},         {"Anulat", 92, 52},
      {"GrupX", 42, 15},        {"Grup0", 42, 15},        {"crescator", 20, 15},
      {"descrescator", 20, 15}, {"ToolbVert", 8, 26},     {"ToolbOriz", 26, 8},
      {"EscapeImg", 84, 15},    {"Pag", 20, 30},          {"PalmaDeMajorca", 78, 11},
      {"ImageDate", 160, 160},  {"ImageListe", 160, 160}, {"Mijloc", 32, 250},
      {"Hartie", 32, 68},       {"StopModi", 86, 53},     {"Tarvex", 102, 32},
      {"Logo", 165, 25}};
  return specs;
}

TMesaj::TMesaj(int colorDepth) : colorDepth_(colorDepth) {
  RegisterPictureResources();
  for (const PictureSpec& spec : Catalogue()) {
    const QString name = QString::fromLatin1(spec.Name);
    QImage img(QStringLiteral(":/pictures/") + name + QStringLiteral(".png"));
    // A picture that failed to load, or came out at another size, would misplace every control
    // that lays itself out by it; it is replaced by a blank of the designed size instead.
    if (img.isNull() || img.width() != spec.Width || img.height() != spec.Height) {
      img = QImage(spec.Width, spec.Height, QImage::Format_RGB32);
      img.fill(QColor(240, 240, 240));
    }
    pictures_[name] = img.convertToFormat(QImage::Format_RGB32);
  }
  if (colorDepth_ > 8) AdaptToScheme();
}

void TMesaj::AdaptToScheme() {
  const QColor face = ToQColor(clBtnFace);
  const QRgb faceRgb = face.rgb();
  for (auto& [name, img] : pictures_) {
    if (KeepsDesignedColours(name)) continue;
    const QRgb back = img.pixel(0, 0);
    const bool skin = name == "ButtonFace" || name == "LookupFace";
    for (int y = 0; y < img.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x) {
        const QRgb px = line[x] | 0xFF000000u;
        if (px == (back | 0xFF000000u))
          line[x] = faceRgb;
        else if (px == (faceRgb | 0xFF000000u))
          // A drawn pixel that happens to have the face colour would now turn transparent.
          line[x] = qRgb(qRed(px) ^ 1, qGreen(px), qBlue(px));
        else if (skin && qRed(px) == qGreen(px) && qGreen(px) == qBlue(px)) {
          QRgb shaded = Reshade(px, face);
          // Shading must never take the transparent colour, or part of the face would vanish.
          if ((shaded | 0xFF000000u) == (faceRgb | 0xFF000000u) && face.red() < 255)
            shaded = qRgb(face.red() + 1, face.green(), face.blue());
          else if ((shaded | 0xFF000000u) == (faceRgb | 0xFF000000u))
            shaded = qRgb(face.red() - 1, face.green(), face.blue());
          line[x] = shaded;
        }
      }
    }
  }
}

const QImage& TMesaj::Picture(const QString& name) const {
  // The brand pictures are reached through SmallMark only.
  if (name == QLatin1String("Tarvex") || name == QLatin1String("Logo")) return NullImage();
  const auto it = pictures_.find(name);
  return it == pictures_.end() ? NullImage() : it->second;
}

const QImage& TMesaj::SmallMark(int number) const {
  const int n = number & 0x7F;
  if (n < 0 || n >= int(std::size(kSmallMarks))) return NullImage();
  const auto it = pictures_.find(QString::fromLatin1(kSmallMarks[n]));
  return it == pictures_.end() ? NullImage() : it->second;
}

QPixmap TMesaj::TransparentPixmap(const QString& name) const {
  const QImage& img = Picture(name);
  if (img.isNull()) return QPixmap();
  return QPixmap::fromImage(WithTransparency(img));
}

QColor TMesaj::TransparentColor(const QImage& image) {
  if (image.isNull()) return QColor();
  return QColor::fromRgb(image.pixel(0, 0));
}

QImage TMesaj::WithTransparency(const QImage& image) {
  if (image.isNull()) return QImage();
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = out.pixel(0, 0) | 0xFF000000u;
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] | 0xFF000000u) == key) line[x] = 0;
  }
  return out;
}

const TMesaj& DlgImageStore() {
  static const std::unique_ptr<TMesaj> store = std::make_unique<TMesaj>(ScreenColorDepth());
  return *store;
}

}  // namespace ui
