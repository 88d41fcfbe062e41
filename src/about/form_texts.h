#pragma once
// The texts frmAbout shows and the ones StartSysInfo's notice shows.
#include <string_view>

namespace orv::about {

inline constexpr std::u16string_view kStoredCaption = u"About MyApp";
inline constexpr std::u16string_view kCaption = u"About Orv Account Management";
inline constexpr std::u16string_view kTitle = u"Orv Account Management";
inline constexpr std::u16string_view kVersionPrefix = u"VER ";

inline constexpr std::u16string_view kUnavailableText = u"System Information Is Unavailable At This Time";
inline constexpr std::u16string_view kComponentTitle = u"OrvAcctMan";

}  // namespace orv::about
