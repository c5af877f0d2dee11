// The main window's layout as data: both front ends build their controls
// from this table, in its order.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace mirvane {

inline constexpr char kWindowCaption[] = "Mirvane";

// Positions and sizes are in twips, 1/1440 of an inch, so that the layout is
// the same at every screen density; at 96 dots per inch a pixel is 15 twips.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kBaseDpi = 96;

struct TwipRect {
  int Left, Top, Width, Height;
};

struct PixelRect {
  int Left, Top, Width, Height;
  bool operator==(const PixelRect&) const = default;
};

// The client area; the window is not resizable.
inline constexpr int kClientWidthTwips = 4275;
inline constexpr int kClientHeightTwips = 1710;

// Twips to pixels at Dpi, rounded to the nearest pixel as Windows' MulDiv does.
constexpr int TwipsToPixels(int Twips, int Dpi) {
  const long long Scaled = static_cast<long long>(Twips) * Dpi;
  const long long Half = kTwipsPerInch / 2;
  return static_cast<int>(Scaled >= 0 ? (Scaled + Half) / kTwipsPerInch
                                      : -((-Scaled + Half) / kTwipsPerInch));
}

constexpr PixelRect ToPixels(const TwipRect& Rect, int Dpi) {
  return {TwipsToPixels(Rect.Left, Dpi), TwipsToPixels(Rect.Top, Dpi),
          TwipsToPixels(Rect.Width, Dpi), TwipsToPixels(Rect.Height, Dpi)};
}

enum class ControlKind { PushButton, TextBox, PictureButton, Label, LinkLabel, Picture };

struct ControlSpec {
  std::string_view Name;
  ControlKind Kind;
  std::string_view Text;
  TwipRect Rect;       // in the client area
  int TabIndex;        // -1: not in the tab order at all
  bool TakesFocus;     // labels hold a tab index but never take the focus
  bool DefaultButton;  // Enter presses it
  bool WordWrap;
};

// The controls in the order they are created.
// clang-format off
inline constexpr std::array<ControlSpec, 7> kControls = {{
    // Name        Kind                        Text                                  Rect (twips)            Tab  Focus  Default Wrap
    {"btnSource", ControlKind::PushButton,    "...",                                {3735, 315, 270, 315},    1, true,  false, false},
    {"txtSource", ControlKind::TextBox,       "",                                   {690, 330, 3060, 300},    0, true,  false, false},
    {"btnStart",  ControlKind::PictureButton, "Convert",                            {2700, 765, 1335, 930},   2, true,  true,  false},
    {"Label3",    ControlKind::Label,         "This tool converts memory cards from VGS to Bleem! format.",
                                                                                    {60, 780, 2355, 540},     5, false, false, true},
    {"Label2",    ControlKind::LinkLabel,     "Created By Quennel",                 {45, 1320, 1680, 195},    4, false, false, false},
    {"Image1",    ControlKind::Picture,       "",                                   {30, 15, 645, 660},      -1, false, false, false},
    {"Label1",    ControlKind::Label,         "Virtual Game Station Memory Card:",  {705, 90, 3015, 240},     3, false, false, false},
}};
// clang-format on

// The place in the table of the control called Name, and its entry. Both are
// worked out while compiling: a name that is not in the table does not
// compile, so nothing is left to fail at run time.
consteval std::size_t ControlIndex(std::string_view Name) {
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    if (kControls[I].Name == Name) return I;
  }
  throw "no control of that name";
}

consteval const ControlSpec& ControlNamed(std::string_view Name) {
  return kControls[ControlIndex(Name)];
}

// The credit link's look: pure blue Arial at 6.75 points, underlined.
inline constexpr char kLinkFontFace[] = "Arial";
inline constexpr double kLinkFontPoints = 6.75;
inline constexpr unsigned char kLinkRed = 0, kLinkGreen = 0, kLinkBlue = 255;

}  // namespace mirvane
