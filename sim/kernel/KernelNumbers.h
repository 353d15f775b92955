/* Number parsing with the C library's rules (strtoull, strtoll, strtod), for the kernel
 * driver's C runtime. Portable, so that it is tested natively against the host's C library.
 * Overflow is reported through `overflow` rather than errno. */
#ifndef VESK_SIM_KERNEL_NUMBERS_H
#define VESK_SIM_KERNEL_NUMBERS_H

#ifdef __cplusplus
extern "C" {
#endif

/* strtoull: the largest value on overflow; a leading minus negates modulo 2^64. */
unsigned long long KcrtParseUnsigned(const char* text, char** end, int base, int* overflow);
/* strtoll: the nearest limit on overflow. */
long long KcrtParseSigned(const char* text, char** end, int base, int* overflow);
/* strtod for decimal text ("1.5e3"): exact for whole numbers up to 2^53, and within a few
 * units in the last place for fractions. No hexadecimal floats, infinities or NaNs. */
double KcrtParseDouble(const char* text, char** end);

#ifdef __cplusplus
}
#endif

#endif
