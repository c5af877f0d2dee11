// UTF-8, the program's text, to and from UTF-16, the text of the wide ("W")
// Win32 calls, which take any name the system does whatever the ANSI code
// page. NULs are carried like any other character.
#pragma once

#include <string>
#include <string_view>

namespace mirvane {

// What becomes of text that is not valid in its encoding: bytes that are not
// UTF-8, or a lone surrogate (NTFS allows one in a name). A path refuses it,
// since a character put in its place would name another file; text that is
// only shown replaces each bad part with U+FFFD.
enum class BadText { Refuse, Replace };

// "" for refused text, and for text too long for the system's conversion
// (more than INT_MAX units) either way.
std::wstring Utf16(std::string_view Text, BadText Bad);
std::string Utf8(std::wstring_view Text, BadText Bad);

}  // namespace mirvane
