// The component and control layer over Win32: components with owners and
// free notification, controls as real Win32 windows whose messages all pass
// through a replaceable, chainable WindowProc, and forms.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/win/graphics.h"

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// A window procedure bound to an object, comparable like a method pointer so
// that a hook can tell whether it is still the one installed.
struct TWndMethod {
  void* Data = nullptr;
  void (*Code)(void* data, TMessage& msg) = nullptr;
  explicit operator bool() const { return Code != nullptr; }
  void operator()(TMessage& m) const { Code(Data, m); }
  friend bool operator==(const TWndMethod&, const TWndMethod&) = default;
  template <auto Method, class T>
  static TWndMethod Of(T* obj) {
    return TWndMethod{obj, [](void* d, TMessage& m) { (static_cast<T*>(d)->*Method)(m); }};
  }
};

// Messages the layer sends to controls through WindowProc (never through the
// system): the framework's control notifications.
enum : UINT {
  CM_BASE = 0xB000,
  CM_ACTIVATE = CM_BASE + 0,
  CM_DEACTIVATE,
  CM_FOCUSCHANGED,
  CM_PARENTCOLORCHANGED,
  CM_ENABLEDCHANGED,
  CM_TEXTCHANGED,
  CM_MOUSEENTER,
  CM_MOUSELEAVE,
  CM_ENTER,
  CM_EXIT,
  CM_INVALIDATE,
  CM_CTL3DCHANGED,
  CM_PARENTCTL3DCHANGED,
  CM_RECREATEWND,
  CM_SHOWINGCHANGED,
  CM_VISIBLECHANGED,
  // Notifications reflected from the parent back to the control.
  CN_BASE = 0xBC00,
  CN_COMMAND = CN_BASE + WM_COMMAND,
  CN_NOTIFY = CN_BASE + WM_NOTIFY,
  CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
  CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
  CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
  CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
  CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
  CN_VSCROLL = CN_BASE + WM_VSCROLL,
  CN_HSCROLL = CN_BASE + WM_HSCROLL,
};

enum class TOperation { opInsert, opRemove };

class TWindowHook;
// One link of a control's chain of window-procedure hooks (windowhook.h).
// The installed WindowProc points at the link, not at the hook, so that a
// hook can go away in any order: a link whose hook is gone only forwards.
struct TWndHookLink {
  TWindowHook* Hook = nullptr;
  TWndMethod Previous;
  void Proc(TMessage& m);
};

// The class name a control reports, for code that tests exact classes.
#define PLATORA_CLASS_NAME(N) \
  const wchar_t* ClassName() const override { return L## #N; }
enum TComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2, csDesigning = 4 };

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int i) const { return components_[static_cast<size_t>(i)]; }
  TComponent* FindComponent(const std::wstring& name) const;
  unsigned ComponentState() const { return state_; }

  std::wstring Name;
  int Tag = 0;

  // The other component is told (Notification opRemove) when this one dies.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Runs after the owning form has built all its components.
  virtual void Loaded() { state_ &= ~csLoading; }
  void SetLoading() { state_ |= csLoading; }

 protected:
  // Frees the owned components, newest first. Called by destructors of
  // classes whose owned components must die before their own resources.
  void DestroyComponents();
  void Destroying() { state_ |= csDestroying; }

 private:
  void Insert(TComponent* c);
  void Remove(TComponent* c);
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  unsigned state_ = 0;
};

class TWinControl;
class TForm;
class TMainMenu;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TBiDiMode { bdLeftToRight, bdRightToLeft };

// Every control of this layer is a real window; TControl holds what the
// framework keeps for any control, TWinControl the window itself.
class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  // The exact class name ("TButton", "TBitBtn", ...); descendants override.
  virtual const wchar_t* ClassName() const { return L"TControl"; }

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* p);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int l, int t, int w, int h);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  virtual RECT ClientRect();
  int ClientWidth() { RECT r = ClientRect(); return r.right - r.left; }
  int ClientHeight() { RECT r = ClientRect(); return r.bottom - r.top; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);

  TFont& Font() { return font_; }
  TColor Color() const { return color_; }
  virtual void SetColor(TColor c);
  bool ParentFont = true;
  bool ParentColor = false;
  TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
  bool UseRightToLeftReading() const { return BiDiMode == TBiDiMode::bdRightToLeft; }

  // Text of the control (caption of buttons/labels/forms, text of edits).
  virtual std::wstring Text();
  virtual void SetText(const std::wstring& t);
  std::wstring Caption() { return Text(); }
  void SetCaption(const std::wstring& t) { SetText(t); }

  // Every message for the control goes through WindowProc. Replace it to
  // hook the control; keep the old value and call it from the hook.
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM w = 0, LPARAM l = 0);

  TNotifyEvent OnClick;
  virtual void Click();

  virtual void Invalidate() = 0;
  virtual void Update() = 0;
  void Repaint() {
    Invalidate();
    Update();
  }
  virtual bool IsWindowed() const { return true; }
  TForm* ParentForm();

 protected:
  virtual void WndProc(TMessage& m);
  virtual void FontChanged() {}
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true, enabled_ = true;
  TColor color_ = clBtnFace;
  std::wstring text_;

 private:
  TWinControl* parent_ = nullptr;
  TFont font_;
  // Hooks installed through TWindowHook, oldest first.
  friend class TWindowHook;
  std::vector<std::unique_ptr<TWndHookLink>> hookLinks_;
};

struct TCreateParams {
  std::wstring ClassName;
  DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  HMENU Id = nullptr;
  // Class style for controls that register their own class (first
  // registration wins): hint and popup windows save the bits under them.
  UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
 public:
  PLATORA_CLASS_NAME(TWinControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  static TWinControl* FromHandle(HWND h);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int i) const { return controls_[static_cast<size_t>(i)]; }

  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int t);
  bool TabStop = true;
  bool Ctl3D() const { return ctl3d_; }
  void SetCtl3D(bool v);

  void SetBounds(int l, int t, int w, int h) override;
  RECT ClientRect() override;
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;
  void SetColor(TColor c) override;
  std::wstring Text() override;
  void SetText(const std::wstring& t) override;

  void SetFocus();
  bool Focused();
  bool CanFocus();
  void Invalidate() override;
  void Update() override;
  void RecreateWnd();
  void BringToFront();

  // Passes the message to the window's own (system) procedure.
  void DefaultHandler(TMessage& m);
  // Brush for the background in the control's colour.
  HBRUSH ColorBrush();

 protected:
  friend class TControl;
  friend class TForm;
  virtual void CreateParams(TCreateParams& p);
  virtual void CreateWnd();
  virtual void CreateChildHandles();
  virtual void DestroyWnd();
  void WndProc(TMessage& m) override;
  void FontChanged() override;
  virtual bool WantsOwnClass() const { return false; }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  bool Showing();

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  bool ctl3d_ = true;
  bool recreating_ = false;

 private:
  static LRESULT CALLBACK StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l);
  void MainWndProc(TMessage& m);
  bool ReflectToChild(TMessage& m);
  std::vector<TControl*> controls_;
  int tabOrder_ = -1;
  bool mouseInside_ = false;
  gdi::Brush brush_;
  TColor brushColor_ = clNone;
};

// ------------------------------------------------------------ standard controls

enum class TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

class TCustomEdit : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TCustomEdit)
  using TWinControl::TWinControl;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle b);
  bool ReadOnly = false;
  // Most characters the box takes; 0 = as many as the platform allows. The
  // platform's own default is far lower (about 30,000), so every edit box
  // gets this limit when its window is made.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int n);
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;

 private:
  void ApplyMaxLength();
  int maxLength_ = 0;
};

class TEdit : public TCustomEdit {
 public:
  PLATORA_CLASS_NAME(TEdit)
  explicit TEdit(TComponent* AOwner);
};

class TCustomMemo : public TCustomEdit {
 public:
  PLATORA_CLASS_NAME(TCustomMemo)
  explicit TCustomMemo(TComponent* AOwner);
  enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
  TScrollStyle ScrollBars = TScrollStyle::ssNone;
  // The lines, as the memo holds them.
  class TLines {
   public:
    explicit TLines(TCustomMemo& m) : memo_(m) {}
    void Add(const std::wstring& line);
    int Count();
    std::wstring Strings(int i);
    std::wstring Text() { return memo_.Text(); }
    void Clear() { memo_.SetText(L""); }

   private:
    TCustomMemo& memo_;
  };
  TLines& Lines() { return lines_; }
  // How long a change of the scroll bars may wait for its frame to be drawn.
  static constexpr unsigned kFrameCatchUpMs = 100;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;

 private:
  void RepaintFrameSoon();
  TLines lines_;
  bool frameDue_ = false;
};
class TMemo : public TCustomMemo {
 public:
  PLATORA_CLASS_NAME(TMemo)
  using TCustomMemo::TCustomMemo;
};

class TLabel : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TLabel)
  explicit TLabel(TComponent* AOwner);
  bool AutoSize = true;
  bool Transparent = true;
  TAlignment Alignment = TAlignment::taLeftJustify;
  void SetText(const std::wstring& t) override;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  void DoAutoSize();
  void FontChanged() override;
};

class TImage : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TImage)
  explicit TImage(TComponent* AOwner);
  TBitmap& Picture() { return picture_; }  // the picture's bitmap
  TCanvas& Canvas() { return picture_.Canvas(); }
  bool Transparent = false;
  bool Stretch = false;
  bool Center = false;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  bool WantsOwnClass() const override { return true; }

 private:
  TBitmap picture_;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TCustomPanel)
  explicit TCustomPanel(TComponent* AOwner);
  TBevelCut BevelInner = TBevelCut::bvNone;
  TBevelCut BevelOuter = TBevelCut::bvRaised;
  int BevelWidth = 1;
  int BorderWidth = 0;
  TAlignment Alignment = TAlignment::taCenter;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  bool WantsOwnClass() const override { return true; }
  virtual void Paint(HDC dc);
};
class TPanel : public TCustomPanel {
 public:
  PLATORA_CLASS_NAME(TPanel)
  using TCustomPanel::TCustomPanel;
};

class TCustomGroupBox : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TCustomGroupBox)
  explicit TCustomGroupBox(TComponent* AOwner);

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  bool WantsOwnClass() const override { return true; }
  virtual void Paint(HDC dc);
};
class TGroupBox : public TCustomGroupBox {
 public:
  PLATORA_CLASS_NAME(TGroupBox)
  using TCustomGroupBox::TCustomGroupBox;
};

class TButtonControl : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TButtonControl)
  using TWinControl::TWinControl;
};

class TButton : public TButtonControl {
 public:
  PLATORA_CLASS_NAME(TButton)
  explicit TButton(TComponent* AOwner);
  bool Default() const { return default_; }
  void SetDefault(bool d);
  bool Cancel = false;
  int ModalResult = 0;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  bool default_ = false;
};

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button with a glyph picture, drawn by the control itself.
class TBitBtn : public TButton {
 public:
  PLATORA_CLASS_NAME(TBitBtn)
  explicit TBitBtn(TComponent* AOwner);
  TBitmap& Glyph() { return glyph_; }
  int NumGlyphs = 1;
  int Spacing = 4;
  int Margin = -1;
  TButtonLayout Layout = TButtonLayout::blGlyphLeft;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  virtual void DrawItem(const DRAWITEMSTRUCT& di);

 private:
  TBitmap glyph_;
};

class TCustomCheckBox : public TButtonControl {
 public:
  PLATORA_CLASS_NAME(TCustomCheckBox)
  explicit TCustomCheckBox(TComponent* AOwner);
  bool Checked();
  void SetChecked(bool c);  // a change runs Click
  TAlignment Alignment = TAlignment::taRightJustify;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  bool checked_ = false;
};
class TCheckBox : public TCustomCheckBox {
 public:
  PLATORA_CLASS_NAME(TCheckBox)
  using TCustomCheckBox::TCustomCheckBox;
};

class TUpDown : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TUpDown)
  explicit TUpDown(TComponent* AOwner);
  void SetAssociate(TWinControl* edit);
  TWinControl* Associate() const { return associate_; }
  int Min = 0, Max = 100, Increment = 1;
  bool ArrowKeys = true, Wrap = false;
  // The position shown in the associated box. Text that is not a whole
  // number within Min..Max is ignored: the last valid position stays.
  int Position();
  void SetPosition(int p);  // clamped to Min..Max

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  void ShowPosition();
  TWinControl* associate_ = nullptr;
  int position_ = 0;
};

// ------------------------------------------------------------ forms

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };

class TForm : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TForm)
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  TBorderStyle BorderStyle = TBorderStyle::bsSizeable;
  unsigned BorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition Position = TPosition::poDesigned;
  void SetClientSize(int w, int h);
  RECT ClientRect() override;

  TNotifyEvent OnCreate, OnShow, OnHide, OnDestroy, OnActivate, OnDeactivate;
  std::function<void(TObject*, TCloseAction&)> OnClose;
  std::function<void(TObject*, bool&)> OnCloseQuery;

  // Called by TApplication::CreateForm once the constructor has built the
  // components: components' Loaded, then OnCreate.
  void AfterConstruction();
  void Show();
  void Hide();
  // Asks OnCloseQuery and OnClose; an exception from a handler aborts the
  // close and propagates to the caller.
  void Close();
  bool Active();
  TButton* DefaultButton() const { return defaultButton_; }
  void SetDefaultButton(TButton* b) { defaultButton_ = b; }
  TWinControl* ActiveControl();
  // The form's menu bar (menus.h); the form does not own it.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* m);

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;
  bool WantsOwnClass() const override { return true; }

 private:
  int clientWidth_ = -1, clientHeight_ = -1;
  bool shownOnce_ = false;
  TButton* defaultButton_ = nullptr;
  HWND lastFocus_ = nullptr;
  TMainMenu* menu_ = nullptr;
};

// ------------------------------------------------------------ application

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  void Initialize();
  std::wstring Title;
  TForm* MainForm() const { return mainForm_; }

  template <class F>
  void CreateForm(F*& ref) {
    F* f = new F(this);
    ref = f;
    f->AfterConstruction();
    if (!mainForm_) mainForm_ = f;
  }
  void Run();
  void ProcessMessages();
  // Shows the standard error box: the message, caption = Title.
  void HandleException(const std::exception& e);
  void ShowException(const std::wstring& message);
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The application's own hidden window: it carries the title into the task
  // bar and owns the main form, so the task bar shows the application, not
  // the main form's caption. Created on first use.
  HWND Handle();
  // Minimizing hides the forms and leaves the task bar button; restoring
  // brings them back as they were.
  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }
  std::function<void(MSG&, bool& handled)> OnMessage;
  // Whether exceptions show a box (tests may collect them instead).
  std::function<void(const std::wstring&)> OnException;

  void RegisterForm(TForm* f);
  void UnregisterForm(TForm* f);
  const std::vector<TForm*>& Forms() const { return forms_; }

 private:
  bool ProcessMessage(MSG& msg);
  TForm* mainForm_ = nullptr;
  std::vector<TForm*> forms_;
  bool terminated_ = false;
  HWND handle_ = nullptr;
  bool minimized_ = false;
  std::vector<HWND> hiddenForms_;
  static LRESULT CALLBACK AppWndProc(HWND h, UINT msg, WPARAM w, LPARAM l);
};

extern TApplication* Application;

// Message box owned by the active form. Returns the button pressed.
int MessageBoxText(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// Runs `fn`, showing any exception in the standard error box. Used at the
// boundaries where the system calls into our code.
template <class Fn>
void GuardedCall(Fn&& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    if (Application) Application->HandleException(e);
  }
}
