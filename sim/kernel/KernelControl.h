/* The kernel-mode simulated driver's own control codes, for its host tool. They are sent on a
 * device of their own, \\.\VeskSimulatorCommands, whose connections never appear in the trace
 * and never reach the catalogue's requests. Their function numbers (0xE01
 * and up) lie outside the catalogue's (0xA00 to 0xAFF). Both take 8-bit text in and give back a
 * reply record: a 32-bit 1 (accepted) or 0 (refused), then the reason as zero-terminated
 * text. */
#ifndef VESK_SIM_KERNEL_CONTROL_H
#define VESK_SIM_KERNEL_CONTROL_H

#define VESK_SIM_COMMAND_PATH "\\\\.\\VeskSimulatorCommands"
/* One simulator command line, as vesk_simctl sends them; paths in it are absolute. */
#define IOCTL_VESK_SIM_COMMAND 0x80883804u
/* An absolute path of a scenario file to load in place of the whole state. */
#define IOCTL_VESK_SIM_SCENARIO 0x80883808u
/* The size of the reply record the host tool offers. */
#define VESK_SIM_REPLY_SIZE 1024u

#endif
