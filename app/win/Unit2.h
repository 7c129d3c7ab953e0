// The main window: the menu of fifteen dishes, the board preview, the result
// log and the buttons that start every other function.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include <memory>

#include "app/win/board.h"
#include "ui/win/controls.h"

class TXPStyle;
#include "ui/win/dialogs.h"

extern BoardSettings Settings;

namespace vp {
class TvpVesperForm;
class TvpSkinData;
class TvpCompressedStoredSkin;
class TvpWinSkinMessageSink;
}  // namespace vp

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* AOwner);
  ~TForm1() override;

  // Board picture and name strip.
  TPanel* Panel1;
  TImage* Image1;
  TImage* Image2;
  TImage* Image3;
  // The menu.
  TGroupBox* GroupBox1;
  TLabel *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
  std::array<TEdit*, 31> Edit{};  // Edit[1] .. Edit[30]
  // Result log and notices.
  TLabel* Label1;
  TMemo* Memo1;
  TLabel* Label2;
  TLabel* Label3;
  // Visible buttons.
  TBitBtn *BitBtn13, *BitBtn14, *BitBtn15, *BitBtn16, *BitBtn17, *BitBtn18;
  // Service buttons, right of the visible client area.
  TBitBtn *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4, *BitBtn5, *BitBtn6, *BitBtn7, *BitBtn8, *BitBtn9, *BitBtn10,
      *BitBtn11, *BitBtn12;
  TButton* Button1;
  // Non-visual components.
  TFontDialog* FontDialog1;  // price font
  TFontDialog* FontDialog2;  // dish-name font
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;
  TXPStyle* XPStyle1;
  // The skinned frame, and the skin it paints from, travelling inside the program.
  vp::TvpVesperForm* vpVesperForm1 = nullptr;
  std::unique_ptr<vp::TvpSkinData> vpSkinData1;
  std::unique_ptr<vp::TvpCompressedStoredSkin> vpCompressedStoredSkin1;

  void Loaded() override;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void BitBtn14Click(TObject* Sender);  // 系统设置
  void BitBtn16Click(TObject* Sender);  // 打开菜谱
  void BitBtn15Click(TObject* Sender);  // 保存菜谱
  void BitBtn18Click(TObject* Sender);  // 预览
  void BitBtn13Click(TObject* Sender);  // 发送
  void BitBtn17Click(TObject* Sender);  // 退出
  // Screen link (service buttons).
  void BitBtn1Click(TObject* Sender);   // 建立通讯
  void BitBtn11Click(TObject* Sender);  // 关闭通讯
  void BitBtn2Click(TObject* Sender);   // 连接控制卡
  void BitBtn3Click(TObject* Sender);   // 电源状态
  void BitBtn4Click(TObject* Sender);   // 打开电源
  void BitBtn5Click(TObject* Sender);   // 关闭电源
  void BitBtn6Click(TObject* Sender);   // 调节亮度
  void BitBtn7Click(TObject* Sender);   // 读取亮度
  void BitBtn9Click(TObject* Sender);   // 校正时钟
  void BitBtn8Click(TObject* Sender);   // 发送图片
  void BitBtn10Click(TObject* Sender);  // 发送时钟
  void BitBtn12Click(TObject* Sender);  // 发送字符串
  void Button1Click(TObject* Sender);   // 发送多行文本
  // The controller library's result message (WM_LED_NOTIFY).
  void WMLedNotify(TMessage& Message);

  // The menu as the thirty boxes hold it: name 1, price 1, ... price 15.
  std::wstring MenuLine(int n) { return Edit[static_cast<size_t>(n)]->Text(); }
  void SetMenuLine(int n, const std::wstring& text) { Edit[static_cast<size_t>(n)]->SetText(text); }

 protected:
  void WndProc(TMessage& m) override;

 private:
  void BuildComponents();
  TBitBtn* ServiceButton(TBitBtn*& ref, const wchar_t* name, int l, int t, const wchar_t* caption, int tab);
  void ReadStartupFiles();
  void ReadMenuFrom(const std::string& path);
  void WriteMenuTo(const std::string& path);
  std::unique_ptr<vp::TvpWinSkinMessageSink> skinSink_;
  NameStripMemo namesDrawn_;
};

extern TForm1* Form1;
