// What the front ends derive from the layout table: pixels at any density,
// the focus and window orders, the picture button's face.
#include "window_geometry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace mirvane {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Names(const auto& Indices) {
  std::vector<std::string> Result;
  for (std::size_t I : Indices) Result.emplace_back(kControls[I].Name);
  return Result;
}

TEST(ToPixels, Is15TwipsAPixelAt96DpiAndScalesWithRoundingAbove) {
  EXPECT_EQ(ClientSize(96), (PixelSize{285, 114}));
  EXPECT_EQ(ClientSize(144), (PixelSize{428, 171}));
  EXPECT_EQ(ClientSize(192), (PixelSize{570, 228}));
  for (const ControlEntry& Entry : kControls) {
    const PixelRect At96 = ToPixels(Entry.Rect, 96);
    EXPECT_EQ(At96.Left * 15, Entry.Rect.Left) << Entry.Name;
    EXPECT_EQ(At96.Width * 15, Entry.Rect.Width) << Entry.Name;
    EXPECT_EQ(ToPixels(Entry.Rect, 192),
              (PixelRect{At96.Left * 2, At96.Top * 2, At96.Width * 2, At96.Height * 2}))
        << Entry.Name;
  }
  // Halves round away from zero, as MulDiv does: 3735 twips at 144 DPI.
  EXPECT_EQ(TwipsToPixels(3735, 144), 374);
  EXPECT_EQ(TwipsToPixels(-3735, 144), -374);
  EXPECT_EQ(TwipsToPixels(1335, 120), 111);
}

TEST(FocusOrder, GoesFromThePathBoxToBrowseToConvert) {
  EXPECT_THAT(Names(FocusOrder()), ElementsAre("txtSource", "btnSource", "btnStart"));
}

TEST(WindowOrder, PutsEachCaptionDirectlyBeforeWhatItNamesAndKeepsTheFocusOrder) {
  const auto Order = WindowOrder();
  EXPECT_THAT(Names(Order), ElementsAre("Label1", "txtSource", "btnSource", "btnStart", "Label2",
                                        "Label3", "Image1"));
  std::vector<std::size_t> Focusable;
  std::copy_if(Order.begin(), Order.end(), std::back_inserter(Focusable),
               [](std::size_t I) { return kControls[I].TakesFocus; });
  const auto Focus = FocusOrder();
  EXPECT_TRUE(std::equal(Focusable.begin(), Focusable.end(), Focus.begin(), Focus.end()));
}

TEST(PictureButtonFace, CentresThePictureAboveTheCaptionWithAGapThatScales) {
  const ButtonFace At96 = PictureButtonFace({1, 1, 87, 60}, {37, 35}, 13, 96);
  EXPECT_EQ(At96.Picture, (PixelRect{26, 6, 37, 35}));
  EXPECT_EQ(At96.Caption, (PixelRect{1, 43, 87, 13}));
  const ButtonFace At192 = PictureButtonFace({0, 0, 178, 124}, {74, 70}, 26, 192);
  EXPECT_EQ(At192.Picture, (PixelRect{52, 12, 74, 70}));
  EXPECT_EQ(At192.Caption.Top, 12 + 70 + 4);
}

}  // namespace
}  // namespace mirvane
