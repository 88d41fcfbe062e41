#pragma once
// frmAbout as it is laid out: the client area and the controls in twips, the controls in tab
// order (their creation order is their keyboard order), and the etched rule. The window code
// turns twips into the display's pixels.
#include <array>
#include <string_view>

#include "about/about_resources.h"

namespace orv::about {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at dpi dots per inch, rounded to nearest with halves away from zero: what
// MulDiv(twips, dpi, 1440) gives.
constexpr int twipsToPixels(int twips, int dpi) noexcept {
  const long long product = static_cast<long long>(twips) * dpi;
  const long long magnitude = (product < 0 ? -product : product) + kTwipsPerInch / 2;
  const auto pixels = static_cast<int>(magnitude / kTwipsPerInch);
  return product < 0 ? -pixels : pixels;
}

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

enum class ControlKind { DefaultButton, Button, Picture, Label };

struct ControlLayout {
  int id;
  ControlKind kind;
  std::u16string_view storedCaption;
  TwipsRect twips;
};

inline constexpr int kClientWidth = 5730;
inline constexpr int kClientHeight = 3645;

// cmdOK carries IDOK: the dialog keys Enter and Esc both end in its click.
inline constexpr int kIdOk = 1;
inline constexpr int kIdPicture = ORVACCT_ABOUT_ID_PICTURE_CONTROL;
inline constexpr int kIdSysInfo = 1002;
inline constexpr int kIdDescription = 1003;
inline constexpr int kIdTitle = 1004;
inline constexpr int kIdAppName = 1005;
inline constexpr int kIdAppVer = 1006;

inline constexpr std::u16string_view kDescription = u"Copyright \u00A9 2026 Orv Software\r\nAll Rights Reserved.";

// Tab index 0 to 6. The description label takes the free index 3 and the free space below the
// name and version.
inline constexpr std::array<ControlLayout, 7> kControls{{
    {kIdOk, ControlKind::DefaultButton, u"OK", {4245, 2760, 1260, 345}},
    {kIdPicture, ControlKind::Picture, u"", {240, 240, 1935, 1935}},
    {kIdSysInfo, ControlKind::Button, u"&System Info...", {4245, 3240, 1245, 345}},
    {kIdDescription, ControlKind::Label, kDescription, {2640, 1200, 2925, 1095}},
    {kIdTitle, ControlKind::Label, u"App Title", {2640, 240, 2925, 480}},
    {kIdAppName, ControlKind::Label, u"AppName", {2640, 840, 1935, 255}},
    {kIdAppVer, ControlKind::Label, u"App Ver", {4680, 840, 975, 255}},
}};

// The picture box fits its 125 x 125 picture (in pixels, whatever the display) inside its border.
inline constexpr int kPictureSize = 125;

// The etched rule: a white line of width 2 under a grey line of width 1, both at kRuleTop.
// Where a line starts and ends, in twips; the end point itself is not drawn.
struct RuleLine {
  unsigned rgb;  // 0xRRGGBB
  int widthPixels;
  int fromX;
  int toX;
};
inline constexpr int kRuleTop = 2640;
inline constexpr RuleLine kRuleWhite{0xFFFFFF, 2, 120, 5669};  // drawn first
inline constexpr RuleLine kRuleGrey{0x808080, 1, 90, 5654};    // on top

}  // namespace orv::about
