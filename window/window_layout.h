// The main window's layout as data: both front ends build their controls
// from this table, in its order. What is derived from it (pixels, orders,
// the picture button's face) is in window_geometry.h.
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

// The client area; the window is not resizable.
inline constexpr int kClientWidthTwips = 4275;
inline constexpr int kClientHeightTwips = 1710;

enum class ControlKind { PushButton, TextBox, PictureButton, Label, LinkLabel, Picture };

// What a click on a control does; each front end binds the click of every
// control that has a command, and nothing else.
enum class Command { None, Browse, Convert, OpenHomePage };

struct ControlEntry {
  std::string_view Name;
  ControlKind Kind;
  std::string_view Text;
  TwipRect Rect;       // in the client area
  int TabIndex;        // -1: not in the tab order at all
  bool TakesFocus;     // labels hold a tab index but never take the focus
  bool DefaultButton;  // Enter presses it
  bool WordWrap;
  Command Click;
  // The label that names this control for screen readers, or "".
  std::string_view CaptionLabel;
  // What screen readers announce where the visible text does not say it;
  // "" leaves the name to the text or the caption label.
  std::string_view AccessibleName;
  std::string_view AccessibleDescription;
};

// The controls in the order they are created.
// clang-format off
inline constexpr std::array<ControlEntry, 7> kControls = {{
    // Name        Kind                        Text                                  Rect (twips)            Tab  Focus  Default Wrap   Click                  Caption   AccessibleName AccessibleDescription
    {"btnSource", ControlKind::PushButton,    "...",                                {3735, 315, 270, 315},    1, true,  false, false, Command::Browse,       "",       "Browse",      "Select a memory card"},
    {"txtSource", ControlKind::TextBox,       "",                                   {690, 330, 3060, 300},    0, true,  false, false, Command::None,         "Label1", "",            ""},
    {"btnStart",  ControlKind::PictureButton, "Convert",                            {2700, 765, 1335, 930},   2, true,  true,  false, Command::Convert,      "",       "",            ""},
    {"Label3",    ControlKind::Label,         "This tool converts memory cards from VGS to Bleem! format.",
                                                                                    {60, 780, 2355, 540},     5, false, false, true,  Command::None,         "",       "",            ""},
    {"Label2",    ControlKind::LinkLabel,     "Created By Quennel",                 {45, 1320, 1680, 195},    4, false, false, false, Command::OpenHomePage, "",       "",            ""},
    {"Image1",    ControlKind::Picture,       "",                                   {30, 15, 645, 660},      -1, false, false, false, Command::None,         "",       "",            ""},
    {"Label1",    ControlKind::Label,         "Virtual Game Station Memory Card:",  {705, 90, 3015, 240},     3, false, false, false, Command::None,         "",       "",            ""},
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

consteval const ControlEntry& ControlNamed(std::string_view Name) {
  return kControls[ControlIndex(Name)];
}

// The place of the button that Enter presses when no other push button has
// the focus; worked out while compiling, so the table must have one.
consteval std::size_t DefaultButtonIndex() {
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    if (kControls[I].DefaultButton) return I;
  }
  throw "no default button";
}

// The credit link's look: pure blue Arial at 6.75 points, underlined.
inline constexpr char kLinkFontFace[] = "Arial";
inline constexpr double kLinkFontPoints = 6.75;
inline constexpr unsigned char kLinkRed = 0, kLinkGreen = 0, kLinkBlue = 255;

}  // namespace mirvane
