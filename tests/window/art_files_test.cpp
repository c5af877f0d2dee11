// The icon and pictures as the window expects them: single-frame GIF89a
// pictures of the laid-out size with a 256-entry colour table and colour 15
// transparent, each again at twice the size for screens of twice the
// density, and one 32 x 32 icon of 256 colours.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scratch_folder.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {
namespace {

using testing::Bytes;
using testing::ReadBytes;

unsigned Word(const Bytes& B, std::size_t At) {
  return B.at(At) | (unsigned(B.at(At + 1)) << 8);
}

std::string Art(const std::string& Name) {
  return std::string(MIRVANE_ART_DIR) + "/" + Name;
}

// Walks the GIF's blocks after the header and colour table: counts frames
// and finds the transparent index of the graphic control extension.
struct GifFacts {
  int Frames = 0;
  int Transparent = -1;
};

GifFacts Walk(const Bytes& Gif, std::size_t At) {
  GifFacts Facts;
  const auto SkipSubBlocks = [&](std::size_t& P) {
    while (Gif.at(P) != 0) P += Gif.at(P) + 1u;
    ++P;
  };
  while (Gif.at(At) != 0x3B) {
    if (Gif.at(At) == 0x21) {  // extension
      if (Gif.at(At + 1) == 0xF9 && (Gif.at(At + 3) & 1)) Facts.Transparent = Gif.at(At + 6);
      At += 2;
      SkipSubBlocks(At);
    } else if (Gif.at(At) == 0x2C) {  // image
      ++Facts.Frames;
      const bool LocalTable = Gif.at(At + 9) & 0x80;
      At += 10 + (LocalTable ? 3u << ((Gif.at(At + 9) & 7) + 1) : 0u) + 1;
      SkipSubBlocks(At);
    } else {
      ADD_FAILURE() << "unknown block " << int(Gif.at(At));
      break;
    }
  }
  return Facts;
}

// The pictures and their size at 1x: Image1 fills its place in the layout,
// the button's picture leaves room for the caption.
struct Picture {
  std::string Name;
  unsigned Width, Height;
};

std::vector<Picture> Pictures() {
  const PixelRect Image1 = ToPixels(ControlNamed("Image1").Rect, kBaseDpi);
  return {{"Image1", unsigned(Image1.Width), unsigned(Image1.Height)}, {"btnStart", 37, 35}};
}

// Scale 1 reads Name.gif, scale 2 Name@2x.gif.
void ExpectPicture(const Picture& Expected, unsigned Scale) {
  const std::string File = Expected.Name + (Scale == 1 ? "" : "@2x") + ".gif";
  SCOPED_TRACE(File);
  const Bytes Gif = ReadBytes(Art(File));
  ASSERT_GT(Gif.size(), 13u + 768u);
  EXPECT_EQ(std::string(Gif.begin(), Gif.begin() + 6), "GIF89a");
  EXPECT_EQ(Word(Gif, 6), Expected.Width * Scale);
  EXPECT_EQ(Word(Gif, 8), Expected.Height * Scale);
  const unsigned char Packed = Gif[10];
  EXPECT_TRUE(Packed & 0x80) << "global colour table";
  EXPECT_EQ(2u << (Packed & 7), 256u) << "entries in the colour table";
  const GifFacts Facts = Walk(Gif, 13 + 768);
  EXPECT_EQ(Facts.Frames, 1);
  EXPECT_EQ(Facts.Transparent, 15);
}

TEST(Artwork, PicturesAreSingleFrameGifsWith256ColoursAndIndex15Transparent) {
  for (const Picture& Expected : Pictures()) ExpectPicture(Expected, 1);
}

TEST(Artwork, EachPictureComesAgainAtTwiceTheSizeByTheSameRules) {
  for (const Picture& Expected : Pictures()) ExpectPicture(Expected, 2);
}

TEST(Artwork, IconIsOne32By32ImageOf256Colours) {
  const Bytes Icon = ReadBytes(Art("mirvane.ico"));
  ASSERT_GT(Icon.size(), 6u + 16u + 40u);
  EXPECT_EQ(Word(Icon, 0), 0u);
  EXPECT_EQ(Word(Icon, 2), 1u) << "an icon, not a cursor";
  EXPECT_EQ(Word(Icon, 4), 1u) << "one image";
  EXPECT_EQ(Icon[6], 32);
  EXPECT_EQ(Icon[7], 32);
  const std::size_t Image = Word(Icon, 18) | (std::size_t(Word(Icon, 20)) << 16);
  EXPECT_EQ(Word(Icon, Image + 14), 8u) << "bits per pixel";
}

}  // namespace
}  // namespace mirvane
