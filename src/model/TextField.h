// Reading and writing the fixed-size 8-bit text fields of driver records. A record that came
// from the driver is never trusted to hold a zero byte inside a field, so every read stops at
// the field's end as well as at its first zero.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/CString.h"

namespace vesk {

// Number of characters before the first zero byte, or `size` when the field has none.
size_t FieldLength(const char* field, size_t size);

// The field's text: up to its first zero byte or its end, whichever comes first.
CString FieldText(const char* field, size_t size);

template <size_t N>
CString FieldText(const char (&field)[N]) {
    return FieldText(field, N);
}

// Whether `byte` starts a two-byte character in the ANSI code page `codePage` (the double-byte
// code pages of Japanese, Chinese and Korean; no byte does in any other).
bool IsLeadByte(unsigned char byte, uint32_t codePage);

// The rename copy: writes at most size - 1 bytes of `text` (stopping early at its end), a zero
// after the last one copied, and a zero into the field's last byte. A text cut short is cut
// between characters of `codePage`, never inside a two-byte one. Bytes between the two zeros
// keep their old values, so a record sent back differs from the one read only in the name. A
// null text counts as empty.
void CopyNameIntoField(char* field, size_t size, const char* text, uint32_t codePage = 1252);

template <size_t N>
void CopyNameIntoField(char (&field)[N], const char* text, uint32_t codePage = 1252) {
    CopyNameIntoField(field, N, text, codePage);
}

}  // namespace vesk
