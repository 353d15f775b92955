// Ordered pointer storage with the framework's names. The arrays never own what they hold:
// whoever appends a pointer decides when it is freed.
#pragma once

#include <cstddef>
#include <vector>

class CPtrArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    void* GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }
    void* operator[](int index) const { return GetAt(index); }
    int Add(void* item) {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    // Shrinking drops the pointers past the new size without freeing them; growing adds nulls.
    void SetSize(int size) { m_items.resize(size < 0 ? 0 : static_cast<size_t>(size), nullptr); }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<void*> m_items;
};

template <class Base, class Type>
class CTypedPtrArray : public Base {
public:
    Type GetAt(int index) const { return static_cast<Type>(Base::GetAt(index)); }
    Type operator[](int index) const { return GetAt(index); }
    int Add(Type item) { return Base::Add(item); }
    // The element at `index`, or null when the index lies outside the array.
    Type Find(int index) const {
        return index >= 0 && index < Base::GetSize() ? GetAt(index) : nullptr;
    }
};
