#include "model/TextField.h"

#include <cstring>

namespace vesk {

size_t FieldLength(const char* field, size_t size) {
    if (field == nullptr) return 0;
    const void* zero = std::memchr(field, '\0', size);
    return zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : size;
}

CString FieldText(const char* field, size_t size) {
    return CString(field, static_cast<int>(FieldLength(field, size)));
}

bool IsLeadByte(unsigned char byte, uint32_t codePage) {
    switch (codePage) {
        case 932:  // Shift JIS
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case 936:  // GBK
        case 949:  // Unified Hangul
        case 950:  // Big5
            return byte >= 0x81 && byte <= 0xFE;
        default:
            return false;
    }
}

void CopyNameIntoField(char* field, size_t size, const char* text, uint32_t codePage) {
    if (field == nullptr || size == 0) return;
    const size_t capacity = size - 1;
    size_t copied = 0;
    if (text != nullptr) {
        while (copied < capacity && text[copied] != '\0') {
            const bool pair = IsLeadByte(static_cast<unsigned char>(text[copied]), codePage) &&
                              text[copied + 1] != '\0';
            if (pair && copied + 2 > capacity) break;
            field[copied] = text[copied];
            if (pair) {
                field[copied + 1] = text[copied + 1];
                ++copied;
            }
            ++copied;
        }
    }
    field[copied] = '\0';
    field[capacity] = '\0';
}

}  // namespace vesk
