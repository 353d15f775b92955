/* The driver's pool tag: its allocations show as "VSim" in a pool dump. */
#ifndef VESK_SIM_KERNEL_POOL_H
#define VESK_SIM_KERNEL_POOL_H

#define KSIM_POOL_TAG 0x6D695356u

#endif
