// The companion libraries link no C runtime, yet the compiler may still emit calls to these for
// structure copies and clears. Built with -fno-tree-loop-distribute-patterns so that the loops are
// not turned back into calls of themselves.
#include <stddef.h>

void* memset(void* destination, int value, size_t count) {
    unsigned char* d = (unsigned char*)destination;
    while (count-- > 0) *d++ = (unsigned char)value;
    return destination;
}

void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* d = (unsigned char*)destination;
    const unsigned char* s = (const unsigned char*)source;
    while (count-- > 0) *d++ = *s++;
    return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
    unsigned char* d = (unsigned char*)destination;
    const unsigned char* s = (const unsigned char*)source;
    if (d < s) {
        while (count-- > 0) *d++ = *s++;
    } else {
        while (count-- > 0) d[count] = s[count];
    }
    return destination;
}

int memcmp(const void* a, const void* b, size_t count) {
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (size_t i = 0; i < count; ++i)
        if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    return 0;
}
