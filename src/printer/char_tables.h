// The character tables a printer job may select (ESC t, ESC ( t, ESC R, PCL symbol sets): each
// byte of the job's text becomes a Unicode character through the table in force.
#pragma once

#include <cstdint>

namespace folvek::printer {

// The code pages printers of our users carry. PC866 is the Russian printers' own table.
enum class CharTable : std::uint8_t { Pc437, Pc850, Pc852, Pc866, Win1251, Win1252 };

// Sets the table for a DOS or Windows code page number (437, 850, 852, 866, 1251, 1252); false
// number names none of them (the table is left as it was).
bool charTableForCodePage(int codePage, CharTable& table);

// The Unicode character a byte stands for in the table; bytes below 0x80 are ASCII.
char32_t toUnicode(CharTable table, std::uint8_t byte);

}  // namespace folvek::printer
