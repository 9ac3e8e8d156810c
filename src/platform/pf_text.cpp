// pf_text.cpp: UTF-8 decoding, Windows-1252 conversion, upper-casing and the user's locale name.
#include "pf_text.h"
#include "platform.h"

#include <cstdlib>

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half equals Latin-1.
constexpr uint16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Blocks where upper and lower case alternate: [first, last], and whether the
// upper-case letter of each pair sits on the even code point.
struct CasePairRange {
    uint32_t first;
    uint32_t last;
    bool upperEven;
};
constexpr CasePairRange CasePairs[] = {
    {0x0100, 0x012F, true},  {0x0132, 0x0137, true},  {0x0139, 0x0148, false},
    {0x014A, 0x0177, true},  {0x0179, 0x017E, false}, {0x03D8, 0x03EF, true},
    {0x0460, 0x0481, true},  {0x048A, 0x04BF, true},  {0x04C1, 0x04CE, false},
    {0x04D0, 0x052F, true},  {0x1E00, 0x1E95, true},  {0x1EA0, 0x1EFF, true},
};

// Simple (one code point to one) upper-case mapping for Latin, Greek and
// Cyrillic. "ß" has no single upper-case letter and stays as it is.
uint32_t UpperCodePoint(uint32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c == 0x00B5) return 0x039C;                               // micro sign -> Greek Mu
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return c - 0x20;  // à..þ
    if (c == 0x00FF) return 0x0178;                               // ÿ
    if (c == 0x0131) return 'I';                                  // dotless i
    if (c == 0x017F) return 'S';                                  // long s
    for (const CasePairRange& r : CasePairs) {
        if (c >= r.first && c <= r.last) {
            // The small letter always follows its capital.
            bool even = (c & 1) == 0;
            return even == r.upperEven ? c : c - 1;
        }
    }
    // Greek. Text in capitals carries no tonos: accented letters, small or
    // capital, become their plain capitals, and ΐ ΰ keep only their diaeresis.
    if (c >= 0x03B1 && c <= 0x03CB && c != 0x03C2) return c - 0x20;  // α..ϋ
    if (c == 0x03C2) return 0x03A3;                                   // final sigma
    switch (c) {
        case 0x03AC: case 0x0386: return 0x0391;  // ά Ά
        case 0x03AD: case 0x0388: return 0x0395;  // έ Έ
        case 0x03AE: case 0x0389: return 0x0397;  // ή Ή
        case 0x03AF: case 0x038A: return 0x0399;  // ί Ί
        case 0x03CC: case 0x038C: return 0x039F;  // ό Ό
        case 0x03CD: case 0x038E: return 0x03A5;  // ύ Ύ
        case 0x03CE: case 0x038F: return 0x03A9;  // ώ Ώ
        case 0x0390: return 0x03AA;               // ΐ
        case 0x03B0: return 0x03AB;               // ΰ
        default: break;
    }
    // Cyrillic
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;  // а..я
    if (c >= 0x0450 && c <= 0x045F) return c - 0x50;  // ѐ..џ
    if (c == 0x04CF) return 0x04C0;                   // palochka
    return c;
}

}  // namespace

int PfDecodeUtf8(const unsigned char* p, size_t available, uint32_t& codePoint) {
    if (available == 0) return 0;
    unsigned char b = p[0];
    if (b < 0x80) { codePoint = b; return 1; }
    int length;
    uint32_t min;
    if (b >= 0xC2 && b <= 0xDF) { length = 2; min = 0x80; codePoint = b & 0x1F; }
    else if (b >= 0xE0 && b <= 0xEF) { length = 3; min = 0x800; codePoint = b & 0x0F; }
    else if (b >= 0xF0 && b <= 0xF4) { length = 4; min = 0x10000; codePoint = b & 0x07; }
    else return 0;
    if (available < size_t(length)) return 0;
    for (int i = 1; i < length; i++) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF) return 0;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
    return length;
}

void PfAppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool PfIsValidUtf8(const char* data, size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    size_t i = 0;
    while (i < size) {
        if (p[i] < 0x80) { i++; continue; }
        uint32_t c;
        int length = PfDecodeUtf8(p + i, size - i, c);
        if (length == 0) return false;
        i += size_t(length);
    }
    return true;
}

std::string PfWindows1252ToUtf8(const char* data, size_t size) {
    std::string out;
    out.reserve(size + size / 4);
    for (size_t i = 0; i < size; i++) {
        auto b = static_cast<unsigned char>(data[i]);
        if (b < 0x80) out += char(b);
        else if (b < 0xA0) PfAppendUtf8(out, Windows1252High[b - 0x80]);
        else PfAppendUtf8(out, b);
    }
    return out;
}

std::string UpperCase(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t i = 0;
    while (i < text.size()) {
        uint32_t c;
        int length = PfDecodeUtf8(p + i, text.size() - i, c);
        if (length == 0) {  // not UTF-8: the byte is kept as it is
            out += char(p[i]);
            i++;
            continue;
        }
        PfAppendUtf8(out, UpperCodePoint(c));
        i += size_t(length);
    }
    return out;
}

std::string UserLocale() {
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string value;
    for (const char* name : names) {
        const char* v = std::getenv(name);
        if (v && *v) { value = v; break; }
    }
    // "language_TERRITORY.codeset@modifier": keep language and territory.
    size_t cut = value.find_first_of(".@");
    if (cut != std::string::npos) value.erase(cut);
    if (value == "C" || value == "POSIX") return "";
    for (char& ch : value) {
        if (ch == '_') ch = '-';
    }
    return value;
}
