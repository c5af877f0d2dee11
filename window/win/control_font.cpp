#include "control_font.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "picture_button.h"
#include "utf16_win.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {

namespace {

// Where a control draws a text (DrawText's rectangle and format, as the
// control has them) and the part of the control that shows it, in the
// control's own coordinates.
struct TextPlace {
  std::string_view Text;
  RECT Layout;
  UINT Format;
  RECT Room;
};

RECT ToRect(const PixelRect& Rect) {
  return {Rect.Left, Rect.Top, Rect.Left + Rect.Width, Rect.Top + Rect.Height};
}

// The format a static control of the label's style draws its text in.
UINT LabelFormat(const ControlEntry& Entry) {
  return DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | (Entry.WordWrap ? DT_WORDBREAK : 0);
}

// The text of every plain control, placed for a font whose lines are
// LineHeight pixels tall; false if the picture button's picture and caption
// do not fit inside its frame together.
bool PlaceTexts(const ControlMetrics& At, int LineHeight, std::vector<TextPlace>& Places) {
  for (const ControlEntry& Entry : kControls) {
    const PixelRect Size = ToPixels(Entry.Rect, At.Dpi, At.TextPercent);
    RECT Box{0, 0, Size.Width, Size.Height};
    switch (Entry.Kind) {
      case ControlKind::Label:
        Places.push_back({Entry.Text, Box, LabelFormat(Entry), Box});
        break;
      case ControlKind::PushButton:
        // A push button centres one line inside its frame.
        ::InflateRect(&Box, -At.Edge, -At.Edge);
        Places.push_back({Entry.Text, Box, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Box});
        break;
      case ControlKind::PictureButton: {
        const int Outline = kPictureButtonOutline;
        const PixelSize Picture{PicturePixels(At.StartPicture.cx, At.Dpi, At.TextPercent),
                                PicturePixels(At.StartPicture.cy, At.Dpi, At.TextPercent)};
        const ButtonFace Face = PictureButtonFace(
            {Outline, Outline, Size.Width - 2 * Outline, Size.Height - 2 * Outline}, Picture,
            LineHeight, At.Dpi, At.TextPercent);
        ::InflateRect(&Box, -Outline - At.Edge, -Outline - At.Edge);
        if (Face.Picture.Top < Box.top) return false;
        Places.push_back({Entry.Text, ToRect(Face.Caption), kPictureCaptionFormat, Box});
        break;
      }
      case ControlKind::TextBox:
      case ControlKind::Picture:
      case ControlKind::LinkLabel:  // in a font of its own
        break;
    }
  }
  return true;
}

// Whether the ink of Place's text, drawn in Dc's font, stays inside its room;
// the text is drawn unclipped, with Margin pixels around to spill into. A
// pixel at least a quarter dark is ink: the lighter fringe that smoothing
// adds is no loss to a reader when it is cut. Best effort: a text that cannot
// be drawn here is taken to fit.
bool ShowsWhole(HDC Dc, const TextPlace& Place, int Margin) {
  RECT Canvas{};
  ::UnionRect(&Canvas, &Place.Room, &Place.Layout);
  ::InflateRect(&Canvas, Margin, Margin);
  const int Width = Canvas.right - Canvas.left, Height = Canvas.bottom - Canvas.top;
  BITMAPINFO Info{};
  Info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* Bits = nullptr;
  const OwnedBitmap Bitmap(::CreateDIBSection(Dc, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0));
  if (Bitmap == nullptr) return true;
  const HGDIOBJ Old = ::SelectObject(Dc, Bitmap.get());
  ::PatBlt(Dc, 0, 0, Width, Height, WHITENESS);
  ::SetViewportOrgEx(Dc, -Canvas.left, -Canvas.top, nullptr);
  RECT Layout = Place.Layout;
  // Measured as the controls draw it: in UTF-16.
  const std::wstring Text = Utf16(Place.Text, BadText::Replace);
  ::DrawTextW(Dc, Text.c_str(), int(Text.size()), &Layout, Place.Format | DT_NOCLIP);
  ::SetViewportOrgEx(Dc, 0, 0, nullptr);
  ::SelectObject(Dc, Old);
  ::GdiFlush();

  const auto* Pixels = static_cast<const std::uint32_t*>(Bits);
  for (int Y = 0; Y < Height; ++Y) {
    for (int X = 0; X < Width; ++X) {
      const std::uint32_t Pixel = Pixels[std::size_t(Y) * std::size_t(Width) + std::size_t(X)];
      const bool Ink =
          (Pixel & 0xFF) < 0xC0 || (Pixel >> 8 & 0xFF) < 0xC0 || (Pixel >> 16 & 0xFF) < 0xC0;
      const POINT At{Canvas.left + X, Canvas.top + Y};
      if (Ink && !::PtInRect(&Place.Room, At)) return false;
    }
  }
  return true;
}

// Whether every text of a plain control shows whole in Font.
bool EveryTextShowsWhole(HDC Dc, HFONT Font, const ControlMetrics& At) {
  const HGDIOBJ Old = ::SelectObject(Dc, Font);
  ::SetTextColor(Dc, RGB(0, 0, 0));
  ::SetBkMode(Dc, TRANSPARENT);
  TEXTMETRICW Metrics{};
  ::GetTextMetricsW(Dc, &Metrics);
  std::vector<TextPlace> Places;
  bool Whole = PlaceTexts(At, Metrics.tmHeight, Places);
  for (const TextPlace& Place : Places) {
    Whole = Whole && ShowsWhole(Dc, Place, Metrics.tmHeight);
  }
  ::SelectObject(Dc, Old);
  return Whole;
}

}  // namespace

OwnedFont FitControlFont(const LOGFONTW& Message, const ControlMetrics& At) {
  HDC Dc = ::CreateCompatibleDC(nullptr);
  LOGFONTW Font = Message;
  // A negative height sizes the characters, a positive one their cells; either
  // shrinks towards zero.
  const int Sign = Message.lfHeight < 0 ? -1 : 1;
  const int Smallest = std::abs(Message.lfHeight) / 2;
  OwnedFont Made;
  for (int Height = std::abs(Message.lfHeight);; --Height) {
    Font.lfHeight = Sign * Height;
    Made.reset(::CreateFontIndirectW(&Font));
    if (Made == nullptr || Dc == nullptr || Height <= Smallest ||
        EveryTextShowsWhole(Dc, Made.get(), At)) {
      break;
    }
  }
  if (Dc != nullptr) ::DeleteDC(Dc);
  return Made;
}

}  // namespace mirvane
