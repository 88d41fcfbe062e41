// frmAbout driven through COM from a client that pumps its own messages, on a virtual display
// at 96 DPI: layout, texts and reuse, the dialog keys, the drawn pixels, and unloading.
#include <objbase.h>

#include <atomic>
#include <string>
#include <thread>

#include "about_test_support.h"
#include "png_file.h"

namespace orv::testing {
namespace {

using about::kIdAppName;
using about::kIdAppVer;
using about::kIdDescription;
using about::kIdOk;
using about::kIdPicture;
using about::kIdSysInfo;
using about::kIdTitle;

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

SIZE iconSize(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, bitmap.bmHeight};
}

TEST_F(AboutBoxTest, LayoutStylesDefaultButtonAndIconsAt96Dpi) {
  const HDC screen = GetDC(nullptr);
  ASSERT_EQ(96, GetDeviceCaps(screen, LOGPIXELSY)) << "the test prefix pins 96 DPI";
  ReleaseDC(nullptr, screen);
  const HWND box = openBox();
  ASSERT_NE(nullptr, box);

  RECT client{};
  GetClientRect(box, &client);
  EXPECT_TRUE(sameRect(RECT{0, 0, 382, 243}, client)) << client.right << " x " << client.bottom;
  // Twips at 15 per pixel; the picture box is 125 pixels plus its 2-pixel sunken border.
  const struct {
    int id;
    RECT expected;
  } controls[] = {{kIdOk, {283, 184, 367, 207}},      {kIdPicture, {16, 16, 145, 145}},
                  {kIdSysInfo, {283, 216, 366, 239}}, {kIdDescription, {176, 80, 371, 153}},
                  {kIdTitle, {176, 16, 371, 48}},     {kIdAppName, {176, 56, 305, 73}},
                  {kIdAppVer, {312, 56, 377, 73}}};
  std::vector<int> order;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(GetDlgCtrlID(child));
  }
  std::vector<int> tabOrder;
  for (const auto& control : controls) {
    tabOrder.push_back(control.id);
    const RECT actual = controlRect(box, control.id);
    EXPECT_TRUE(sameRect(control.expected, actual)) << "control " << control.id << ": " << actual.left << ","
                                                    << actual.top << " " << actual.right << "," << actual.bottom;
    if (control.id != kIdPicture) {
      EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT),
                reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(box, control.id, WM_GETFONT, 0, 0)))
          << "the system's dialog font, control " << control.id;
    }
  }
  EXPECT_EQ(tabOrder, order) << "child windows in tab order";
  const HWND ok = GetDlgItem(box, kIdOk);
  const HWND sysInfo = GetDlgItem(box, kIdSysInfo);
  EXPECT_EQ(sysInfo, GetNextDlgTabItem(box, ok, FALSE));
  EXPECT_EQ(ok, GetNextDlgTabItem(box, sysInfo, FALSE));

  const LONG style = GetWindowLongW(box, GWL_STYLE);
  EXPECT_EQ(WS_CAPTION | WS_SYSMENU | WS_VISIBLE, style & (WS_CAPTION | WS_SYSMENU | WS_VISIBLE));
  EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
  EXPECT_NE(0, GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER)) << "modeless, without owner";
  EXPECT_EQ(MAKELONG(kIdOk, DC_HASDEFID), static_cast<LONG>(SendMessageW(box, DM_GETDEFID, 0, 0)));
  EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK);
  EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongW(sysInfo, GWL_STYLE) & BS_TYPEMASK);
  EXPECT_EQ(ok, GetFocus());

  const SIZE small = iconSize(reinterpret_cast<HICON>(SendMessageW(box, WM_GETICON, ICON_SMALL, 0)));
  const SIZE big = iconSize(reinterpret_cast<HICON>(SendMessageW(box, WM_GETICON, ICON_BIG, 0)));
  EXPECT_EQ(16, small.cx);
  EXPECT_EQ(16, small.cy);
  EXPECT_EQ(32, big.cx);
  EXPECT_EQ(32, big.cy);
}

TEST_F(AboutBoxTest, TextsReuseOfTheShownBoxAndReloadAfterOk) {
  const HWND box = openBox(L"Ledger & Co", L"2.5.1");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(L"About Orv Account Management", windowText(box));
  EXPECT_EQ(L"Orv Account Management", windowText(GetDlgItem(box, kIdTitle)));
  EXPECT_EQ(L"Ledger & Co", windowText(GetDlgItem(box, kIdAppName)));
  EXPECT_EQ(L"VER 2.5.1", windowText(GetDlgItem(box, kIdAppVer)));
  EXPECT_EQ(L"Copyright \u00A9 2026 Orv Software\r\nAll Rights Reserved.", windowText(GetDlgItem(box, kIdDescription)));
  EXPECT_EQ(L"OK", windowText(GetDlgItem(box, kIdOk)));
  EXPECT_EQ(L"&System Info...", windowText(GetDlgItem(box, kIdSysInfo)));

  // A second call while shown: the same window, new texts, and no second load.
  SetWindowTextW(GetDlgItem(box, kIdTitle), L"changed since load");
  ComPtr<IDispatch> late;
  ASSERT_EQ(S_OK, object_.As(&late));
  EXPECT_EQ(S_OK, invoke(late.Get(), dispid::ShowAbout, {}));
  ASSERT_EQ(std::vector<HWND>{box}, aboutBoxes());
  EXPECT_EQ(L"", windowText(GetDlgItem(box, kIdAppName)));
  EXPECT_EQ(L"VER ", windowText(GetDlgItem(box, kIdAppVer)));
  EXPECT_EQ(L"changed since load", windowText(GetDlgItem(box, kIdTitle)));

  // OK unloads it; the next call loads it afresh.
  SendDlgItemMessageW(box, kIdOk, BM_CLICK, 0, 0);
  EXPECT_TRUE(aboutBoxes().empty());
  const HWND reloaded = openBox(L"Again", L"3");
  ASSERT_NE(nullptr, reloaded);
  EXPECT_EQ(L"Orv Account Management", windowText(GetDlgItem(reloaded, kIdTitle)));
  EXPECT_EQ(L"About Orv Account Management", windowText(reloaded));
  EXPECT_EQ(L"Again", windowText(GetDlgItem(reloaded, kIdAppName)));
  EXPECT_TRUE(IsWindowVisible(reloaded));
}

// Another client thread, with its own object, gets a box of its own; this thread's stays.
TEST_F(AboutBoxTest, EachClientThreadHasABoxOfItsOwn) {
  const HWND mine = openBox(L"First thread", L"1");
  ASSERT_NE(nullptr, mine);
  HWND otherBox = nullptr;
  std::wstring otherName;
  std::atomic<bool> done{false};
  std::thread other([&] {
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
      {
        ComPtr<_clsOrvAcctMan> object;
        if (SUCCEEDED(CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)))) {
          callShowAbout(object.Get(), L"Second thread", L"2");
          otherBox = theBox();
          otherName = windowText(GetDlgItem(otherBox, kIdAppName));
          DestroyWindow(otherBox);
        }
      }
      CoUninitialize();
    }
    done = true;
  });
  pumpUntil([&] { return done.load(); }, kPatienceMs);
  other.join();
  EXPECT_NE(nullptr, otherBox);
  EXPECT_NE(mine, otherBox);
  EXPECT_EQ(L"Second thread", otherName);
  EXPECT_EQ(std::vector<HWND>{mine}, aboutBoxes());
  EXPECT_EQ(L"First thread", windowText(GetDlgItem(mine, kIdAppName)));
}

// A client thread that shows the box, releases its object and ends leaves nothing behind: the
// box's picture and icons are gone and the DLL may be unloaded. (Wine 8 has no GetGuiResources
// count: it answers 0. The box's own drawing objects are asked instead.)
TEST_F(AboutBoxTest, AThreadThatEndsWithItsBoxOpenTakesTheBoxAlong) {
  object_.Reset();
  const auto canUnloadNow = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"OrvAcctMan.dll"), "DllCanUnloadNow")));
  ASSERT_NE(nullptr, canUnloadNow);
  ASSERT_EQ(S_OK, canUnloadNow()) << "something holds the DLL before the thread";
  HGDIOBJ picture = nullptr;
  HICON icons[2] = {};
  std::thread client([&] {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
    {
      ComPtr<_clsOrvAcctMan> object;
      if (SUCCEEDED(CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)))) {
        callShowAbout(object.Get(), L"Ending thread", L"1");
        const HWND box = theBox();
        picture = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(box, kIdPicture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        icons[0] = reinterpret_cast<HICON>(SendMessageW(box, WM_GETICON, ICON_SMALL, 0));
        icons[1] = reinterpret_cast<HICON>(SendMessageW(box, WM_GETICON, ICON_BIG, 0));
      }
    }
    CoUninitialize();
  });
  client.join();
  ASSERT_TRUE(picture != nullptr && icons[0] != nullptr && icons[1] != nullptr) << "the thread showed no box";
  EXPECT_EQ(S_OK, canUnloadNow());
  EXPECT_EQ(0u, GetObjectType(picture)) << "picture";
  for (const HICON icon : icons) EXPECT_EQ(0, iconSize(icon).cx) << "icon " << icon;  // 0: no such icon
}

// Keys are posted, as a keyboard would queue them: the hook hands them to the dialog.
TEST_F(AboutBoxTest, EscapeEnterAndTabWorkInTheClientsOwnLoop) {
  for (const WPARAM key : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}}) {
    const HWND box = openBox();
    ASSERT_NE(nullptr, box);
    ASSERT_EQ(GetDlgItem(box, kIdOk), GetFocus());
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    EXPECT_TRUE(pumpUntil([] { return aboutBoxes().empty(); }, kPatienceMs)) << "key " << key;
  }
  const HWND box = openBox();
  ASSERT_NE(nullptr, box);
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
  EXPECT_TRUE(pumpUntil([&] { return GetFocus() == GetDlgItem(box, kIdSysInfo); }, kPatienceMs));
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
  EXPECT_TRUE(pumpUntil([&] { return GetFocus() == GetDlgItem(box, kIdOk); }, kPatienceMs));
}

// The Win32 picture as the DLL carries it, top row first.
Capture pictureResource() {
  const HMODULE dll = GetModuleHandleW(L"OrvAcctMan.dll");
  const auto bitmap = static_cast<HBITMAP>(
      LoadImageW(dll, MAKEINTRESOURCEW(ORVACCT_ABOUT_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  Capture picture;
  if (bitmap == nullptr) return picture;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = about::kPictureSize;
  info.bmiHeader.biHeight = -about::kPictureSize;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint8_t> bgrx(static_cast<std::size_t>(about::kPictureSize) * about::kPictureSize * 4);
  const HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, about::kPictureSize, bgrx.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  picture.width = picture.height = about::kPictureSize;
  for (std::size_t i = 0; i < bgrx.size(); i += 4) {
    picture.rgb.insert(picture.rgb.end(), {bgrx[i + 2], bgrx[i + 1], bgrx[i]});
  }
  return picture;
}

TEST_F(AboutBoxTest, ScreenShowsTheEtchedRuleAndThePictureInPlace) {
  const HWND box = openBox(L"OrvAcctMan tests", L"1.0.1");
  ASSERT_NE(nullptr, box);
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  POINT origin{0, 0};
  ClientToScreen(box, &origin);
  const RECT clientOnScreen{origin.x, origin.y, origin.x + 382, origin.y + 243};
  // An unpainted window is black on this display: wait until the face colour shows.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  Capture client;
  EXPECT_TRUE(pumpUntil(
      [&] {
        client = captureScreen(clientOnScreen);
        return client.at(2, 2) == face && client.at(200, 176) == RGB(0x80, 0x80, 0x80);
      },
      kPatienceMs));

  const COLORREF grey = RGB(0x80, 0x80, 0x80);
  const COLORREF white = RGB(0xFF, 0xFF, 0xFF);
  for (const int x : {8, 100, 200, 300, 376}) {
    EXPECT_EQ(face, client.at(x, 175)) << x;
    EXPECT_EQ(grey, client.at(x, 176)) << x;
    EXPECT_EQ(white, client.at(x, 177)) << x;
    EXPECT_EQ(face, client.at(x, 178)) << x;
  }
  // The ends, from the lines' twips: grey 6 to 376, white 8 to 377.
  EXPECT_EQ(face, client.at(5, 176));
  EXPECT_EQ(grey, client.at(6, 176));
  EXPECT_EQ(face, client.at(7, 177));
  EXPECT_EQ(white, client.at(377, 177));
  EXPECT_EQ(face, client.at(378, 177));

  // The picture inside the 2-pixel border of the picture box at (16, 16).
  const Capture picture = pictureResource();
  ASSERT_EQ(about::kPictureSize, picture.width);
  int mismatches = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) mismatches += client.at(18 + x, 18 + y) != picture.at(x, y);
  }
  EXPECT_EQ(0, mismatches);

  // For a person to look at: the whole box, frame and caption included.
  RECT frame{};
  GetWindowRect(box, &frame);
  const Capture shot = captureScreen(frame);
  EXPECT_TRUE(
      writePng(std::filesystem::path(ORVACCT_TEST_OUTPUT_DIR) / "about_box.png", shot.width, shot.height, shot.rgb));
}

TEST_F(AboutBoxTest, AnOpenBoxKeepsTheDllLoadedAfterItsObjectIsReleased) {
  ASSERT_NE(nullptr, openBox());
  object_.Reset();
  CoFreeUnusedLibrariesEx(0, 0);
  ASSERT_NE(nullptr, GetModuleHandleW(L"OrvAcctMan.dll")) << "unloaded under its open box";

  // The box still paints and answers its keys: its code is still there.
  const HWND box = theBox();
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(pumpUntil([] { return aboutBoxes().empty(); }, kPatienceMs));

  // Closed, it no longer holds the DLL.
  CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_EQ(nullptr, GetModuleHandleW(L"OrvAcctMan.dll"));
}

}  // namespace
}  // namespace orv::testing
