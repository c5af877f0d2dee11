// The main window's layout as data: both front ends build their controls
// from this table, in its order.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace mirvane {

inline constexpr char kWindowCaption[] = "Mirvane";
// The client area in pixels; the window is not resizable.
inline constexpr int kClientWidth = 285;
inline constexpr int kClientHeight = 114;

enum class ControlKind { PushButton, TextBox, PictureButton, Label, LinkLabel, Picture };

struct PixelRect {
  int Left, Top, Width, Height;
};

struct ControlSpec {
  std::string_view Name;
  ControlKind Kind;
  std::string_view Text;
  PixelRect Rect;      // in the client area
  int TabIndex;        // -1: not in the tab order at all
  bool TakesFocus;     // labels hold a tab index but never take the focus
  bool DefaultButton;  // Enter presses it
  bool WordWrap;
};

// The controls in the order they are created.
// clang-format off
inline constexpr std::array<ControlSpec, 7> kControls = {{
    // Name        Kind                        Text                                  Rect (pixels)      Tab  Focus  Default Wrap
    {"btnSource", ControlKind::PushButton,    "...",                                {249, 21, 18, 21},   1, true,  false, false},
    {"txtSource", ControlKind::TextBox,       "",                                   {46, 22, 204, 20},   0, true,  false, false},
    {"btnStart",  ControlKind::PictureButton, "Convert",                            {180, 51, 89, 62},   2, true,  true,  false},
    {"Label3",    ControlKind::Label,         "This tool converts memory cards from VGS to Bleem! format.",
                                                                                    {4, 52, 157, 36},    5, false, false, true},
    {"Label2",    ControlKind::LinkLabel,     "Created By Quennel",                 {3, 88, 112, 13},    4, false, false, false},
    {"Image1",    ControlKind::Picture,       "",                                   {2, 1, 43, 44},     -1, false, false, false},
    {"Label1",    ControlKind::Label,         "Virtual Game Station Memory Card:",  {47, 6, 201, 16},    3, false, false, false},
}};
// clang-format on

// The credit link's look: pure blue Arial at 6.75 points, underlined.
inline constexpr char kLinkFontFace[] = "Arial";
inline constexpr double kLinkFontPoints = 6.75;
inline constexpr unsigned char kLinkRed = 0, kLinkGreen = 0, kLinkBlue = 255;

// The place in the table of the control called Name, and its entry; the
// table holds every name the front ends ask for.
std::size_t ControlIndex(std::string_view Name);
const ControlSpec& ControlNamed(std::string_view Name);

}  // namespace mirvane
