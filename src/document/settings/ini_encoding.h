// How a settings file is stored, so that it is written back the way it came: plain bytes or
// UTF-8 with or without a byte-order mark, UTF-16 as Windows writes it (with a mark, either
// byte order), code page 1251 (bytes that are no UTF-8: Windows wrote them), and CR LF or LF
// line ends. In memory the text is always bytes with LF line ends; UTF-16 and CP1251 are
// turned into UTF-8 and written back as they came.
#pragma once

#include <string>

namespace folvek {

struct IniEncoding {
    // Cp1251: a file without a mark whose bytes are no UTF-8, as Windows writes its settings;
    // held in memory as UTF-8 and written back in code page 1251.
    enum class Form { Bytes, Utf8Bom, Utf16LE, Utf16BE, Cp1251 };
    Form form = Form::Bytes;
    bool crlf = true;  // a new file, or one with CR LF ends
};

// The file's text with its byte-order mark removed and UTF-16 decoded; `enc` says how it was.
std::string decodeIniText(const std::string& raw, IniEncoding& enc);
// `text` (lines joined by LF) as the file stores it.
std::string encodeIniText(const std::string& text, const IniEncoding& enc);

}  // namespace folvek
