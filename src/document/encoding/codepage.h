// Code pages: DOS 866 <-> Windows 1251 (box drawing becomes the look-alike bytes that the
// renderer draws as lines) and Windows 1251 -> Unicode for drawing text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace folvek {

// 256-entry tables; control characters map to themselves.
const std::uint8_t* oemToAnsiTable();  // 866 -> 1251
const std::uint8_t* ansiToOemTable();  // 1251 -> 866
const char16_t* ansiToUnicodeTable();  // 1251 -> UTF-16 (one unit per byte)

void oemToAnsi(char* text, std::size_t len);
void ansiToOem(char* text, std::size_t len);

// The 1251 byte a DOS box-drawing or block character (0xB0..0xDF in 866) becomes.
std::uint8_t boxLookalike(std::uint8_t dos);

}  // namespace folvek
