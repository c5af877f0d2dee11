// What both front ends derive from the layout table, worked out once: pixel
// rectangles at a screen density, the focus order, the window order, and the
// face of the picture button.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

#include "window_layout.h"

namespace mirvane {

struct PixelRect {
  int Left, Top, Width, Height;
  bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
  int Width, Height;
  bool operator==(const PixelSize&) const = default;
};

// Twips to pixels at Dpi, in a layout grown to TextPercent of its size (the
// text size a user asked Windows for, 100 to 225), rounded to the nearest
// pixel, halves away from zero, as Windows' MulDiv does.
constexpr int TwipsToPixels(int Twips, int Dpi, int TextPercent = 100) {
  const long long Scaled = static_cast<long long>(Twips) * Dpi * TextPercent;
  const long long Unit = kTwipsPerInch * 100LL;
  return static_cast<int>(Scaled >= 0 ? (Scaled + Unit / 2) / Unit
                                      : -((-Scaled + Unit / 2) / Unit));
}

// A length of a picture drawn at 96 dpi, in its pixels, at Dpi and
// TextPercent.
constexpr int PicturePixels(int Pixels, int Dpi, int TextPercent = 100) {
  return TwipsToPixels(Pixels * (kTwipsPerInch / kBaseDpi), Dpi, TextPercent);
}

// Each edge and extent is scaled on its own, as the window system would
// scale a dialog template.
constexpr PixelRect ToPixels(const TwipRect& Rect, int Dpi, int TextPercent = 100) {
  return {TwipsToPixels(Rect.Left, Dpi, TextPercent), TwipsToPixels(Rect.Top, Dpi, TextPercent),
          TwipsToPixels(Rect.Width, Dpi, TextPercent),
          TwipsToPixels(Rect.Height, Dpi, TextPercent)};
}

constexpr PixelSize ClientSize(int Dpi, int TextPercent = 100) {
  return {TwipsToPixels(kClientWidthTwips, Dpi, TextPercent),
          TwipsToPixels(kClientHeightTwips, Dpi, TextPercent)};
}

inline constexpr std::size_t kFocusableCount = static_cast<std::size_t>(
    std::count_if(kControls.begin(), kControls.end(),
                  [](const ControlEntry& Entry) { return Entry.TakesFocus; }));

// The controls that take the focus, as table indices in the order Tab visits
// them. Their tab indices must be 0, 1, 2... with none missing or repeated,
// which is checked while compiling.
constexpr std::array<std::size_t, kFocusableCount> FocusOrder() {
  std::array<std::size_t, kFocusableCount> Order{};
  std::array<bool, kFocusableCount> Seen{};
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    if (!kControls[I].TakesFocus) continue;
    const int Tab = kControls[I].TabIndex;
    if (Tab < 0 || static_cast<std::size_t>(Tab) >= kFocusableCount || Seen[std::size_t(Tab)]) {
      throw "focusable controls need the tab indices 0, 1, 2... once each";
    }
    Seen[std::size_t(Tab)] = true;
    Order[std::size_t(Tab)] = I;
  }
  return Order;
}

// Every control, as table indices in the order the window keeps its children
// (Windows' z-order): by tab index, those without one last, and each control
// that captions another directly before the one it names, as screen readers
// expect of a label and its text box.
constexpr std::array<std::size_t, kControls.size()> WindowOrder() {
  const auto Rank = [](std::size_t I) {
    const int Tab = kControls[I].TabIndex;
    return Tab < 0 ? static_cast<int>(kControls.size()) : Tab;
  };
  const auto IsCaption = [](std::size_t I) {
    return std::any_of(kControls.begin(), kControls.end(), [I](const ControlEntry& Entry) {
      return Entry.CaptionLabel == kControls[I].Name;
    });
  };
  std::array<std::size_t, kControls.size()> ByTab{};
  for (std::size_t I = 0; I < ByTab.size(); ++I) ByTab[I] = I;
  // Equal ranks keep table order.
  std::sort(ByTab.begin(), ByTab.end(), [&](std::size_t A, std::size_t B) {
    return Rank(A) != Rank(B) ? Rank(A) < Rank(B) : A < B;
  });

  std::array<std::size_t, kControls.size()> Order{};
  std::size_t Next = 0;
  for (std::size_t I : ByTab) {
    if (IsCaption(I)) continue;  // placed with the control it names
    for (std::size_t C = 0; C < kControls.size(); ++C) {
      if (!kControls[I].CaptionLabel.empty() && kControls[C].Name == kControls[I].CaptionLabel) {
        Order[Next++] = C;
      }
    }
    Order[Next++] = I;
  }
  return Order;
}

// For each control, the table index of the label that captions it, if any.
// A caption that names no control stops the compiler wherever the result
// is a constant.
constexpr std::array<std::optional<std::size_t>, kControls.size()> CaptionLabels() {
  std::array<std::optional<std::size_t>, kControls.size()> Captions{};
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    if (kControls[I].CaptionLabel.empty()) continue;
    for (std::size_t C = 0; C < kControls.size(); ++C) {
      if (kControls[C].Name == kControls[I].CaptionLabel) Captions[I] = C;
    }
    if (!Captions[I]) throw "a caption label names no control";
  }
  return Captions;
}

// The gap between the picture and the caption on the picture button.
inline constexpr int kPictureGapTwips = 30;

struct ButtonFace {
  PixelRect Picture;
  PixelRect Caption;
};

// The picture centred above a caption line of CaptionHeight, the pair centred
// in Box, the gap between them scaled to Dpi and TextPercent.
constexpr ButtonFace PictureButtonFace(const PixelRect& Box, PixelSize Picture, int CaptionHeight,
                                       int Dpi, int TextPercent = 100) {
  const int Gap = TwipsToPixels(kPictureGapTwips, Dpi, TextPercent);
  const int Top = Box.Top + (Box.Height - Picture.Height - Gap - CaptionHeight) / 2;
  return {{Box.Left + (Box.Width - Picture.Width) / 2, Top, Picture.Width, Picture.Height},
          {Box.Left, Top + Picture.Height + Gap, Box.Width, CaptionHeight}};
}

}  // namespace mirvane
