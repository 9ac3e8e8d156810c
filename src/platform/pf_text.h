// pf_text.h: UTF-8 and Windows-1252 helpers the platform layer's own files share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Length (1..4) of the well-formed UTF-8 sequence at p, storing its code point;
// 0 when the bytes there are not well-formed (overlong, surrogate, cut short...).
int PfDecodeUtf8(const unsigned char* p, size_t available, uint32_t& codePoint);
void PfAppendUtf8(std::string& out, uint32_t codePoint);
bool PfIsValidUtf8(const char* data, size_t size);
// Every byte converted to its Windows-1252 character in UTF-8; the five bytes
// that code page leaves undefined become the C1 control with the same value.
std::string PfWindows1252ToUtf8(const char* data, size_t size);
