// Reading and writing the fixed-size 8-bit text fields of driver records. A record that came
// from the driver is never trusted to hold a zero byte inside a field, so every read stops at
// the field's end as well as at its first zero.
#pragma once

#include <cstddef>

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

// The rename copy: writes at most size - 1 characters of `text` (stopping early at its end),
// a zero after the last one copied, and a zero into the field's last byte. Bytes between the
// two zeros keep their old values, so a record sent back differs from the one read only in
// the name. A null text counts as empty.
void CopyNameIntoField(char* field, size_t size, const char* text);

template <size_t N>
void CopyNameIntoField(char (&field)[N], const char* text) {
    CopyNameIntoField(field, N, text);
}

}  // namespace vesk
