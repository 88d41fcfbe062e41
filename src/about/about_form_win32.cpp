#include "about/about_form_win32.h"

#include <memory>
#include <string>

#include "about/about_resources.h"
#include "about/form_layout.h"
#include "about/form_texts.h"
#include "about/sys_info_win32.h"
#include "about/win32_failure.h"
#include "platform/own_module_win32.h"

namespace orv::about {
namespace {

// The system's dialog class, #32770.
const wchar_t* const kDialogClass = reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(0x8002));
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// The property that marks a window as this module's About box and holds its form. The module's
// address is part of the name, so two loaded copies of the component never take each other's box.
const wchar_t* formProperty() {
  static const std::wstring name =
      L"OrvAcctMan.frmAbout." + std::to_wstring(reinterpret_cast<std::uintptr_t>(ownModule()));
  return name.c_str();
}

BOOL CALLBACK matchForm(HWND window, LPARAM found) {
  if (GetPropW(window, formProperty()) == nullptr) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

struct ChildStyle {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

ChildStyle childStyle(ControlKind kind) {
  switch (kind) {
    case ControlKind::DefaultButton:
      return {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0};
    case ControlKind::Button:
      return {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::Picture:
      // Sunken 3-D border; the picture centred, so the control keeps the size given to it.
      return {L"STATIC", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, WS_EX_CLIENTEDGE};
    case ControlKind::Label:
      break;
  }
  // Client texts are shown as given: an ampersand is no mnemonic here.
  return {L"STATIC", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0};
}

HICON loadIcon(int size) {
  return static_cast<HICON>(
      LoadImageW(ownModule(), MAKEINTRESOURCEW(ORVACCT_ABOUT_ICON), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  const RECT area{left, top, right, bottom};
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

COLORREF colourRef(unsigned rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// The click of cmdSysInfo. Only the window handle is used: the form may be gone when the
// notice returns. Nothing may leave a window procedure.
void startSysInfo(HWND owner) noexcept {
  try {
    Win32SysInfoPlatform platform(owner);
    StartSysInfo(platform);
  } catch (...) {
    // Not even the platform could be made: there is nothing to start and no one to tell.
  }
}

}  // namespace

HWND AboutForm::windowOfThisThread() noexcept {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), matchForm, reinterpret_cast<LPARAM>(&found));
  return found;
}

AboutForm& AboutForm::ofThisThread() {
  if (const HWND window = windowOfThisThread()) return *static_cast<AboutForm*>(GetPropW(window, formProperty()));
  return load();
}

AboutForm& AboutForm::load() {
  std::unique_ptr<AboutForm> form(new AboutForm());
  {
    const HDC screen = GetDC(nullptr);
    if (screen != nullptr) {
      form->dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
      form->dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
  }
  const RECT client = form->pixels(0, 0, kClientWidth, kClientHeight);
  RECT outer = client;
  AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  const HWND window =
      CreateWindowExW(kFormExStyle, kDialogClass, wide(kStoredCaption).c_str(), kFormStyle, 0, 0,
                      outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, ownModule(), nullptr);
  if (window == nullptr) throwLastWin32Error();
  if (!SetPropW(window, formProperty(), form.get())) {
    const DWORD error = GetLastError();
    DestroyWindow(window);
    throwWin32Error(error);
  }
  // From here the window owns the form: it is deleted when the window is destroyed.
  AboutForm& loaded = *form.release();
  loaded.window_ = window;
  SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&AboutForm::dialogProc));
  try {
    loaded.build();
    loaded.loadHandler();
  } catch (...) {
    DestroyWindow(window);
    throw;
  }
  return loaded;
}

AboutForm::~AboutForm() = default;

RECT AboutForm::pixels(int left, int top, int width, int height) const noexcept {
  const int x = twipsToPixels(left, dpiX_);
  const int y = twipsToPixels(top, dpiY_);
  return RECT{x, y, x + twipsToPixels(width, dpiX_), y + twipsToPixels(height, dpiY_)};
}

void AboutForm::build() {
  // The frame differs between systems: the client area is what must come out at its size.
  const RECT wanted = pixels(0, 0, kClientWidth, kClientHeight);
  RECT client{};
  RECT outer{};
  GetClientRect(window_, &client);
  GetWindowRect(window_, &outer);
  const int width = (outer.right - outer.left) + (wanted.right - client.right);
  const int height = (outer.bottom - outer.top) + (wanted.bottom - client.bottom);
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  SetWindowPos(window_, nullptr, workArea.left + (workArea.right - workArea.left - width) / 2,
               workArea.top + (workArea.bottom - workArea.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);

  picture_ = Bitmap(static_cast<HBITMAP>(
      LoadImageW(ownModule(), MAKEINTRESOURCEW(ORVACCT_ABOUT_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  smallIcon_ = Icon(loadIcon(GetSystemMetrics(SM_CXSMICON)));
  bigIcon_ = Icon(loadIcon(GetSystemMetrics(SM_CXICON)));
  if (!picture_ || !smallIcon_ || !bigIcon_) throwLastWin32Error();
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));

  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(window_, WM_SETFONT, font, FALSE);
  // Created in tab order: the order of the child windows is the keyboard order.
  for (const ControlLayout& control : kControls) {
    const ChildStyle kind = childStyle(control.kind);
    RECT place = pixels(control.twips.left, control.twips.top, control.twips.width, control.twips.height);
    if (control.kind == ControlKind::Picture) {
      // Sized to fit the picture inside the border, in pixels whatever the display.
      RECT fit{0, 0, kPictureSize, kPictureSize};
      AdjustWindowRectEx(&fit, kind.style, FALSE, kind.exStyle);
      place.right = place.left + (fit.right - fit.left);
      place.bottom = place.top + (fit.bottom - fit.top);
    }
    const HWND child =
        CreateWindowExW(kind.exStyle, kind.windowClass, wide(control.storedCaption).c_str(), kind.style, place.left,
                        place.top, place.right - place.left, place.bottom - place.top, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), ownModule(), nullptr);
    if (child == nullptr) throwLastWin32Error();
    SendMessageW(child, WM_SETFONT, font, FALSE);
    if (control.kind == ControlKind::Picture) {
      SendMessageW(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.get()));
    }
  }
  SendMessageW(window_, DM_SETDEFID, kIdOk, 0);
  keys_.emplace();
}

void AboutForm::loadHandler() {
  if (!SetWindowTextW(window_, wide(kCaption).c_str())) throwLastWin32Error();
  setText(kIdTitle, std::u16string(kTitle));
}

void AboutForm::setText(int controlId, const std::u16string& text) {
  if (!SetDlgItemTextW(window_, controlId, wide(text).c_str())) throwLastWin32Error();
}

void AboutForm::show() {
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  if (!shownOnce_) {
    shownOnce_ = true;
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, kIdOk)), TRUE);
  }
}

void AboutForm::paintRule(HDC dc) const {
  // Filled rows in explicit colours rather than pens: pens of width 2 are centred differently
  // from one system to the next, and the system colours differ too. Grey row at the rule's y,
  // white row directly below it.
  const int y = twipsToPixels(kRuleTop, dpiY_);
  fill(dc, twipsToPixels(kRuleWhite.fromX, dpiX_), y, twipsToPixels(kRuleWhite.toX, dpiX_), y + kRuleWhite.widthPixels,
       colourRef(kRuleWhite.rgb));
  fill(dc, twipsToPixels(kRuleGrey.fromX, dpiX_), y, twipsToPixels(kRuleGrey.toX, dpiX_), y + kRuleGrey.widthPixels,
       colourRef(kRuleGrey.rgb));
}

INT_PTR CALLBACK AboutForm::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      if (const auto* form = static_cast<AboutForm*>(GetPropW(window, formProperty()))) form->paintRule(dc);
      EndPaint(window, &paint);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      // lblTitle is black whatever the system's text colour; the rest keep the system's.
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kIdTitle) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      }
      return FALSE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:  // Esc: cmdOK is the cancel button too
          DestroyWindow(window);
          return TRUE;
        case kIdSysInfo:
          startSysInfo(window);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case WM_NCDESTROY: {
      // The window owned the form; the last message it gets releases it (hook and count included).
      std::unique_ptr<AboutForm> owned(static_cast<AboutForm*>(RemovePropW(window, formProperty())));
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace orv::about
