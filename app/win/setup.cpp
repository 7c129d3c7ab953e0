#include "app/win/form_builder.h"
#include "app/win/setup.h"

#include <cstdint>

#include "app/win/Unit2.h"

TForm3* Form3 = nullptr;

namespace {

using formbuild::Make;
using formbuild::MakeLabel;

// Offsets are shown as 16-bit values; the up-down clamps them to its range.
int As16Bit(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

}  // namespace

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
  Name = L"Form3";
  SetText(L"设置:非专业人士,请勿改动 ");
  BorderStyle = TBorderStyle::bsDialog;
  BorderIcons = biSystemMenu;
  SetColor(clBtnFace);
  Font().SetName(L"MS Sans Serif");
  Font().SetHeight(-11);
  Font().SetCharset(DEFAULT_CHARSET);
  SetBounds(523, 348, 0, 0);
  SetClientSize(283, 183);

  Label1 = MakeLabel(this, this, L"Label1", 6, 8, 70, 13, L"屏幕IP地址:   ");
  Edit1 = Make<TEdit>(this, this, L"Edit1", 92, 5, 109, 21, 0);
  Edit1->SetText(L"192.168.1.99");
  BitBtn1 = Make<TBitBtn>(this, this, L"BitBtn1", 201, 3, 75, 25, 1);
  BitBtn1->SetText(L"测试");
  BitBtn2 = Make<TBitBtn>(this, this, L"BitBtn2", 117, 144, 75, 25, 2);
  BitBtn2->SetText(L"确定");
  BitBtn3 = Make<TBitBtn>(this, this, L"BitBtn3", 201, 144, 75, 25, 3);
  BitBtn3->SetText(L"取消");

  GroupBox1 = Make<TGroupBox>(this, this, L"GroupBox1", 116, 32, 161, 97, 4);
  GroupBox1->SetText(L"位置");
  Label2 = MakeLabel(this, GroupBox1, L"Label2", 8, 20, 54, 13, L"垂直偏移: ");
  Edit2 = Make<TEdit>(this, GroupBox1, L"Edit2", 88, 16, 41, 21, 2);
  UpDown1 = Make<TUpDown>(this, GroupBox1, L"UpDown1", 129, 16, 16, 21, 0);
  Label3 = MakeLabel(this, GroupBox1, L"Label3", 9, 46, 30, 13, L"间距: ");
  Edit3 = Make<TEdit>(this, GroupBox1, L"Edit3", 88, 40, 41, 21, 3);
  UpDown2 = Make<TUpDown>(this, GroupBox1, L"UpDown2", 129, 40, 16, 21, 1);
  Label4 = MakeLabel(this, GroupBox1, L"Label4", 9, 68, 54, 13, L"金额偏移: ");
  Edit4 = Make<TEdit>(this, GroupBox1, L"Edit4", 88, 64, 41, 21, 4);
  UpDown3 = Make<TUpDown>(this, GroupBox1, L"UpDown3", 129, 64, 16, 21, 5);
  for (auto [ud, ed] : {std::pair{UpDown1, Edit2}, std::pair{UpDown2, Edit3}, std::pair{UpDown3, Edit4}}) {
    ud->Min = 0;
    ud->Max = 100;
    ud->Increment = 1;
    ud->ArrowKeys = true;
    ud->Wrap = false;
    ud->SetAssociate(ed);
    ud->SetPosition(0);
  }

  GroupBox2 = Make<TGroupBox>(this, this, L"GroupBox2", 8, 32, 97, 97, 5);
  GroupBox2->SetText(L"字体");
  BitBtn4 = Make<TBitBtn>(this, GroupBox2, L"BitBtn4", 16, 24, 65, 25, 0);
  BitBtn4->SetText(L"菜名字体");
  BitBtn19 = Make<TBitBtn>(this, GroupBox2, L"BitBtn19", 16, 60, 65, 25, 1);
  BitBtn19->SetText(L"金额字体");

  GroupBox3 = Make<TGroupBox>(this, this, L"GroupBox3", 8, 129, 97, 49, 6);
  CheckBox1 = Make<TCheckBox>(this, GroupBox3, L"CheckBox1", 8, 9, 81, 17, 0);
  CheckBox1->SetText(L"显示标题");
  CheckBox2 = Make<TCheckBox>(this, GroupBox3, L"CheckBox2", 8, 27, 80, 17, 1);
  CheckBox2->SetText(L"保存到卡");

  OnShow = [this](TObject* s) { FormShow(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
  BitBtn4->OnClick = [this](TObject* s) { BitBtn4Click(s); };
  BitBtn19->OnClick = [this](TObject* s) { BitBtn19Click(s); };
  CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };

  // The flat painter comes last: it hooks the controls that exist now.
  XPStyle1 = formbuild::AddXPStyle(this, kAllXPControls & ~XPBit(xcEdit), true);
}

void TForm3::FormShow(TObject*) {
  // Centred over the main window by outer sizes.
  if (Form1) {
    SetBounds(Form1->Left() + (Form1->Width() - Width()) / 2, Form1->Top() + (Form1->Height() - Height()) / 2,
              Width(), Height());
  }
  // Flags tick their boxes; a box that changes runs its click handler.
  if (Settings.ShowTitle == 1) CheckBox1->SetChecked(true);
  if (Settings.SaveToCard == 1) CheckBox2->SetChecked(true);
  // The address and the three offsets.
  Edit1->SetText(Settings.ScreenIp);
  UpDown1->SetPosition(As16Bit(Settings.VerticalOffset));
  UpDown2->SetPosition(As16Bit(Settings.Spacing));
  UpDown3->SetPosition(As16Bit(Settings.PriceOffset));
}

void TForm3::BitBtn2Click(TObject*) {
  Settings.VerticalOffset = UpDown1->Position();
  Settings.Spacing = UpDown2->Position();
  Settings.PriceOffset = UpDown3->Position();
  Settings.ScreenIp = Edit1->Text();  // as typed
  Settings.ShowTitle = CheckBox1->Checked() ? 1 : 0;
  Settings.SaveToCard = CheckBox2->Checked() ? 1 : 0;
  // A failing preview (no title picture) stops here: the values are kept
  // and the dialog stays open.
  Form1->BitBtn18Click(Form1->BitBtn18);
  Close();
}

void TForm3::BitBtn3Click(TObject*) { Close(); }

void TForm3::BitBtn4Click(TObject*) { Form1->FontDialog2->Execute(); }

void TForm3::BitBtn19Click(TObject*) { Form1->FontDialog1->Execute(); }

void TForm3::CheckBox1Click(TObject*) {
  Settings.ShowTitle = CheckBox1->Checked() ? 1 : 0;
  Form1->BitBtn18Click(Form1->BitBtn18);
}

void TForm3::BitBtn1Click(TObject*) {
  Form1->BitBtn1Click(Form1->BitBtn1);
  const std::wstring remembered = Settings.ScreenIp;
  Settings.ScreenIp = Edit1->Text();
  Form1->BitBtn2Click(Form1->BitBtn2);
  Settings.ScreenIp = remembered;
}
