// The menu painter on a test form: handlers on the items, the measured
// sizes and the drawn pixels of separators, disabled and checked items.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>

#include "xpstyle/win/XPStyle.h"

namespace {

void MakeIcon(TBitmap& b) {
  b.SetSize(16, 16);
  b.Canvas().Brush().SetColor(RGB(128, 128, 0));
  b.Canvas().FillRect(RECT{0, 0, 16, 16});
  b.Canvas().Brush().SetColor(RGB(255, 0, 0));
  b.Canvas().FillRect(RECT{5, 5, 11, 11});
}

class TMenuForm : public TForm {
 public:
  explicit TMenuForm(TComponent* owner) : TForm(owner) {
    SetBounds(60, 60, 0, 0);
    SetClientSize(300, 200);
    MainMenu1 = new TMainMenu(this);
    File = Item(MainMenu1->Items(), L"&File");
    Open = Item(File, L"Open");
    Open->ShortCut = ShortCut('O', scCtrl);
    MakeIcon(Open->Bitmap());
    Line = Item(File, L"-");
    Gone = Item(File, L"Gone");
    Gone->Enabled = false;
    MakeIcon(Gone->Bitmap());
    Radio = Item(File, L"Radio");
    Radio->RadioItem = true;
    Radio->Checked = true;
    Plain = Item(File, L"Plain");
    Plain->Tag = 999;
    SetMenu(MainMenu1);
    Popup1 = new TPopupMenu(this);
    Pop = Item(Popup1->Items(), L"Popped");
    Item(Popup1->Items(), L"-");
    Item(Popup1->Items(), L"Second");
    XPStyle1 = new TXPStyle(this);
    XPStyle1->FlatMenu = true;
  }
  TMenuItem* Item(TMenuItem* parent, const wchar_t* caption) {
    auto* i = new TMenuItem(this);
    i->Caption = caption;
    parent->Add(i);
    return i;
  }
  TMainMenu* MainMenu1;
  TPopupMenu* Popup1;
  TMenuItem *File, *Open, *Line, *Gone, *Radio, *Plain, *Pop;
  TXPStyle* XPStyle1;
};

class XPMenus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TApplication app;
    Application->Initialize();
  }
  void SetUp() override {
    Application->CreateForm(form_);
    f().XPStyle1->SetActive(true);
    f().Show();
    Application->ProcessMessages();
  }
  void TearDown() override { delete form_; }
  TMenuForm& f() { return *form_; }

  SIZE Measure(TMenuItem* item) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(item);
    SendMessageW(f().Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    return SIZE{static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
  }
  // Draws the item as the menu would, into `bmp` at the top-left.
  void Draw(TMenuItem* item, TBitmap& bmp, int height, UINT state = 0) {
    bmp.SetSize(200, height + 6);
    bmp.Canvas().Brush().SetColor(RGB(1, 2, 3));
    bmp.Canvas().FillRect(RECT{0, 0, 200, height + 6});
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemData = reinterpret_cast<ULONG_PTR>(item);
    dis.hDC = bmp.Canvas().Handle();
    dis.rcItem = RECT{0, 0, 200, height};
    dis.itemState = state | (item->Enabled ? 0 : ODS_DISABLED | ODS_GRAYED);
    SendMessageW(f().Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    GdiFlush();
  }
  xp::XPWorkingColors Colors(TBitmap& bmp) { return f().XPStyle1->WorkingColors(bmp.Canvas().Handle()); }
  TMenuForm* form_ = nullptr;
};

TEST_F(XPMenus, ItemsGetTheHandlersExceptTag999AndLoseThemWhenSwitchedOff) {
  EXPECT_TRUE(f().MainMenu1->OwnerDraw());
  EXPECT_TRUE(f().Popup1->OwnerDraw());
  EXPECT_TRUE(f().Open->OnAdvancedDrawItem);
  EXPECT_TRUE(f().File->OnMeasureItem);
  EXPECT_TRUE(f().Pop->OnAdvancedDrawItem);
  EXPECT_FALSE(f().Plain->OnAdvancedDrawItem);
  MENUITEMINFOW mi{sizeof mi, MIIM_FTYPE};
  GetMenuItemInfoW(GetMenu(f().Handle()), 0, TRUE, &mi);
  EXPECT_TRUE(mi.fType & MFT_OWNERDRAW);

  f().XPStyle1->SetActive(false);
  EXPECT_FALSE(f().MainMenu1->OwnerDraw());
  EXPECT_FALSE(f().Open->OnAdvancedDrawItem);
  EXPECT_FALSE(f().Pop->OnMeasureItem);
  GetMenuItemInfoW(GetMenu(f().Handle()), 0, TRUE, &mi);
  EXPECT_FALSE(mi.fType & MFT_OWNERDRAW);
}

TEST_F(XPMenus, MainMenuTagged999KeepsThePlatformLookAndOwnHandlersStay) {
  f().XPStyle1->SetActive(false);
  f().MainMenu1->Tag = 999;
  bool called = false;
  struct Own {
    bool* called;
    void Draw(TObject*, TCanvas&, RECT, TOwnerDrawState) { *called = true; }
  } own{&called};
  f().Pop->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::Of<&Own::Draw>(&own);
  f().XPStyle1->SetActive(true);
  EXPECT_FALSE(f().MainMenu1->OwnerDraw());
  EXPECT_FALSE(f().Open->OnAdvancedDrawItem);
  EXPECT_TRUE(f().Pop->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent::Of<&Own::Draw>(&own));
  f().XPStyle1->OverrideOwnerDraw = true;
  f().XPStyle1->SetActive(false);
  f().XPStyle1->SetActive(true);
  EXPECT_TRUE(f().Pop->OnAdvancedDrawItem ==
              TAdvancedMenuDrawItemEvent::Of<&TXPStyle::MenuDrawItem>(f().XPStyle1));
}

TEST_F(XPMenus, AnItemTagged999IsLeftToThePlatformToDraw) {
  HMENU file = GetSubMenu(GetMenu(f().Handle()), 0);
  auto ownerDrawn = [&](int pos) {
    MENUITEMINFOW mi{sizeof mi, MIIM_FTYPE};
    GetMenuItemInfoW(file, pos, TRUE, &mi);
    return (mi.fType & MFT_OWNERDRAW) != 0;
  };
  EXPECT_TRUE(ownerDrawn(0));   // Open
  EXPECT_FALSE(ownerDrawn(4));  // Plain, tagged 999
}

TEST_F(XPMenus, ItemHeightAddsThreeQuartersOfTheTextHeightWithHalvesToEven) {
  // Text heights whose three quarters end in a half -> item height; 10.5,
  // 16.5 and 22.5 round down to the even 10, 16 and 22.
  const std::map<int, int> halves = {{6, 10}, {10, 18}, {14, 24}, {18, 32}, {22, 38}, {26, 46}, {30, 52}};
  std::set<int> checked;
  f().XPStyle1->UseSystemColors = false;  // or the painter takes the system's menu font
  for (int request = 6; request <= 40; ++request) {
    f().XPStyle1->Font().SetHeight(request);
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().Font().Assign(f().XPStyle1->Font());
    const int text = probe.Canvas().TextHeight(L"Radio");
    const auto it = halves.find(text);
    if (it == halves.end() || checked.count(text)) continue;
    EXPECT_EQ(Measure(f().Radio).cy, it->second) << "text height " << text;
    checked.insert(text);
  }
  EXPECT_TRUE(checked.count(14) || checked.count(22) || checked.count(30)) << "no text height that rounds down";
}

TEST_F(XPMenus, SeparatorIsFourPixelsHighWithOneLine) {
  EXPECT_EQ(Measure(f().Line).cy, 4);
  const SIZE open = Measure(f().Open);
  EXPECT_GE(open.cy, 16 + 6);
  EXPECT_GT(open.cx, 24 + 5);

  TBitmap bmp;
  Draw(f().Line, bmp, 4);
  const auto wc = Colors(bmp);
  plat::Raster r = bmp.Raster();
  for (int x : {40, 100, 190}) {
    int lines = 0;
    for (int y = 0; y < 5; ++y) {
      if (r.Pixel(x, y) == wc.Separator)
        ++lines;
      else
        EXPECT_EQ(r.Pixel(x, y), wc.Face) << x << "," << y;
    }
    EXPECT_EQ(lines, 1) << x;
  }
  EXPECT_EQ(r.Pixel(100, 2), wc.Separator);
  EXPECT_EQ(r.Pixel(5, 2), wc.IconBack);  // the icon column stays
}

TEST_F(XPMenus, DisabledItemInTheDisabledColourWithAGrayedIcon) {
  const int h = Measure(f().Gone).cy;
  TBitmap bmp;
  Draw(f().Gone, bmp, h);
  const auto wc = Colors(bmp);
  plat::Raster r = bmp.Raster();
  int disabled = 0, dark = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 30; x < 120; ++x) {
      disabled += r.Pixel(x, y) == wc.Disabled;
      dark += r.Pixel(x, y) == 0;
    }
  EXPECT_GT(disabled, 5);
  EXPECT_EQ(dark, 0);
  // Icon centred in the 24-pixel column, 3 below the top.
  EXPECT_EQ(r.Pixel(4 + 7, 3 + 7), xp::Lighten(xp::Gray(RGB(255, 0, 0), 10), 40));
  EXPECT_EQ(r.Pixel(4 + 1, 3 + 1), wc.IconBack);
}

TEST_F(XPMenus, CheckedRadioItemShowsAFilledCircle) {
  const int h = Measure(f().Radio).cy;
  TBitmap bmp;
  Draw(f().Radio, bmp, h);
  const auto wc = Colors(bmp);
  plat::Raster r = bmp.Raster();
  const int cy = (h + 1) / 2;
  EXPECT_EQ(r.Pixel(12, cy), wc.CheckedArea);
  EXPECT_EQ(r.Pixel(12, cy - 5), wc.SelectBorder);
  EXPECT_EQ(r.Pixel(7, cy), wc.SelectBorder);
  EXPECT_EQ(r.Pixel(3, cy), wc.IconBack);
  // Selected: the select box and the selected fill of the circle.
  Draw(f().Radio, bmp, h, ODS_SELECTED);
  r = bmp.Raster();
  EXPECT_EQ(r.Pixel(12, cy), wc.CheckedAreaSelect);
  EXPECT_EQ(r.Pixel(150, 1), wc.SelectBorder);
  EXPECT_EQ(r.Pixel(150, 3), wc.Select);
}

TEST_F(XPMenus, SelectedItemGlyphCastsItsShadow) {
  const int h = Measure(f().Open).cy;
  TBitmap bmp;
  Draw(f().Open, bmp, h, ODS_SELECTED);
  const auto wc = Colors(bmp);
  plat::Raster r = bmp.Raster();
  // Glyph one up and left of (4, 3), shadow two right of and below that.
  EXPECT_EQ(r.Pixel(3 + 5, 2 + 5), RGB(255, 0, 0));
  EXPECT_EQ(r.Pixel(3 + 12, 2 + 12), xp::Darken(wc.Select, 50));
}

// A real popup window: the flat border and shadow drawn over it.
COLORREF g_corner = CLR_INVALID, g_border = CLR_INVALID, g_shadow = CLR_INVALID;
bool g_seen = false;
void CALLBACK LookAtPopup(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (popup && IsWindowVisible(popup)) {
    RECT wr;
    GetWindowRect(popup, &wr);
    const gdi::WindowDC dc = gdi::WindowDC::Adopt(popup, GetWindowDC(popup));
    g_border = GetPixel(dc.get(), 5, 0);
    g_shadow = GetPixel(dc.get(), wr.right - wr.left - 1, 10);
    g_corner = GetPixel(dc.get(), wr.right - wr.left - 1, 0);
    g_seen = true;
  }
  EndMenu();
  KillTimer(nullptr, id);
}

TEST_F(XPMenus, FlatPopupGetsAOneLineBorderAndAShadow) {
  SetTimer(nullptr, 0, 300, LookAtPopup);
  f().Popup1->Popup(100, 100);
  if (!g_seen) GTEST_SKIP() << "no popup window to look at";
  const auto wc = f().XPStyle1->WorkingColors(gdi::WindowDC().get());
  EXPECT_EQ(g_border, wc.MenuBorder);
  EXPECT_EQ(g_shadow, wc.MenuShadow);
  EXPECT_EQ(g_corner, GetSysColor(COLOR_BTNFACE));
}

}  // namespace
