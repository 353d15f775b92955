/* The seam between the driver's kernel side (C, over the DDK) and the portable simulator
 * (C++). Statuses are the simulator's: 0 or a system error code. */
#ifndef VESK_SIM_KERNEL_BRIDGE_H
#define VESK_SIM_KERNEL_BRIDGE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Implemented by the portable side. */
int KsimStart(void); /* 0 when the simulator cannot be made; else 1 */
void KsimStop(void);
int KsimLoaded(void);
uint32_t KsimOpen(void** handle);
void KsimClose(void* handle);
uint32_t KsimControl(void* handle, uint32_t code, const void* input, uint32_t inputSize,
                     void* output, uint32_t outputSize);
/* A command or a scenario file; writes the reply record into `reply`. */
void KsimCommand(uint32_t code, const char* text, uint32_t textSize, void* reply,
                 uint32_t replySize);

/* Implemented by the kernel side. */
void KdrvReferenceClientEvent(uint32_t handleValue);
int KdrvSetClientEvent(uint32_t handleValue);
void KdrvSetInterfacePresent(int present);
/* Between the system's 8-bit code page and UTF-16 (sizes in bytes): the bytes written, or -1. */
int KdrvAnsiToUnicode(const char* ansi, uint32_t ansiSize, uint16_t* wide, uint32_t wideSize);
int KdrvUnicodeToAnsi(const uint16_t* wide, uint32_t wideSize, char* ansi, uint32_t ansiSize);

#ifdef __cplusplus
}
#endif

#endif
