// UTF-8 to and from UTF-16: valid text whole, bad text refused or replaced.
#include "utf16_win.h"

#include <gtest/gtest.h>

namespace mirvane {
namespace {

using namespace std::string_literals;

TEST(Utf16, KeepsValidTextWholeAndRefusesOrReplacesBadText) {
  for (const BadText Bad : {BadText::Refuse, BadText::Replace}) {
    EXPECT_EQ(Utf16("\xE3\x82\xAB\0\xF0\x9F\x98\x80"s, Bad), L"\u30AB\0\U0001F600"s);
    EXPECT_EQ(Utf8(L"\u30AB\0\U0001F600"s, Bad), "\xE3\x82\xAB\0\xF0\x9F\x98\x80"s);
  }
  EXPECT_EQ(Utf16("a\xFF", BadText::Refuse), L"");
  EXPECT_EQ(Utf16("a\xFF", BadText::Replace), L"a\uFFFD");
  EXPECT_EQ(Utf8(L"a\xD800"s, BadText::Refuse), "");  // a lone surrogate
  EXPECT_EQ(Utf8(L"a\xD800"s, BadText::Replace), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace mirvane
