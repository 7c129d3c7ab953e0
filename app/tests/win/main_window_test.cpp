// The main window built for real under the platform: its layout and the
// board picture that the preview draws.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <stdexcept>

#include "app/win/Unit2.h"
#include "app/win/setup.h"
#include "screenlink/LedAPI.h"
#include "skin/core/vpSkinData.h"
#include "ui/core/bmp.h"
#include "ui/core/utf.h"
#include "ui/win/handles.h"
#include "ui/win/windowhook.h"
#include "xpstyle/win/XPStyle.h"

namespace {

std::vector<std::wstring> g_errors;

class MainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TApplication app;
    Application->Initialize();
    Application->Title = L"Platora";
    Application->OnException = [](const std::wstring& m) { g_errors.push_back(m); };
    dir_ = std::filesystem::temp_directory_path() / "platora_main_window_test";
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    std::filesystem::remove(dir_ / "messbay.ini");
    std::filesystem::remove(dir_ / "default.lst");
    Application->CreateForm(Form1);
  }
  void SetUp() override {
    g_errors.clear();
    Settings.VerticalOffset = Settings.Spacing = Settings.PriceOffset = 0;
    Settings.ShowTitle = Settings.SaveToCard = 0;
    std::filesystem::remove(dir_ / "title.bmp");
  }
  void SetMenu(const std::wstring& fill) {
    for (int n = 1; n <= 30; ++n) Form1->SetMenuLine(n, fill);
  }
  // A copy of the board: the picture's own raster is a view of its memory,
  // which the next preview overwrites.
  plat::Raster Board() {
    Form1->BitBtn18Click(Form1->BitBtn18);
    const plat::Raster view = Form1->Image1->Picture().Raster();
    return plat::Raster(view);
  }
  static bool Lit(const plat::Raster& r, int x, int y) { return r.Pixel(x, y) != 0; }
  // Bounding box of non-black pixels inside `area`, or a null rect.
  static plat::Rect Ink(const plat::Raster& r, plat::Rect area) {
    plat::Rect box{10000, 10000, -1, -1};
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x)
        if (Lit(r, x, y)) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box;
  }
  static std::filesystem::path dir_;
};
std::filesystem::path MainWindow::dir_;

TEST_F(MainWindow, EveryComponentSitsWhereTheLayoutPutsIt) {
  struct Expect {
    TWinControl* c;
    int l, t, w, h;
    const wchar_t* caption;
    int tab;
  };
  TForm1& f = *Form1;
  const Expect all[] = {
      {f.Panel1, 32, 8, 529, 113, nullptr, 21},      {f.Image1, 8, 8, 512, 96, nullptr, -2},
      {f.GroupBox1, 8, 136, 569, 161, L"菜单", 0},   {f.Label1, 12, 312, 72, 12, L"命令执行结果", -2},
      {f.Memo1, 10, 328, 231, 105, nullptr, 7},     {f.Image3, 257, 312, 88, 34, nullptr, -2},
      {f.BitBtn14, 256, 352, 75, 25, L"系统设置", 1}, {f.BitBtn16, 336, 352, 75, 25, L"打开菜谱", 2},
      {f.BitBtn15, 416, 352, 75, 25, L"保存菜谱", 3}, {f.BitBtn18, 256, 392, 75, 25, L"预览", 4},
      {f.BitBtn13, 336, 392, 153, 25, L"发送", 5},   {f.BitBtn17, 496, 352, 75, 65, L"退出", 6},
      {f.Image2, 640, 8, 96, 512, nullptr, -2},      {f.BitBtn1, 648, 92, 75, 25, L"建立通讯", 8},
      {f.BitBtn2, 648, 188, 75, 25, L"连接控制卡", 9}, {f.BitBtn3, 736, 188, 75, 25, L"电源状态", 10},
      {f.BitBtn4, 648, 126, 75, 25, L"打开电源", 11}, {f.BitBtn5, 648, 222, 75, 25, L"关闭电源", 12},
      {f.BitBtn6, 736, 222, 75, 25, L"调节亮度", 13}, {f.BitBtn7, 648, 154, 75, 25, L"读取亮度", 14},
      {f.BitBtn8, 650, 336, 75, 25, L"发送图片", 15}, {f.BitBtn9, 648, 258, 75, 25, L"校正时钟", 16},
      {f.BitBtn10, 650, 304, 75, 25, L"发送时钟", 17}, {f.BitBtn12, 738, 304, 75, 25, L"发送字符串", 18},
      {f.BitBtn11, 736, 258, 75, 25, L"关闭通讯", 19}, {f.Button1, 648, 376, 75, 25, L"发送多行文本", 20},
      {f.Label3, 248, 424, 336, 12, nullptr, -2},
  };
  for (const Expect& e : all) {
    SCOPED_TRACE(e.c->Name);
    EXPECT_EQ(e.c->Left(), e.l);
    EXPECT_EQ(e.c->Top(), e.t);
    EXPECT_EQ(e.c->Width(), e.w);
    EXPECT_EQ(e.c->Height(), e.h);
    if (e.caption) EXPECT_EQ(e.c->Text(), e.caption);
    if (e.tab != -2) EXPECT_EQ(e.c->TabOrder(), e.tab);
  }
  for (int k = 1; k <= 15; ++k) {
    const int col = (k - 1) / 5, row = (k - 1) % 5;
    TEdit* name = f.Edit[2 * k - 1];
    TEdit* price = f.Edit[2 * k];
    EXPECT_EQ(name->Parent(), f.GroupBox1);
    EXPECT_EQ(name->Left(), 8 + 192 * col);
    EXPECT_EQ(name->Top(), 37 + 24 * row);
    EXPECT_EQ(name->Width(), 121);
    EXPECT_EQ(price->Left(), 136 + 192 * col);
    EXPECT_EQ(price->Width(), 40);
    EXPECT_EQ(price->Height(), 20);
    EXPECT_EQ(name->TabOrder(), 2 * k - 2);
    EXPECT_EQ(price->TabOrder(), 2 * k - 1);
  }
  EXPECT_EQ(f.Text(), L"PlatoraV1.0.090115");
  EXPECT_EQ(f.ClientWidth(), 586);
  EXPECT_EQ(f.ClientHeight(), 440);
  EXPECT_EQ(f.Font().Name(), L"宋体");
  EXPECT_EQ(f.Font().Height(), -12);
  EXPECT_EQ(f.Memo1->Font().Color(), clRed);
  EXPECT_EQ(f.FontDialog2->Font().Name(), L"@宋体");
  EXPECT_EQ(f.FontDialog2->Font().Height(), -16);
  EXPECT_EQ(f.FontDialog1->Font().Name(), L"Arial");
  EXPECT_EQ(f.FontDialog1->Font().Height(), -11);
}

TEST_F(MainWindow, DefaultsBeforeAnyFile) {
  EXPECT_EQ(Settings.ScreenIp, L"192.168.1.99");
  EXPECT_EQ(Form1->MenuLine(1), L"菜名字○一");
  EXPECT_EQ(Form1->MenuLine(30), L"1.5");
}

TEST_F(MainWindow, EachNameStaysInItsOwnSixteenColumns) {
  for (int k : {1, 2, 8, 15}) {
    SCOPED_TRACE(k);
    SetMenu(L"");
    Form1->SetMenuLine(2 * k - 1, L"菜名字○一汤");
    const plat::Raster board = Board();
    const plat::Rect ink = Ink(board, {0, 0, 512, 96});
    ASSERT_FALSE(ink.IsNull());
    EXPECT_GE(ink.Left, 16 * k - 15);
    EXPECT_LE(ink.Right, 16 * k + 1);
    EXPECT_GE(ink.Right - ink.Left, 10);  // a real column of characters
    EXPECT_LE(ink.Bottom, 81);            // the price band cut the sixth character
    EXPECT_GE(ink.Bottom, 75);
    EXPECT_LE(ink.Top, 3);
  }
}

TEST_F(MainWindow, DefaultMenuLeavesTheRightAndColumnZeroBlack) {
  // The window starts with this menu; earlier cases of the suite change it.
  for (int k = 1; k <= 15; ++k) {
    Form1->SetMenuLine(2 * k - 1, L"菜名字○" + std::to_wstring(k % 10));
    Form1->SetMenuLine(2 * k, std::to_wstring(k / 10) + L"." + std::to_wstring(k % 10));
  }
  const plat::Raster board = Board();
  for (int y = 0; y < 96; ++y) {
    if (y < 81) EXPECT_FALSE(Lit(board, 0, y)) << y;  // price 1 starts at x = 0
    for (int x = 241; x < 512; ++x) ASSERT_FALSE(Lit(board, x, y)) << x << "," << y;
  }
  for (int k = 1; k <= 15; ++k) EXPECT_FALSE(Ink(board, {16 * k - 15, 0, 16 * k + 1, 81}).IsNull()) << k;
}

TEST_F(MainWindow, PricesStartAtTheirColumnInTheFootBand) {
  SetMenu(L"");
  for (int k : {1, 7, 15}) Form1->SetMenuLine(2 * k, L"8");
  const plat::Raster board = Board();
  for (int k : {1, 7, 15}) {
    const plat::Rect ink = Ink(board, {16 * (k - 1), 81, 16 * (k - 1) + 16, 96});
    ASSERT_FALSE(ink.IsNull()) << k;
    EXPECT_LE(ink.Left - 16 * (k - 1), 2) << k;
    EXPECT_GE(ink.Top, 82) << k;
  }
  EXPECT_TRUE(Ink(board, {0, 0, 512, 81}).IsNull());
}

TEST_F(MainWindow, OffsetsMoveNamesColumnsAndPrices) {
  SetMenu(L"");
  Form1->SetMenuLine(3, L"一二");  // name 2
  Form1->SetMenuLine(4, L"8");     // price 2
  const plat::Raster base = Board();
  const plat::Rect name0 = Ink(base, {0, 0, 512, 81}), price0 = Ink(base, {0, 81, 512, 96});

  Settings.VerticalOffset = 6;
  Settings.Spacing = 16;
  Settings.PriceOffset = 5;
  const plat::Raster moved = Board();
  const plat::Rect name1 = Ink(moved, {0, 0, 512, 81}), price1 = Ink(moved, {0, 81, 512, 96});
  // Name 2 now ends at column 2 * (s - H) = 64; rows move down by v.
  EXPECT_EQ(name1.Left - name0.Left, 32);
  EXPECT_EQ(name1.Top - name0.Top, 6);
  // Price 2 at (s - H) + p = 37, y = v + 82.
  EXPECT_EQ(price1.Left - price0.Left, 16 + 5);
  EXPECT_EQ(price1.Top - price0.Top, 6);
}

TEST_F(MainWindow, ALaterNameCoversTheEarlierOneWhereTheirColumnsOverlap) {
  // Spacing -8 puts the names 8 columns apart: name 2 in columns 1-16,
  // name 3 in 9-24. Name 3 is drawn later on its black cell.
  Settings.Spacing = -8;
  auto render = [&](bool two, bool three) {
    SetMenu(L"");
    if (two) Form1->SetMenuLine(3, L"田田田");
    if (three) Form1->SetMenuLine(5, L"田田田");
    return Board();
  };
  const plat::Raster both = render(true, true), onlyTwo = render(true, false), onlyThree = render(false, true);
  ASSERT_FALSE(Ink(onlyTwo, {9, 0, 17, 81}).IsNull());  // name 2 alone does reach into 9-16
  for (int y = 0; y < 81; ++y) {
    for (int x = 1; x < 9; ++x) ASSERT_EQ(both.Pixel(x, y), onlyTwo.Pixel(x, y)) << x << "," << y;
    for (int x = 9; x < 25; ++x) ASSERT_EQ(both.Pixel(x, y), onlyThree.Pixel(x, y)) << x << "," << y;
  }
}

TEST_F(MainWindow, OffsetsCanMoveNamesAndPricesOffTheBoard) {
  SetMenu(L"田田");
  Settings.VerticalOffset = 96;  // names start below the board, prices at 178
  EXPECT_TRUE(Ink(Board(), {0, 0, 512, 96}).IsNull());
  Settings.VerticalOffset = 4;
  const int top = Ink(Board(), {0, 0, 512, 81}).Top;
  Settings.VerticalOffset = 14;  // prices at 96: gone; names 10 rows lower
  plat::Raster board = Board();
  EXPECT_TRUE(Ink(board, {0, 81, 512, 96}).IsNull());
  EXPECT_EQ(Ink(board, {0, 0, 512, 81}).Top, top + 10);
  Settings.VerticalOffset = 10;  // prices at 92: cut at the board's foot
  board = Board();
  const plat::Rect prices = Ink(board, {0, 81, 512, 96});
  ASSERT_FALSE(prices.IsNull());
  EXPECT_GE(prices.Top, 92);
  EXPECT_EQ(prices.Bottom, 96);
}

TEST_F(MainWindow, WideSpacingEndsNameFifteenJustLeftOfTheTitleArea) {
  SetMenu(L"田田");
  Settings.Spacing = 16;  // s - H = 32
  const plat::Raster board = Board();
  const plat::Rect last = Ink(board, {449, 0, 512, 81});
  ASSERT_FALSE(last.IsNull());
  EXPECT_GE(last.Left, 449);
  EXPECT_LE(last.Right, 481);  // name 15 ends at column 480
  EXPECT_TRUE(Ink(board, {481, 0, 512, 96}).IsNull());
}

TEST_F(MainWindow, PricesAreInThePriceFontsColourAsTyped) {
  SetMenu(L"");
  Form1->SetMenuLine(2, L"ab");  // not a number: drawn as typed
  Form1->SetMenuLine(4, L"-");
  const plat::Raster board = Board();
  bool red = false;
  for (int y = 81; y < 96; ++y)
    for (int x = 0; x < 64; ++x) {
      const plat::Color c = board.Pixel(x, y);
      ASSERT_EQ(c & 0xFFFF00u, 0u) << x << "," << y;  // only red in the foot band
      red |= c == plat::RGBColor(255, 0, 0);
    }
  EXPECT_TRUE(red);
  EXPECT_FALSE(Ink(board, {0, 81, 16, 96}).IsNull());
  EXPECT_FALSE(Ink(board, {16, 81, 32, 96}).IsNull());
}

TEST_F(MainWindow, TheSamePreviewTwiceGivesTheSamePicture) {
  const plat::Raster a = Board();
  const plat::Raster b = Board();
  EXPECT_TRUE(a.SamePixels(b));
}

// The board drawn from nothing, without the names the window keeps from its
// last preview.
plat::Raster FreshBoard() {
  TBitmap board, strip;
  board.SetSize(512, 96);
  strip.SetSize(96, 512);
  BlackenPicture(board, Form1->FontDialog1->Font());
  BlackenPicture(strip, Form1->FontDialog2->Font());
  DrawBoard(board, strip, Form1->FontDialog1->Font(), Form1->FontDialog2->Font(), Settings,
            [](int n) { return Form1->MenuLine(n); });
  const plat::Raster view = board.Raster();
  return plat::Raster(view);  // a copy: the view dies with the bitmap
}

// The preview puts back the names it drew last time when nothing they depend
// on changed; whatever did change, and whatever drew on the strip meanwhile,
// its board is the one a fresh drawing gives.
TEST_F(MainWindow, KeptNamesGiveTheBoardAFreshDrawingGives) {
  TFont& names = Form1->FontDialog2->Font();
  const std::wstring face = names.Name();
  const int height = names.Height();
  SetMenu(L"田一");
  const std::vector<std::pair<const char*, std::function<void()>>> steps = {
      {"first", [] {}},
      {"again", [] {}},
      {"one name", [] { Form1->SetMenuLine(7, L"红烧"); }},
      {"a name moved to the next entry", [] {
         Form1->SetMenuLine(7, L"");
         Form1->SetMenuLine(9, L"红烧");
       }},
      {"a price only", [] { Form1->SetMenuLine(8, L"12"); }},
      {"height", [&] { names.SetHeight(height - 2); }},
      {"colour", [&] { names.SetColor(clLime); }},
      {"upright face", [&] { names.SetName(face.substr(1)); }},
      {"sideways again", [&] { names.SetName(face); }},
      {"vertical offset", [] { Settings.VerticalOffset = 5; }},
      {"spacing", [] { Settings.Spacing = -3; }},
      {"scribbled strip", [] {
         Form1->Image2->Picture().Canvas().Brush().SetColor(clWhite);
         Form1->Image2->Picture().Canvas().FillRect(RECT{0, 0, 96, 512});
         Form1->Image2->Picture().Canvas().Brush().SetColor(clBlack);
       }},
      {"back as before", [&] {
         names.SetHeight(height);
         names.SetColor(clRed);
         Settings.VerticalOffset = Settings.Spacing = 0;
       }},
  };
  for (const auto& [what, change] : steps) {
    change();
    const plat::Raster shown = Board();
    EXPECT_TRUE(shown.SamePixels(FreshBoard())) << what;
  }
  SetDefaultNameFont(names);
}

// However many drawing calls it takes, a preview repaints the board once.
TEST_F(MainWindow, APreviewRepaintsTheBoardOnce) {
  struct PaintCount : TWindowHook {
    int paints = 0;
    void HookWndProc(TMessage& m) override {
      if (m.Msg == WM_PAINT) ++paints;
      CallPrevious(m);
    }
  } board;
  Form1->Show();
  Application->ProcessMessages();
  board.Hook(Form1->Image1);
  for (int round = 1; round <= 3; ++round) {
    Form1->BitBtn18Click(Form1->BitBtn18);
    Application->ProcessMessages();
    EXPECT_EQ(board.paints, round);
  }
  board.Unhook();
  Form1->Hide();
}

TEST_F(MainWindow, TitleIsSqueezedIntoTheLastThirtyOneColumns) {
  plat::Raster title(32, 96);
  for (int x = 0; x < 32; ++x)
    for (int y = 0; y < 96; ++y) title.SetPixel(x, y, plat::RGBColor(8 * x + 4, 255 - 8 * x, 0x80));
  plat::SaveBmpFile((dir_ / "title.bmp").string(), title);
  Settings.ShowTitle = 1;
  const plat::Raster board = Board();
  EXPECT_TRUE(g_errors.empty());
  EXPECT_EQ(board.Pixel(481, 0), title.Pixel(0, 0));
  EXPECT_EQ(board.Pixel(511, 95), title.Pixel(31, 95));
  int distinct = 0;
  for (int x = 481; x < 512; ++x) {
    for (int y = 1; y < 96; ++y) ASSERT_EQ(board.Pixel(x, y), board.Pixel(x, 0));
    if (x > 481 && board.Pixel(x, 0) != board.Pixel(x - 1, 0)) ++distinct;
  }
  EXPECT_EQ(distinct, 30);  // 31 columns, each a different picture column
  EXPECT_FALSE(Lit(board, 480, 40));
}

TEST_F(MainWindow, ARunLengthCodedTitleIsDrawn) {
  // An 8-bit title as image tools save it by default: each row a run of
  // 16 pixels of yellow, then 16 of blue, then the end of the line.
  std::vector<uint8_t> f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 40 + 8, 0, 0, 0, 40, 0, 0, 0, 32, 0, 0, 0, 96, 0,
                            0, 0, 1, 0, 8, 0, 1, 0, 0, 0};
  f.resize(14 + 40, 0);
  f[46] = 2;                                      // two colours
  for (uint8_t b : {0, 255, 255, 0, 255, 0, 0, 0}) f.push_back(b);  // yellow, blue (B, G, R, 0)
  for (int row = 0; row < 96; ++row)
    for (uint8_t b : {16, 0, 16, 1, 0, 0}) f.push_back(b);
  f.push_back(0);
  f.push_back(1);
  std::ofstream(dir_ / "title.bmp", std::ios::binary).write(reinterpret_cast<const char*>(f.data()), f.size());
  Settings.ShowTitle = 1;
  const plat::Raster board = Board();
  EXPECT_TRUE(g_errors.empty()) << (g_errors.empty() ? "" : plat::WideToUtf8(g_errors[0]));
  EXPECT_EQ(board.Pixel(481, 0), plat::RGBColor(255, 255, 0));
  EXPECT_EQ(board.Pixel(488, 95), plat::RGBColor(255, 255, 0));
  EXPECT_EQ(board.Pixel(511, 50), plat::RGBColor(0, 0, 255));
}

TEST_F(MainWindow, MissingTitleReportsTheFileAndLeavesItsColumnsBlack) {
  Settings.ShowTitle = 1;
  // Runs as a click does: the failure reaches the error box.
  SendMessageW(Form1->BitBtn18->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(g_errors.size(), 1u);
  EXPECT_EQ(g_errors[0].rfind(L"Cannot open file \"title.bmp\".", 0), 0u) << g_errors[0];
  plat::Raster board(Form1->Image1->Picture().Raster());
  EXPECT_TRUE(Ink(board, {481, 0, 512, 96}).IsNull());
  EXPECT_FALSE(Ink(board, {1, 0, 241, 96}).IsNull());  // the rest is complete
}

TEST_F(MainWindow, ATitleThatIsNotABitmapIsReported) {
  std::ofstream(dir_ / "title.bmp") << "not a picture";
  Settings.ShowTitle = 1;
  SendMessageW(Form1->BitBtn18->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(g_errors.size(), 1u);
  EXPECT_EQ(g_errors[0], L"Bitmap image is not valid");
}

}  // namespace

namespace {

TEST_F(MainWindow, TheResultLogKeepsLoggingThroughALongDay) {
  // A busy day of reports is far beyond the platform's default edit limit;
  // every line must still arrive whole, in order, through the real handler.
  TLedNotify n{};
  n.Kind = led::kKindAnswer;
  n.Command = led::kCmdGetBrightness;
  for (int i = 1; i <= 10000; ++i) {
    n.Value = i;
    SendMessageW(Form1->Handle(), WM_LED_NOTIFY, reinterpret_cast<WPARAM>(&n), 0);
  }
  const std::wstring log = Form1->Memo1->Text();
  EXPECT_GT(log.size(), 120000u);
  const std::wstring tail = L"\r\n显示屏亮度为:10000\r\n";
  ASSERT_GE(log.size(), tail.size());
  EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
  EXPECT_NE(log.find(L"\r\n显示屏亮度为:5000\r\n显示屏亮度为:5001\r\n"), std::wstring::npos);
}

TEST_F(MainWindow, TheEmbeddedDefaultSkinIsLoadedAtStart) {
  ASSERT_TRUE(Form1->vpSkinData1);
  const vp::TvpSkinData& skin = *Form1->vpSkinData1;
  EXPECT_FALSE(skin.SkinEmpty);
  EXPECT_EQ(skin.ObjectDefs.size(), 12u);
  EXPECT_EQ(skin.ControlDefs.size(), 59u);
  EXPECT_EQ(skin.FramePicture.Width, 146);
  EXPECT_EQ(skin.FramePicture.Height, 82);
  EXPECT_EQ(skin.ActivePictureList.size(), 11u);
  EXPECT_EQ(skin.BorderWidth, 3);
  EXPECT_EQ(Form1->vpCompressedStoredSkin1->FileName(), "skin.ini");
}

}  // namespace

namespace {

// A form with an XP-style popup menu, for painting its items.
class TMenuForm : public TForm {
 public:
  explicit TMenuForm(TComponent* owner) : TForm(owner) {
    Popup1 = new TPopupMenu(this);
    for (const wchar_t* caption : {L"打开菜谱", L"-", L"保存菜谱"}) {
      auto* i = new TMenuItem(this);
      i->Caption = caption;
      Popup1->Items()->Add(i);
    }
    Popup1->Items()->Items(0)->Bitmap().SetSize(16, 16);
    XPStyle1 = new TXPStyle(this);
    XPStyle1->FlatMenu = true;
  }
  TPopupMenu* Popup1;
  TXPStyle* XPStyle1;
};

// GDI objects held by the process, where the platform counts them (Wine
// answers 0).
DWORD GdiObjectsHeld() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

long LiveHandles() { return gdi::LiveTotal(); }

TEST_F(MainWindow, PreviewsDialogShowsAndMenuPaintsGiveBackTheirHandles) {
  if (!Form3) Application->CreateForm(Form3);
  auto* menuForm = new TMenuForm(Application);
  menuForm->XPStyle1->SetActive(true);
  TBitmap target;
  target.SetSize(200, 24);
  auto paintMenu = [&] {
    for (int k = 0; k < menuForm->Popup1->Items()->Count(); ++k) {
      TMenuItem* item = menuForm->Popup1->Items()->Items(k);
      MEASUREITEMSTRUCT mis{};
      mis.CtlType = ODT_MENU;
      mis.itemData = reinterpret_cast<ULONG_PTR>(item);
      SendMessageW(menuForm->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
      DRAWITEMSTRUCT dis{};
      dis.CtlType = ODT_MENU;
      dis.itemData = reinterpret_cast<ULONG_PTR>(item);
      dis.hDC = target.Canvas().Handle();
      dis.rcItem = RECT{0, 0, 200, static_cast<LONG>(mis.itemHeight)};
      dis.itemState = k == 0 ? ODS_SELECTED : 0;
      SendMessageW(menuForm->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    }
  };
  auto showDialog = [] {
    Form3->Show();
    Application->ProcessMessages();
    Form3->Close();
    Application->ProcessMessages();
  };
  // One round first: fonts and brushes made once for the run come into being.
  Board();
  showDialog();
  paintMenu();
  const long live = LiveHandles();
  const DWORD held = GdiObjectsHeld();

  for (int i = 0; i < 200; ++i) Board();
  EXPECT_EQ(LiveHandles(), live) << "after 200 previews";
  for (int i = 0; i < 200; ++i) showDialog();
  EXPECT_EQ(LiveHandles(), live) << "after 200 dialog shows";
  for (int i = 0; i < 200; ++i) paintMenu();
  EXPECT_EQ(LiveHandles(), live) << "after 200 menu paints";
  EXPECT_TRUE(g_errors.empty());
  if (held != 0) {
    // The system may cache a few objects of its own; one lost per round
    // would be hundreds.
    EXPECT_LE(GdiObjectsHeld(), held + 10);
  }
  delete menuForm;
}

TEST_F(MainWindow, AMeasureHandlerThatThrowsGivesTheScreenDCBack) {
  auto* menuForm = new TMenuForm(Application);
  TMenuItem* item = menuForm->Popup1->Items()->Items(0);
  item->OnMeasureItem = TMenuMeasureItemEvent{
      nullptr, [](void*, TObject*, TCanvas&, int&, int&) { throw std::runtime_error("measure failed"); }};
  const long windowDCs = gdi::Live(gdi::Kind::WindowDC);
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemData = reinterpret_cast<ULONG_PTR>(item);
  SendMessageW(menuForm->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  ASSERT_EQ(g_errors.size(), 1u);
  EXPECT_EQ(g_errors[0], L"measure failed");
  EXPECT_EQ(gdi::Live(gdi::Kind::WindowDC), windowDCs);
  delete menuForm;
}

}  // namespace
