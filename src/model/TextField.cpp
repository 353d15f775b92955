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

void CopyNameIntoField(char* field, size_t size, const char* text) {
    if (field == nullptr || size == 0) return;
    const size_t capacity = size - 1;
    size_t copied = 0;
    if (text != nullptr)
        for (; copied < capacity && text[copied] != '\0'; ++copied) field[copied] = text[copied];
    field[copied] = '\0';
    field[capacity] = '\0';
}

}  // namespace vesk
