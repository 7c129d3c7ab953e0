#include "app/win/form_builder.h"
#include "app/win/Unit2.h"

#include <string>

#include "app/core/menu_file.h"
#include "app/core/settings_file.h"
#include "screenlink/LedAPI.h"
#include "skin/win/vpSkinWin.h"
#include "skinform/win/VesperForm.h"
#include "ui/core/utf.h"
#include "ui/win/codepage.h"
#include "app/win/artwork.h"
#include "app/win/setup.h"

BoardSettings Settings;
TForm1* Form1 = nullptr;

namespace {

using formbuild::Make;
using formbuild::MakeLabel;

// Default menu: names and prices of the fifteen entries.
const wchar_t* const kDefaultMenu[31] = {
    nullptr,        L"菜名字○一", L"0.1", L"菜名字○二", L"0.2", L"菜名字○三", L"0.3", L"菜名字○四", L"0.4",
    L"菜名字○五", L"0.5",        L"菜名字○六", L"0.6", L"菜名字○七", L"0.7", L"菜名字○八", L"0.8",
    L"菜名字○九", L"0.9",        L"菜名字一○", L"1.0", L"菜名字一一", L"1.1", L"菜名字一二", L"1.2",
    L"菜名字一三", L"1.3",       L"菜名字一四", L"1.4", L"菜名字一五", L"1.5"};

// The frame's 48 x 48 logo, centred in the client area behind the controls:
// a slate ring on the see-through colour of its bottom-left pixel.
void DrawFrameLogo(TBitmap& bmp) {
  bmp.SetSize(48, 48);
  TCanvas& c = bmp.Canvas();
  c.Brush().SetColor(clWhite);
  c.FillRect(RECT{0, 0, 48, 48});
  c.Pen().SetColor(0x705A48);
  c.Pen().SetWidth(3);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Ellipse(6, 6, 42, 42);
}

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
  Name = L"Form1";
  SetText(L"PlatoraV1.0.090115");
  BorderStyle = TBorderStyle::bsSingle;
  BorderIcons = 0;  // the skinned frame draws the caption buttons
  Position = TPosition::poScreenCenter;
  SetColor(clBtnFace);
  Font().SetName(L"宋体");
  Font().SetHeight(-12);
  Font().SetCharset(GB2312_CHARSET);
  Font().SetColor(clWindowText);
  SetBounds(348, 195, 0, 0);
  SetClientSize(586, 440);
  BuildComponents();
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TForm1::~TForm1() {
  // The skin data lets go of the stored skin before either is freed.
  if (vpSkinData1) vpSkinData1->SetMessageSink(nullptr);
  vpSkinData1.reset();
  vpCompressedStoredSkin1.reset();
}

void TForm1::Loaded() {
  TForm::Loaded();
  // The description is complete: the skin data reads the stored skin and
  // announces it to the forms (the frame paints from it).
  skinSink_ = std::make_unique<vp::TvpWinSkinMessageSink>(Handle());
  vpSkinData1->SetMessageSink(skinSink_.get());
  vpVesperForm1->SetSkinData(vpSkinData1.get());
  GuardedCall([&] { vpSkinData1->SetCompressedStoredSkin(vpCompressedStoredSkin1.get()); });
  // The layout is made for this client size, whatever frame the skin draws.
  SetClientSize(586, 440);
}

TBitBtn* TForm1::ServiceButton(TBitBtn*& ref, const wchar_t* name, int l, int t, const wchar_t* caption, int tab) {
  ref = Make<TBitBtn>(this, this, name, l, t, 75, 25);
  ref->SetText(caption);
  ref->SetTabOrder(tab);
  return ref;
}

void TForm1::BuildComponents() {
  // The board picture in its panel.
  Panel1 = Make<TPanel>(this, this, L"Panel1", 32, 8, 529, 113);
  Panel1->SetTabOrder(21);
  Image1 = Make<TImage>(this, Panel1, L"Image1", 8, 8, 512, 96);
  Image1->Picture().SetSize(512, 96);

  // The menu: three columns of five entries.
  GroupBox1 = Make<TGroupBox>(this, this, L"GroupBox1", 8, 136, 569, 161);
  GroupBox1->SetText(L"菜单");
  GroupBox1->SetTabOrder(0);
  Label4 = MakeLabel(this, GroupBox1, L"Label4", 48, 18, -1, -1, L"菜名 ");
  Label5 = MakeLabel(this, GroupBox1, L"Label5", 140, 17, -1, -1, L"金额 ");
  Label6 = MakeLabel(this, GroupBox1, L"Label6", 332, 17, -1, -1, L"金额 ");
  Label7 = MakeLabel(this, GroupBox1, L"Label7", 240, 18, -1, -1, L"菜名 ");
  Label8 = MakeLabel(this, GroupBox1, L"Label8", 524, 17, -1, -1, L"金额 ");
  Label9 = MakeLabel(this, GroupBox1, L"Label9", 432, 18, -1, -1, L"菜名 ");
  for (int k = 1; k <= 15; ++k) {
    const int column = (k - 1) / 5, row = (k - 1) % 5;
    const int x = 8 + 192 * column, y = 37 + 24 * row;
    const int nameBox = 2 * k - 1, priceBox = 2 * k;
    Edit[nameBox] = Make<TEdit>(this, GroupBox1, (L"Edit" + std::to_wstring(nameBox)).c_str(), x, y, 121, 20);
    Edit[priceBox] =
        Make<TEdit>(this, GroupBox1, (L"Edit" + std::to_wstring(priceBox)).c_str(), x + 128, y, 40, 20);
  }
  for (int n = 1; n <= 30; ++n) {
    Edit[n]->SetTabOrder(n - 1);
    Edit[n]->SetText(kDefaultMenu[n]);
  }

  // Result log.
  Label1 = MakeLabel(this, this, L"Label1", 12, 312, 72, 12, L"命令执行结果");
  Memo1 = Make<TMemo>(this, this, L"Memo1", 10, 328, 231, 105);
  Memo1->ReadOnly = true;
  Memo1->ScrollBars = TMemo::TScrollStyle::ssVertical;
  Memo1->Font().SetName(L"宋体");
  Memo1->Font().SetHeight(-12);
  Memo1->Font().SetCharset(GB2312_CHARSET);
  Memo1->Font().SetColor(clRed);
  Memo1->SetTabOrder(7);

  Image3 = Make<TImage>(this, this, L"Image3", 257, 312, 88, 34);
  Image3->Transparent = true;
  DrawLogo(Image3->Picture());
  Label2 = MakeLabel(this, this, L"Label2", 392, 320, -1, -1, L"");
  Label3 = MakeLabel(this, this, L"Label3", 248, 424, 336, 12, L"Platora 食堂菜牌  ·  本程序仅供内部使用");

  // Visible buttons.
  auto button = [this](TBitBtn*& ref, const wchar_t* name, int l, int t, int w, int h, const wchar_t* caption,
                       int tab, GlyphKind g, int glyph) {
    ref = Make<TBitBtn>(this, this, name, l, t, w, h);
    ref->SetText(caption);
    ref->SetTabOrder(tab);
    DrawGlyph(ref->Glyph(), g, glyph);
  };
  button(BitBtn14, L"BitBtn14", 256, 352, 75, 25, L"系统设置", 1, GlyphKind::Settings, 16);
  button(BitBtn16, L"BitBtn16", 336, 352, 75, 25, L"打开菜谱", 2, GlyphKind::Open, 18);
  button(BitBtn15, L"BitBtn15", 416, 352, 75, 25, L"保存菜谱", 3, GlyphKind::Save, 18);
  button(BitBtn18, L"BitBtn18", 256, 392, 75, 25, L"预览", 4, GlyphKind::Preview, 16);
  button(BitBtn13, L"BitBtn13", 336, 392, 153, 25, L"发送", 5, GlyphKind::Send, 16);
  button(BitBtn17, L"BitBtn17", 496, 352, 75, 65, L"退出", 6, GlyphKind::Exit, 32);
  BitBtn17->Layout = TButtonLayout::blGlyphTop;
  BitBtn14->OnClick = [this](TObject* s) { BitBtn14Click(s); };
  BitBtn16->OnClick = [this](TObject* s) { BitBtn16Click(s); };
  BitBtn15->OnClick = [this](TObject* s) { BitBtn15Click(s); };
  BitBtn18->OnClick = [this](TObject* s) { BitBtn18Click(s); };
  BitBtn13->OnClick = [this](TObject* s) { BitBtn13Click(s); };
  BitBtn17->OnClick = [this](TObject* s) { BitBtn17Click(s); };

  // The name strip and the service buttons lie right of the client area.
  Image2 = Make<TImage>(this, this, L"Image2", 640, 8, 96, 512);
  Image2->Picture().SetSize(96, 512);
  ServiceButton(BitBtn1, L"BitBtn1", 648, 92, L"建立通讯", 8);
  ServiceButton(BitBtn2, L"BitBtn2", 648, 188, L"连接控制卡", 9);
  ServiceButton(BitBtn3, L"BitBtn3", 736, 188, L"电源状态", 10);
  ServiceButton(BitBtn4, L"BitBtn4", 648, 126, L"打开电源", 11);
  ServiceButton(BitBtn5, L"BitBtn5", 648, 222, L"关闭电源", 12);
  ServiceButton(BitBtn6, L"BitBtn6", 736, 222, L"调节亮度", 13);
  ServiceButton(BitBtn7, L"BitBtn7", 648, 154, L"读取亮度", 14);
  ServiceButton(BitBtn8, L"BitBtn8", 650, 336, L"发送图片", 15);
  ServiceButton(BitBtn9, L"BitBtn9", 648, 258, L"校正时钟", 16);
  ServiceButton(BitBtn10, L"BitBtn10", 650, 304, L"发送时钟", 17);
  ServiceButton(BitBtn12, L"BitBtn12", 738, 304, L"发送字符串", 18);
  ServiceButton(BitBtn11, L"BitBtn11", 736, 258, L"关闭通讯", 19);
  Button1 = Make<TButton>(this, this, L"Button1", 648, 376, 75, 25);
  Button1->SetText(L"发送多行文本");
  Button1->SetTabOrder(20);
  const std::pair<TBitBtn*, GlyphKind> glyphs[] = {
      {BitBtn1, GlyphKind::Link},      {BitBtn2, GlyphKind::Query},     {BitBtn3, GlyphKind::Power},
      {BitBtn4, GlyphKind::Power},     {BitBtn5, GlyphKind::PowerOff},  {BitBtn6, GlyphKind::Brightness},
      {BitBtn7, GlyphKind::Brightness}, {BitBtn8, GlyphKind::Picture},  {BitBtn9, GlyphKind::Clock},
      {BitBtn10, GlyphKind::Clock},    {BitBtn11, GlyphKind::Unlink},   {BitBtn12, GlyphKind::Text}};
  for (auto& [b, g] : glyphs) DrawGlyph(b->Glyph(), g, 16);
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
  BitBtn4->OnClick = [this](TObject* s) { BitBtn4Click(s); };
  BitBtn5->OnClick = [this](TObject* s) { BitBtn5Click(s); };
  BitBtn6->OnClick = [this](TObject* s) { BitBtn6Click(s); };
  BitBtn7->OnClick = [this](TObject* s) { BitBtn7Click(s); };
  BitBtn8->OnClick = [this](TObject* s) { BitBtn8Click(s); };
  BitBtn9->OnClick = [this](TObject* s) { BitBtn9Click(s); };
  BitBtn10->OnClick = [this](TObject* s) { BitBtn10Click(s); };
  BitBtn11->OnClick = [this](TObject* s) { BitBtn11Click(s); };
  BitBtn12->OnClick = [this](TObject* s) { BitBtn12Click(s); };
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };

  // Board fonts live in the two font dialogs.
  FontDialog1 = new TFontDialog(this);
  FontDialog1->Name = L"FontDialog1";
  SetDefaultPriceFont(FontDialog1->Font());
  FontDialog2 = new TFontDialog(this);
  FontDialog2->Name = L"FontDialog2";
  SetDefaultNameFont(FontDialog2->Font());
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->Name = L"OpenDialog1";
  OpenDialog1->Filter = L"菜单文件(*.txt)|*.txt";
  OpenDialog1->DefaultExt = L"txt";
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->Name = L"SaveDialog1";
  SaveDialog1->Filter = L"菜单文件(*.txt)|*.txt";
  SaveDialog1->DefaultExt = L"txt";

  // The skinned frame first: it hooks the window before the skin arrives.
  vpVesperForm1 = new vp::TvpVesperForm(this);
  vpVesperForm1->PositionInMonitor = vp::vppScreenCenter;
  DrawFrameLogo(vpVesperForm1->LogoBitMap());
  vpVesperForm1->LogoBitMapTransparent = true;
  vpSkinData1 = std::make_unique<vp::TvpSkinData>();
  vpSkinData1->EnableSkinEffects = true;
  vpCompressedStoredSkin1 = std::make_unique<vp::TvpCompressedStoredSkin>();
  vpCompressedStoredSkin1->SetFileName("skin.ini");
  vp::LoadDefaultSkin(*vpCompressedStoredSkin1);

  // The flat painter comes last: it hooks the controls that exist now.
  XPStyle1 = formbuild::AddXPStyle(this, kAllXPControls & ~XPBit(xcMemo), false);

}

void TForm1::FormCreate(TObject*) {
  // Layout values start at 0 (the two flags are 0 from program start).
  Settings.VerticalOffset = 0;
  Settings.Spacing = 0;
  Settings.PriceOffset = 0;
  // Both pictures black, with a black brush kept for all later drawing.
  BlackenPicture(Image1->Picture(), FontDialog1->Font());
  BlackenPicture(Image2->Picture(), FontDialog2->Font());
  // The built-in screen address.
  Settings.ScreenIp = L"192.168.1.99";
  // The settings file, then the default menu file.
  ReadStartupFiles();
}

namespace {

bool FileExists(const char* bareName) {
  const DWORD a = GetFileAttributesW(plat::Utf8ToWide(bareName).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Each value of the settings file takes effect the moment it is read.
class WindowSettingsSink : public app::SettingsSink {
 public:
  explicit WindowSettingsSink(TForm1& f) : f_(f) {}
  void SetWindowLeft(int32_t v) override { f_.SetLeft(v); }
  void SetWindowTop(int32_t v) override { f_.SetTop(v); }
  void SetScreenIp(const std::string& bytes) override { Settings.ScreenIp = plat::FromFileBytes(bytes); }
  void SetVerticalOffset(int32_t v) override { Settings.VerticalOffset = v; }
  void SetSpacing(int32_t v) override { Settings.Spacing = v; }
  void SetPriceOffset(int32_t v) override { Settings.PriceOffset = v; }
  void SetShowTitle(int32_t v) override { Settings.ShowTitle = v; }
  void SetSaveToCard(int32_t v) override { Settings.SaveToCard = v; }

 private:
  TForm1& f_;
};

}  // namespace

void TForm1::ReadMenuFrom(const std::string& path) {
  app::ReadMenuFile(path, [this](int n, const std::string& bytes) { SetMenuLine(n, plat::FromFileBytes(bytes)); });
}

void TForm1::WriteMenuTo(const std::string& path) {
  app::MenuLines lines;
  for (int n = 1; n <= 30; ++n) lines[static_cast<size_t>(n - 1)] = plat::ToFileBytes(MenuLine(n));
  app::WriteMenuFile(path, lines);
}

void TForm1::ReadStartupFiles() {
  // A bad settings file is reported, and the values read before the bad
  // line stay; the operator's last menu is still read afterwards, so that
  // the close does not overwrite it with the default menu.
  if (FileExists(app::kSettingsFileName)) {
    try {
      WindowSettingsSink sink(*this);
      app::ReadSettingsFile(app::kSettingsFileName, sink);
    } catch (const std::exception& e) {
      Application->HandleException(e);
    }
  }
  if (FileExists(app::kDefaultMenuFileName)) ReadMenuFrom(app::kDefaultMenuFileName);
}

void TForm1::FormShow(TObject*) { BitBtn18Click(BitBtn18); }

void TForm1::FormClose(TObject*, TCloseAction&) {
  // Written at every close, without a question. A failure raises: the close
  // is abandoned and the window stays; the old files stay intact.
  app::SettingsValues v;
  v.windowLeft = Left();
  v.windowTop = Top();
  v.screenIp = plat::ToFileBytes(Settings.ScreenIp);
  v.verticalOffset = Settings.VerticalOffset;
  v.spacing = Settings.Spacing;
  v.priceOffset = Settings.PriceOffset;
  v.showTitle = Settings.ShowTitle;
  v.saveToCard = Settings.SaveToCard;
  app::WriteSettingsFile(app::kSettingsFileName, v);
  WriteMenuTo(app::kDefaultMenuFileName);
}

void TForm1::BitBtn14Click(TObject*) {
  if (Form3) Form3->Show();
}

void TForm1::BitBtn16Click(TObject*) {
  OpenDialog1->InitialDir = ExeFolder();
  if (!OpenDialog1->Execute()) return;
  ReadMenuFrom(plat::WideToUtf8(OpenDialog1->FileName));
}

void TForm1::BitBtn15Click(TObject*) {
  SaveDialog1->InitialDir = ExeFolder();
  if (!SaveDialog1->Execute()) return;
  WriteMenuTo(plat::WideToUtf8(SaveDialog1->FileName));
}

void TForm1::BitBtn17Click(TObject*) { Close(); }

void TForm1::BitBtn18Click(TObject*) {
  // The pictures tell their images of the change once each, also when the
  // title fails after the rest is drawn.
  DrawBoard(Image1->Picture(), Image2->Picture(), FontDialog1->Font(), FontDialog2->Font(), Settings,
            [this](int n) { return MenuLine(n); }, &namesDrawn_);
}

void TForm1::WndProc(TMessage& m) {
  if (m.Msg == WM_LED_NOTIFY) {
    WMLedNotify(m);
    return;
  }
  TForm::WndProc(m);
}
