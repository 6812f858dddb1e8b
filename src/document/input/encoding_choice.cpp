// The encoding of a load and the DOS flag.
#include "encoding_choice.h"

#include <string>

#include "document_record.h"
#include "printer_codes.h"
#include "text_encoding.h"
#include "utf16_decoder.h"

namespace folvek {

namespace {

// The sample without its printer commands, whose parameter bytes are no text.
std::string textOfSample(const unsigned char* data, std::size_t len) {
    std::string s;
    s.reserve(len);
    PrinterCodes codes;
    for (std::size_t i = 0; i < len; ++i) {
        const unsigned char b = data[i];
        if (codes.active() && codes.feed(b)) continue;
        if (b == 0x1B) {
            codes.feed(b);
            continue;
        }
        s.push_back(static_cast<char>(b));
    }
    return s;
}

TextEncoding fixedEncoding(EncodingChoice c) {
    switch (c) {
        case EncodingChoice::Cp866:
            return TextEncoding::Cp866;
        case EncodingChoice::Koi8r:
            return TextEncoding::Koi8r;
        case EncodingChoice::Utf8:
            return TextEncoding::Utf8;
        default:
            return TextEncoding::Cp1251;
    }
}

}  // namespace

void settleEncoding(DocumentRecord& r, const unsigned char* first, std::size_t have) {
    const std::int32_t user = r.userIsDos();
    const EncodingChoice choice = r.encodingInForce();
    r.encodingDetected = false;
    r.utf16 = Utf16Form::None;
    // A UTF-16 file says so in its first two bytes; read as any code page it is noise.
    if (choice == EncodingChoice::Auto || choice == EncodingChoice::Utf8)
        r.utf16 = utf16FormOf(first, have);
    if (r.utf16 != Utf16Form::None) {
        r.encodingDetected = choice == EncodingChoice::Auto;
        r.textEncoding = TextEncoding::Utf8;
    } else if (choice == EncodingChoice::Auto) {
        const std::string sample = textOfSample(first, have < kDetectSample ? have : kDetectSample);
        const auto found =
            detectEncoding(reinterpret_cast<const unsigned char*>(sample.data()), sample.size());
        r.encodingDetected = found.has_value();
        r.textEncoding = found ? *found : user ? TextEncoding::Cp866 : TextEncoding::Cp1251;
    } else {
        r.textEncoding = fixedEncoding(choice);
    }
    if (r.encodingDetected || choice != EncodingChoice::Auto) {
        r.isDosBeforeLoad = user;
        r.IsDos = r.textEncoding == TextEncoding::Cp866 ? 1 : 0;
        r.isDosByLoad = r.IsDos;
    } else {
        r.setIsDos(user);
    }
}

std::size_t markLength(const DocumentRecord& r, const unsigned char* first, std::size_t have) {
    if (r.utf16 != Utf16Form::None) return 2;
    if (r.textEncoding == TextEncoding::Utf8 && hasUtf8Bom(first, have)) return 3;
    return 0;
}

}  // namespace folvek
