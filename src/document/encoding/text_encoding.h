// The encodings a report may arrive in, their names in the settings file and on the command
// line, and the detector that tells them apart from a bounded sample of the file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace folvek {

enum class TextEncoding { Cp866, Cp1251, Koi8r, Utf8 };

// A file in UTF-16, told by its byte-order mark: the loader reads it as UTF-8 (what it decodes
// it to), and the editor writes it back in its own form.
enum class Utf16Form { None, LittleEndian, BigEndian };
Utf16Form utf16FormOf(const unsigned char* data, std::size_t len);

// What the user chose: auto-detection or one fixed encoding.
enum class EncodingChoice { Auto, Cp866, Cp1251, Koi8r, Utf8 };

// Settings-file value ("auto", "866", "1251", "koi8-r", "utf-8"); unknown values are Auto.
EncodingChoice encodingChoiceFromSetting(const std::string& value);
const char* encodingChoiceSetting(EncodingChoice c);
// Command-line value ("auto", "cp866", "cp1251", "koi8-r", "utf-8"); nullopt when unknown.
std::optional<EncodingChoice> encodingChoiceFromOption(const std::string& value);
// Short name for the status bar and --info: "866", "1251", "KOI8-R", "UTF-8".
const char* encodingLabel(TextEncoding e);
// "UTF-16LE" or "UTF-16BE" for a UTF-16 file, else as above.
const char* encodingLabel(TextEncoding e, Utf16Form utf16);

// How many bytes of the file's start the detector looks at.
constexpr std::size_t kDetectSample = 64 * 1024;

// The encoding of a sample (the first bytes of a file; a cut-off character at the end is
// allowed), or nullopt when it cannot be told: no byte above 0x7F, too few letters, or a tie.
std::optional<TextEncoding> detectEncoding(const unsigned char* data, std::size_t len);

// What the detector makes of one byte above 0x7F of a single-byte code page: 0 when it is no
// Russian letter there, else 2 * (16 * ln(the letter's frequency)) + (1 for a capital). Zero
// for ASCII and for UTF-8.
int letterScore(TextEncoding page, unsigned char byte);

// True when data starts with the UTF-8 byte-order mark.
inline bool hasUtf8Bom(const unsigned char* data, std::size_t len) {
    return len >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
}

}  // namespace folvek
