// The names of the watched folder.
#include "watch_names.h"

#include <cstdio>
#include <cstring>

namespace folvek {

namespace {

// The extension's dot, or npos; a leading dot is part of the name.
std::size_t extensionDot(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string::npos : dot;
}

}  // namespace

std::string numberedName(const std::string& name, int n) {
    if (n <= 0) return name;
    const auto dot = extensionDot(name);
    const std::string suffix = "-" + std::to_string(n);
    if (dot == std::string::npos) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string pdfNameFor(const std::string& name, int n) {
    const auto dot = extensionDot(name);
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    if (n > 0) base += "-" + std::to_string(n);
    return base + ".pdf";
}

std::string printableName(const std::string& name) {
    std::string out;
    auto hex = [&out](unsigned char c) {
        char buf[5];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
    };
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            if (c == '\n')
                out += "\\n";
            else if (c < 0x20 || c == 0x7F)
                hex(c);
            else
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        // A whole, shortest-form UTF-8 sequence stays as it is.
        std::size_t len = c >= 0xF0 && c <= 0xF4  ? 4
                          : c >= 0xE0 && c < 0xF0 ? 3
                          : c >= 0xC2 && c < 0xE0 ? 2
                                                  : 0;
        bool valid = len > 0 && i + len <= name.size();
        for (std::size_t k = 1; valid && k < len; ++k)
            valid = (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80;
        if (valid && len == 3) {
            const auto c1 = static_cast<unsigned char>(name[i + 1]);
            valid = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0);
        }
        if (valid && len == 4) {
            const auto c1 = static_cast<unsigned char>(name[i + 1]);
            valid = !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);
        }
        if (valid) {
            out.append(name, i, len);
            i += len;
        } else {
            hex(c);
            ++i;
        }
    }
    return out;
}

}  // namespace folvek
