// How a settings file is stored, so that it is written back the way it came: plain bytes or
// UTF-8 with or without a byte-order mark, UTF-16 as Windows writes it (with a mark, either
// byte order), and CR LF or LF line ends. In memory the text is always bytes with
// LF line ends; UTF-16 is turned into UTF-8, and written back as UTF-16 as long as the text
// is UTF-8 (a byte string that is not, such as a CP1251 path, is written as bytes instead).
#pragma once

#include <string>

namespace folvek {

struct IniEncoding {
    enum class Form { Bytes, Utf8Bom, Utf16LE, Utf16BE };
    Form form = Form::Bytes;
    bool crlf = true;  // a new file, or one with CR LF ends
};

// The file's text with its byte-order mark removed and UTF-16 decoded; `enc` says how it was.
std::string decodeIniText(const std::string& raw, IniEncoding& enc);
// `text` (lines joined by LF) as the file stores it.
std::string encodeIniText(const std::string& text, const IniEncoding& enc);

}  // namespace folvek
