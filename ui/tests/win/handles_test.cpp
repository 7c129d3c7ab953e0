// The owners of Win32 handles: nothing that holds a handle can be copied (a
// copy would delete the handle twice), every owner gives its handle back on
// every path, and the live counts follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <stdexcept>
#include <type_traits>

#include "ui/win/controls.h"
#include "ui/win/handles.h"

namespace {

template <class T>
constexpr bool kNotCopyable = !std::is_copy_constructible_v<T> && !std::is_copy_assignable_v<T>;
template <class T>
constexpr bool kMovesOnly = kNotCopyable<T> && std::is_nothrow_move_constructible_v<T> &&
                            std::is_nothrow_move_assignable_v<T>;

static_assert(kMovesOnly<gdi::Pen> && kMovesOnly<gdi::Brush> && kMovesOnly<gdi::Font>);
static_assert(kMovesOnly<gdi::Bitmap> && kMovesOnly<gdi::Region> && kMovesOnly<gdi::Palette>);
static_assert(kMovesOnly<gdi::WindowDC> && kMovesOnly<gdi::MemoryDC>);
static_assert(kNotCopyable<gdi::Selected> && kNotCopyable<gdi::SavedState>);
static_assert(kNotCopyable<gdi::ScopeExit<void (*)()>>);
static_assert(kNotCopyable<TFont> && kNotCopyable<TPen> && kNotCopyable<TBrush>);
static_assert(kNotCopyable<TCanvas> && kNotCopyable<TBitmap>);
static_assert(kNotCopyable<TWinControl> && kNotCopyable<TForm>);

// Counts of every kind, to compare before and after a piece of work.
struct Counts {
  long n[static_cast<int>(gdi::Kind::Count)];
  Counts() {
    for (int k = 0; k < static_cast<int>(gdi::Kind::Count); ++k) n[k] = gdi::Live(static_cast<gdi::Kind>(k));
  }
  long operator[](gdi::Kind k) const { return n[static_cast<int>(k)]; }
  bool operator==(const Counts& o) const { return std::equal(std::begin(n), std::end(n), std::begin(o.n)); }
};

TEST(Handles, OwnersCountWhatTheyHoldThroughMovesResetsAndRelease) {
  const Counts start;
  {
    gdi::Pen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    ASSERT_TRUE(pen);
    EXPECT_EQ(gdi::Live(gdi::Kind::Pen), start[gdi::Kind::Pen] + 1);
    gdi::Pen moved(std::move(pen));
    EXPECT_FALSE(pen);
    EXPECT_EQ(gdi::Live(gdi::Kind::Pen), start[gdi::Kind::Pen] + 1);
    moved = gdi::Pen(CreatePen(PS_DOT, 1, RGB(4, 5, 6)));  // the first pen goes
    EXPECT_EQ(gdi::Live(gdi::Kind::Pen), start[gdi::Kind::Pen] + 1);

    gdi::Brush brush(CreateSolidBrush(RGB(7, 8, 9)));
    gdi::Font font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    gdi::Region region(CreateRectRgn(0, 0, 4, 4));
    EXPECT_EQ(gdi::Live(gdi::Kind::Brush), start[gdi::Kind::Brush] + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::Font), start[gdi::Kind::Font] + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::Region), start[gdi::Kind::Region] + 1);
    const Counts now;
    EXPECT_EQ(gdi::LiveTotal(), std::accumulate(std::begin(now.n), std::end(now.n), 0L));

    // A region handed to a taker (as SetWindowRgn takes it) leaves the count.
    HRGN given = region.release();
    EXPECT_FALSE(region);
    EXPECT_EQ(gdi::Live(gdi::Kind::Region), start[gdi::Kind::Region]);
    gdi::Region back(given);  // the test is the taker here

    gdi::WindowDC screen;
    gdi::MemoryDC memory(screen.get());
    ASSERT_TRUE(screen);
    ASSERT_TRUE(memory);
    EXPECT_EQ(gdi::Live(gdi::Kind::WindowDC), start[gdi::Kind::WindowDC] + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::MemoryDC), start[gdi::Kind::MemoryDC] + 1);
    gdi::MemoryDC other = std::move(memory);
    EXPECT_EQ(gdi::Live(gdi::Kind::MemoryDC), start[gdi::Kind::MemoryDC] + 1);
  }
  EXPECT_TRUE(Counts() == start);
}

TEST(Handles, ARegionAWindowRefusesStaysWithItsOwner) {
  const long start = gdi::Live(gdi::Kind::Region);
  HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(gone);
  DestroyWindow(gone);  // SetWindowRgn on it fails
  {
    gdi::Region region(CreateRectRgn(0, 0, 10, 10));
    const HRGN h = region.get();
    EXPECT_FALSE(gdi::GiveRegionToWindow(gone, region, TRUE));
    EXPECT_EQ(region.get(), h) << "a refused region stays with its owner, which deletes it";
    EXPECT_EQ(gdi::Live(gdi::Kind::Region), start + 1);
  }
  EXPECT_EQ(gdi::Live(gdi::Kind::Region), start);

  // A window that takes it owns it from then on.
  HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  gdi::Region region(CreateRectRgn(0, 0, 10, 10));
  EXPECT_TRUE(gdi::GiveRegionToWindow(w, region, FALSE));
  EXPECT_FALSE(region);
  EXPECT_EQ(gdi::Live(gdi::Kind::Region), start);
  gdi::Region back(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(w, back.get()), SIMPLEREGION);
  DestroyWindow(w);
}

TEST(Handles, SelectionsAndSavedStatesPutTheDCBack) {
  const gdi::MemoryDC dc(nullptr);
  const HGDIOBJ ownPen = GetCurrentObject(dc.get(), OBJ_PEN);
  const HGDIOBJ ownFont = GetCurrentObject(dc.get(), OBJ_FONT);
  const gdi::Pen pen(CreatePen(PS_SOLID, 2, RGB(255, 0, 0)));
  {
    const gdi::Selected selected(dc.get(), pen);
    EXPECT_TRUE(selected.ok());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), ownPen);

  // A null object selects nothing and restores nothing.
  EXPECT_FALSE(gdi::Selected(dc.get(), nullptr).ok());
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), ownPen);

  const gdi::Font font(CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
  try {
    const gdi::SavedState saved(dc.get());
    SelectObject(dc.get(), font.get());
    SetBkMode(dc.get(), TRANSPARENT);
    throw std::runtime_error("a drawing step fails");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), ownFont);
  EXPECT_EQ(GetBkMode(dc.get()), OPAQUE);
}

TEST(Handles, ScopeExitRunsOnThrowAndNotWhenDismissed) {
  int runs = 0;
  try {
    gdi::ScopeExit guard([&] { ++runs; });
    throw std::runtime_error("leave early");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(runs, 1);
  {
    gdi::ScopeExit guard([&] { ++runs; });
    guard.dismiss();
  }
  EXPECT_EQ(runs, 1);
}

TEST(Handles, GraphicsObjectsKeepOneHandleEachWhateverTheyGoThrough) {
  const Counts start;
  {
    TBitmap bmp;
    for (int i = 0; i < 20; ++i) {
      bmp.SetSize(10 + i, 8);
      TCanvas& c = bmp.Canvas();
      c.Pen().SetColor(RGB(i, 0, 0));
      c.Brush().SetColor(RGB(0, i, 0));
      c.Font().SetHeight(-10 - i);
      c.Rectangle(0, 0, 5, 5);
      c.TextOut(0, 0, L"x");
    }
    // One section, one memory DC, and the canvas's pen, brush and font.
    EXPECT_EQ(gdi::Live(gdi::Kind::Bitmap), start[gdi::Kind::Bitmap] + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::MemoryDC), start[gdi::Kind::MemoryDC] + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::Pen), start[gdi::Kind::Pen] + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::Brush), start[gdi::Kind::Brush] + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::Font), start[gdi::Kind::Font] + 1);
    bmp.SetSize(0, 0);
    bmp.SetSize(3, 3);
  }
  EXPECT_TRUE(Counts() == start);
}

}  // namespace
