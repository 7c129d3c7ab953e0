// The settings dialog: screen address, layout offsets, board fonts, title and
// store-on-card choices, and the link test. Created hidden at start, shown
// without being modal; closing only hides it.
#pragma once
#include "ui/win/controls.h"

class TXPStyle;

class TForm3 : public TForm {
 public:
  explicit TForm3(TComponent* AOwner);

  TLabel* Label1;
  TEdit* Edit1;
  TBitBtn *BitBtn1, *BitBtn2, *BitBtn3;
  TGroupBox* GroupBox1;
  TLabel *Label2, *Label3, *Label4;
  TEdit *Edit2, *Edit3, *Edit4;
  TUpDown *UpDown1, *UpDown2, *UpDown3;
  TGroupBox* GroupBox2;
  TBitBtn *BitBtn4, *BitBtn19;
  TGroupBox* GroupBox3;
  TCheckBox *CheckBox1, *CheckBox2;
  TXPStyle* XPStyle1;

  void FormShow(TObject* Sender);
  void BitBtn1Click(TObject* Sender);   // 测试
  void BitBtn2Click(TObject* Sender);   // 确定
  void BitBtn3Click(TObject* Sender);   // 取消
  void BitBtn4Click(TObject* Sender);   // 菜名字体
  void BitBtn19Click(TObject* Sender);  // 金额字体
  void CheckBox1Click(TObject* Sender); // 显示标题
};

extern TForm3* Form3;
