#include "KernelNumbers.h"

static int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

static int IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

/* The magnitude and sign; `end` is left at the text's start when no digit was read. */
static unsigned long long ParseMagnitude(const char* text, char** end, int base, int* negative,
                                         int* overflow) {
    const char* p = text;
    *negative = 0;
    *overflow = 0;
    while (IsSpace(*p)) ++p;
    if (*p == '+' || *p == '-') *negative = *p++ == '-';
    if ((base == 0 || base == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        DigitValue(p[2]) < 16) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == '0' ? 8 : 10;
    }
    const char* digits = p;
    unsigned long long value = 0;
    if (base >= 2 && base <= 36) {
        for (int digit; (digit = DigitValue(*p)) < base; ++p) {
            if (value > (~0ULL - (unsigned)digit) / (unsigned)base) *overflow = 1;
            value = value * (unsigned)base + (unsigned)digit;
        }
    }
    if (end) *end = (char*)(p == digits ? text : p);
    return value;
}

unsigned long long KcrtParseUnsigned(const char* text, char** end, int base, int* overflow) {
    int negative;
    unsigned long long value = ParseMagnitude(text, end, base, &negative, overflow);
    if (*overflow) return ~0ULL;
    return negative ? 0 - value : value;
}

long long KcrtParseSigned(const char* text, char** end, int base, int* overflow) {
    int negative;
    unsigned long long value = ParseMagnitude(text, end, base, &negative, overflow);
    const unsigned long long limit = negative ? 0x8000000000000000ULL : 0x7fffffffffffffffULL;
    if (*overflow || value > limit) {
        *overflow = 1;
        return negative ? (long long)(0 - 0x7fffffffffffffffULL) - 1 : 0x7fffffffffffffffLL;
    }
    return negative ? (long long)(0 - value) : (long long)value;
}

/* Powers of ten by squaring, so that an exponent costs a handful of multiplications. */
static double PowerOfTen(int exponent) {
    double result = 1, square = 10;
    for (unsigned n = (unsigned)exponent; n; n >>= 1, square *= square)
        if (n & 1) result *= square;
    return result;
}

double KcrtParseDouble(const char* text, char** end) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    double sign = 1;
    if (*p == '+' || *p == '-') sign = *p++ == '-' ? -1 : 1;
    /* The digits as one whole number and a decimal exponent, scaled once at the end. */
    double digits = 0;
    int exponent = 0, seen = 0;
    for (; *p >= '0' && *p <= '9'; ++p, seen = 1) digits = digits * 10 + (*p - '0');
    if (*p == '.')
        for (++p; *p >= '0' && *p <= '9'; ++p, seen = 1) {
            digits = digits * 10 + (*p - '0');
            --exponent;
        }
    if (!seen) {
        if (end) *end = (char*)text;
        return 0;
    }
    if (*p == 'e' || *p == 'E') {
        const char* mark = p++;
        int negative = 0, written = 0;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
        if (*p >= '0' && *p <= '9') {
            for (; *p >= '0' && *p <= '9'; ++p)
                if (written < 100000) written = written * 10 + (*p - '0');
            exponent += negative ? -written : written;
        } else {
            p = mark;
        }
    }
    if (end) *end = (char*)p;
    if (digits == 0) return sign * 0.0;
    if (exponent > 330) return sign * digits * PowerOfTen(330);
    if (exponent < -400) return sign * 0.0;
    /* Very small results are scaled in two steps, so that no divisor overflows. */
    if (exponent < -300) return sign * (digits / PowerOfTen(300)) / PowerOfTen(-exponent - 300);
    return exponent < 0 ? sign * digits / PowerOfTen(-exponent)
                        : sign * digits * PowerOfTen(exponent);
}
