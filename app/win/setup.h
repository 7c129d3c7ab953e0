// The settings dialog: screen address, layout offsets, board fonts, title and
// store-on-card choices, and the link test.
#pragma once
#include "ui/win/controls.h"

class TForm3 : public TForm {
 public:
  explicit TForm3(TComponent* AOwner);
};

extern TForm3* Form3;
