#pragma once

#include <string>
#include <string_view>

// The morphology keeps its words in Windows-1251, one byte a letter; the dictionary and the
// corpus speak UTF-8.

/// Appends the UTF-8 spelling of a Windows-1251 text to out.
void appendCp1251AsUtf8(std::string_view cp1251, std::string *out);
std::string cp1251ToUtf8(std::string_view cp1251);
/// Converts UTF-8 to Windows-1251; false when a character has no Windows-1251 byte or the
/// UTF-8 is malformed.
bool utf8ToCp1251(std::string_view utf8, std::string *out);

inline constexpr char Cp1251SmallYo = char(0xB8);  // ё
inline constexpr char Cp1251SmallIe = char(0xE5);  // е
