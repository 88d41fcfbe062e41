#pragma once
// frmAbout on Windows: one modeless, unowned window per client thread, of the system's dialog
// class (DefDlgProc gives it the default and cancel button and the dialog keys), built from
// child windows at the layout's twips converted with the display's DPI. The window owns its
// form object and deletes it when it is destroyed (cmdOK, Esc, closing); the next use loads a
// new one.
#include <windows.h>

#include <optional>
#include <string>

#include "about/dialog_keys_win32.h"
#include "about/open_boxes.h"
#include "platform/unique_resource.h"

namespace orv::about {

class AboutForm {
 public:
  // The calling thread's loaded box, or null.
  static HWND windowOfThisThread() noexcept;
  // The calling thread's form, loaded now (load handler included) when there is none.
  static AboutForm& ofThisThread();

  void setText(int controlId, const std::u16string& text);
  void show();

  AboutForm(const AboutForm&) = delete;
  AboutForm& operator=(const AboutForm&) = delete;
  ~AboutForm();

 private:
  static bool destroyIcon(HICON icon) noexcept { return DestroyIcon(icon) != FALSE; }
  static bool deleteBitmap(HBITMAP bitmap) noexcept { return DeleteObject(bitmap) != FALSE; }
  using Icon = platform::UniqueResource<HICON, destroyIcon, HICON{}>;
  using Bitmap = platform::UniqueResource<HBITMAP, deleteBitmap, HBITMAP{}>;

  AboutForm() = default;
  static AboutForm& load();
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void build();
  void loadHandler();
  RECT pixels(int left, int top, int width, int height) const noexcept;
  void paintRule(HDC dc) const;

  // Declared first so it is released last, after the hook and the artwork.
  OpenBoxCount counted_;
  HWND window_ = nullptr;
  int dpiX_ = USER_DEFAULT_SCREEN_DPI;
  int dpiY_ = USER_DEFAULT_SCREEN_DPI;
  Icon smallIcon_;
  Icon bigIcon_;
  Bitmap picture_;
  std::optional<DialogKeys> keys_;
  bool shownOnce_ = false;
};

}  // namespace orv::about
