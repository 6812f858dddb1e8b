// For tests: PCL XL jobs written byte by byte the way a driver writes them (little-endian
// binding), a page to draw on, and the ink of a page's pictures.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "job_interpreter.h"

namespace folvek::printer::test {

using namespace std::string_literals;

inline constexpr JobUnits kPxlDot = kUnitsPerInch / 300;

// Little-endian bytes of a job, written the way a driver writes them.
struct Bytes {
    std::string s;
    Bytes& raw(const std::string& b) { return s += b, *this; }
    Bytes& byte(int b) { return s += static_cast<char>(b), *this; }
    Bytes& u16(int v) { return byte(v & 0xff).byte((v >> 8) & 0xff); }
    Bytes& ub(int v, int attr) { return byte(0xc0).byte(v).byte(0xf8).byte(attr); }
    Bytes& xy(int x, int y, int attr) {  // sint16 pair
        return byte(0xd3).u16(x).u16(y).byte(0xf8).byte(attr);
    }
    Bytes& box(int x1, int y1, int x2, int y2, int attr) {
        return byte(0xe1).u16(x1).u16(y1).u16(x2).u16(y2).byte(0xf8).byte(attr);
    }
    Bytes& realGray(float g) {
        std::uint32_t bits;
        std::memcpy(&bits, &g, 4);
        byte(0xc5).u16(int(bits & 0xffff)).u16(int(bits >> 16));
        return byte(0xf8).byte(0x09);
    }
    Bytes& rgb(int r, int g, int b) {
        return byte(0xc8).byte(0xc0).byte(3).byte(r).byte(g).byte(b).byte(0xf8).byte(0x0b);
    }
    Bytes& realRgb(float r, float g, float b) {
        byte(0xcd).byte(0xc0).byte(3);  // a real32 array of three
        for (float v : {r, g, b}) {
            std::uint32_t bits;
            std::memcpy(&bits, &v, 4);
            u16(int(bits & 0xffff)).u16(int(bits >> 16));
        }
        return byte(0xf8).byte(0x0b);
    }
    Bytes& op(int o) { return byte(o); }
};

inline const std::string kHeader = "\x1b%-12345X@PJL ENTER LANGUAGE = PCLXL\n) HP-PCL XL;2;0\n";

// A session at 300 units an inch, an A4 page, gray colour space, no pen, a black brush.
inline Bytes pageStart() {
    Bytes b;
    b.raw(kHeader).byte(0xd1).u16(300).u16(300).byte(0xf8).byte(0x89).ub(0, 0x86).op(0x41);
    b.ub(0, 0x88).ub(1, 0x82).op(0x48);
    b.ub(0, 0x28).ub(2, 0x25).op(0x43);
    b.ub(1, 0x03).op(0x6a).ub(0, 0x05).op(0x79).ub(0, 0x09).op(0x63);
    return b;
}

inline JobDocument finish(Bytes b) {
    b.op(0x44);  // EndPage
    return interpretJob(b.s);
}

// Whether the dot at (x, y) of the first page (300 dpi) is inked by a picture.
inline bool inkAt(const JobDocument& doc, int x, int y) {
    if (doc.pages.empty()) return false;
    for (const JobRaster& r : doc.pages[0].rasters) {
        const JobUnits ux = x * kPxlDot, uy = y * kPxlDot;
        const int col = int((ux - r.x) * r.dpiX / kUnitsPerInch);
        const int row = int((uy - r.y) * r.dpiY / kUnitsPerInch);
        if (ux < r.x || uy < r.y || col >= r.width || row >= r.height) continue;
        if (r.bits[std::size_t(row) * r.rowBytes + col / 8] & (0x80 >> (col % 8))) return true;
    }
    return false;
}

}  // namespace folvek::printer::test
