#include "output_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace mirvane {
namespace {

TEST(DeriveOutputName, SwapsAMemExtensionOfAnyCaseForLowerCaseMcd) {
  EXPECT_EQ(DeriveOutputName("C:\\cards\\game.mem"), "C:\\cards\\game.mcd");
  EXPECT_EQ(DeriveOutputName("C:\\cards\\GAME.MEM"), "C:\\cards\\GAME.mcd");
  EXPECT_EQ(DeriveOutputName("C:\\cards\\game.Mem"), "C:\\cards\\game.mcd");
  EXPECT_EQ(DeriveOutputName("/home/ann/cards/game.mem"), "/home/ann/cards/game.mcd");
  EXPECT_EQ(DeriveOutputName(".mem"), ".mcd");
}

TEST(DeriveOutputName, AppendsMcdToAnyOtherPath) {
  EXPECT_EQ(DeriveOutputName("C:\\cards\\game.bin"), "C:\\cards\\game.bin.mcd");
  EXPECT_EQ(DeriveOutputName("C:\\cards\\mem"), "C:\\cards\\mem.mcd");
  EXPECT_EQ(DeriveOutputName("C:\\cards\\game.mem "), "C:\\cards\\game.mem .mcd");
  EXPECT_EQ(DeriveOutputName("mem"), "mem.mcd");
  EXPECT_EQ(DeriveOutputName(""), ".mcd");
}

TEST(DeriveOutputName, KeepsEverythingElseByteForByte) {
  const std::string Utf8 = "/tmp/\xE3\x82\xAB\xE3\x83\xBC\xE3\x83\x89.MeM";
  EXPECT_EQ(DeriveOutputName(Utf8), "/tmp/\xE3\x82\xAB\xE3\x83\xBC\xE3\x83\x89.mcd");
  EXPECT_EQ(DeriveOutputName("  spaced .mem"), "  spaced .mcd");
}

}  // namespace
}  // namespace mirvane
