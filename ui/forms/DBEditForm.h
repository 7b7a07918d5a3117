#pragma once
// TDBEditForm: the titled form of the data-editing windows. Once loaded, its caption becomes the
// caption of its first title bar, so the window's title is what its title strip shows.
#include "ui/forms/TitleForm.h"

namespace ui {

class TDBEditForm : public TTitleForm {
  Q_OBJECT

 public:
  using TTitleForm::TTitleForm;
  void Loaded() override;
};

}  // namespace ui
