#include "app/win/setup.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
  Name = L"Form3";
  SetText(L"设置:非专业人士,请勿改动 ");
  BorderStyle = TBorderStyle::bsDialog;
  BorderIcons = biSystemMenu;
  Font().SetName(L"MS Sans Serif");
  Font().SetHeight(-11);
  Font().SetCharset(DEFAULT_CHARSET);
  SetBounds(523, 348, 0, 0);
  SetClientSize(283, 183);
}
