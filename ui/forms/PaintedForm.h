#pragma once
// TPaintedForm: a level of the form family that adds no behaviour the program reaches; kept so
// the class tree reads as the forms are related.
#include "ui/forms/MForm.h"

namespace ui {

class TPaintedForm : public TMForm {
  Q_OBJECT

 public:
  using TMForm::TMForm;
};

}  // namespace ui
