// The C library as far as the simulator's C++ code and the statically linked C++ runtime
// need it, built on the kernel's own exports, so that the driver imports nothing but
// ntoskrnl.exe. Memory comes from the non-paged pool; std::mutex and the runtime's once and
// thread-key calls run on kernel mutexes; files are opened through the object manager; the
// rest (locale, environment, random numbers, system messages) answers as a C library would
// that has none of them.
#include <ntddk.h>

#include <locale.h>
#include <stdarg.h>
#include <stdint.h>

#include "KernelNumbers.h"
#include "KernelPool.h"

// Kernel exports that ntddk.h does not declare.
NTSYSAPI VOID NTAPI RtlRaiseException(PEXCEPTION_RECORD record);
_CRTIMP int __cdecl _snprintf(char* buffer, size_t size, const char* format, ...);
_CRTIMP int __cdecl _vsnprintf(char* buffer, size_t size, const char* format, va_list arguments);


// ---------------------------------------------------------------------------------------------
// Memory. A 16-byte header keeps the size for realloc and the alignment malloc promises.

typedef struct {
    SIZE_T size;
    SIZE_T reserved;
} AllocationHeader;

void* malloc(size_t size) {
    if (size > (SIZE_T)-1 - sizeof(AllocationHeader)) return NULL;
    AllocationHeader* header = (AllocationHeader*)ExAllocatePoolWithTag(
        NonPagedPool, sizeof(AllocationHeader) + size, KSIM_POOL_TAG);
    if (!header) return NULL;
    header->size = size;
    return header + 1;
}

void free(void* block) {
    if (block) ExFreePoolWithTag((AllocationHeader*)block - 1, KSIM_POOL_TAG);
}

void* calloc(size_t count, size_t size) {
    if (size && count > (SIZE_T)-1 / size) return NULL;
    void* block = malloc(count * size);
    if (block) RtlZeroMemory(block, count * size);
    return block;
}

void* realloc(void* block, size_t size) {
    if (!block) return malloc(size);
    if (!size) {
        free(block);
        return NULL;
    }
    void* grown = malloc(size);
    if (!grown) return NULL;
    SIZE_T old = ((AllocationHeader*)block - 1)->size;
    RtlCopyMemory(grown, block, old < size ? old : size);
    free(block);
    return grown;
}

// ---------------------------------------------------------------------------------------------
// Process-level calls. The driver's static objects live until the driver image is unloaded,
// so nothing registered with atexit needs to run.

void abort(void) {
    KeBugCheckEx(0xE2 /* MANUALLY_INITIATED_CRASH */, 0x5653494D, 0, 0, 0);
}

int atexit(void (*function)(void)) {
    (void)function;
    return 0;
}

char* getenv(const char* name) {
    (void)name;
    return NULL;
}

char* strerror(int code) {
    (void)code;
    return (char*)"error";
}

static int errnoValue;
static int* ErrnoLocation(void) {
    return &errnoValue;
}
int* (*__imp__errno)(void) = ErrnoLocation;

static struct lconv cLocale = {.decimal_point = (char*)".", .thousands_sep = (char*)""};
static struct lconv* CLocale(void) {
    return &cLocale;
}
struct lconv* (*__imp_localeconv)(void) = CLocale;

// std::random_device and the system error messages are never asked for; they fail as they
// would on a system without them.
static int NoRandom(unsigned* value) {
    (void)value;
    return 22 /* EINVAL */;
}
int (*__imp_rand_s)(unsigned*) = NoRandom;

static unsigned long NoMessage(unsigned long flags, const void* source, unsigned long id,
                               unsigned long language, char* buffer, unsigned long size,
                               va_list* arguments) {
    (void)flags, (void)source, (void)id, (void)language, (void)buffer, (void)size, (void)arguments;
    return 0;
}
unsigned long (*__imp_FormatMessageA)(unsigned long, const void*, unsigned long, unsigned long,
                                      char*, unsigned long, va_list*) = NoMessage;

static void* LocalFreeNothing(void* memory) {
    (void)memory;
    return NULL;
}
void* (*__imp_LocalFree)(void*) = LocalFreeNothing;

int read(int file, void* buffer, unsigned size) {
    (void)file, (void)buffer, (void)size;
    return -1;
}

int close(int file) {
    (void)file;
    return -1;
}

// C++ exceptions are raised as the system's exceptions, which the kernel raises as well.
static void RaiseCxxException(unsigned long code, unsigned long flags, unsigned long count,
                              const ULONG_PTR* arguments) {
    EXCEPTION_RECORD record;
    RtlZeroMemory(&record, sizeof record);
    record.ExceptionCode = (NTSTATUS)code;
    record.ExceptionFlags = flags;
    record.ExceptionAddress = (PVOID)RaiseCxxException;
    if (count > EXCEPTION_MAXIMUM_PARAMETERS) count = EXCEPTION_MAXIMUM_PARAMETERS;
    record.NumberParameters = count;
    for (unsigned long i = 0; i < count; ++i) record.ExceptionInformation[i] = arguments[i];
    RtlRaiseException(&record);
}
void (*__imp_RaiseException)(unsigned long, unsigned long, unsigned long,
                             const ULONG_PTR*) = RaiseCxxException;

// ---------------------------------------------------------------------------------------------
// Threads: mutexes, once, thread keys and condition variables of the posix thread model the
// C++ runtime was built for. A mutex is a kernel mutex made on first use, because the C++
// runtime initialises std::mutex statically to -1.

typedef intptr_t pthread_mutex_t;
typedef intptr_t pthread_cond_t;
typedef long pthread_once_t;
typedef unsigned pthread_key_t;

static PKMUTEX KernelMutexOf(pthread_mutex_t* mutex) {
    intptr_t current = *(volatile intptr_t*)mutex;
    if (current != 0 && current != -1) return (PKMUTEX)current;
    PKMUTEX made = (PKMUTEX)ExAllocatePoolWithTag(NonPagedPool, sizeof(KMUTEX), KSIM_POOL_TAG);
    if (!made) abort();
    KeInitializeMutex(made, 0);
    PVOID before = InterlockedCompareExchangePointer((PVOID*)mutex, made, (PVOID)current);
    if (before != (PVOID)current) {
        ExFreePoolWithTag(made, KSIM_POOL_TAG);
        return (PKMUTEX)before;
    }
    return made;
}

int pthread_mutex_init(pthread_mutex_t* mutex, const void* attributes) {
    (void)attributes;
    *mutex = -1;
    return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    KeWaitForSingleObject(KernelMutexOf(mutex), Executive, KernelMode, FALSE, NULL);
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    KeReleaseMutex(KernelMutexOf(mutex), FALSE);
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* mutex) {
    if (*mutex != 0 && *mutex != -1) ExFreePoolWithTag((PVOID)*mutex, KSIM_POOL_TAG);
    *mutex = -1;
    return 0;
}

static void PauseBriefly(void) {
    LARGE_INTEGER interval;
    interval.QuadPart = -10000;  // 1 ms
    KeDelayExecutionThread(KernelMode, FALSE, &interval);
}

// Condition variables may wake spuriously; waking by polling keeps them correct without a
// waiter list. The runtime only waits on them while a static is initialised on another thread.
int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    (void)condition;
    pthread_mutex_unlock(mutex);
    PauseBriefly();
    pthread_mutex_lock(mutex);
    return 0;
}

int pthread_cond_broadcast(pthread_cond_t* condition) {
    (void)condition;
    return 0;
}

int pthread_once(pthread_once_t* once, void (*function)(void)) {
    enum { kNotRun = 0, kRunning = 1, kDone = 2 };
    if (InterlockedCompareExchange(once, kRunning, kNotRun) == kNotRun) {
        function();
        InterlockedExchange(once, kDone);
    }
    while (InterlockedCompareExchange(once, kDone, kDone) != kDone) PauseBriefly();
    return 0;
}

// Thread keys: the C++ runtime keeps its exception globals in one. A small table of threads
// is enough for the few threads that ever run the driver's code; a thread past it fails.
enum { kMaxKeys = 8, kMaxThreads = 64 };
typedef struct {
    HANDLE thread;
    void* values[kMaxKeys];
} ThreadValues;
static ThreadValues threadValues[kMaxThreads];
static pthread_mutex_t threadValuesLock = -1;
static LONG keyCount;

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    (void)destructor;
    LONG next = InterlockedIncrement(&keyCount);
    if (next > kMaxKeys) return 11 /* EAGAIN */;
    *key = (pthread_key_t)(next - 1);
    return 0;
}

static ThreadValues* ValuesOfThisThread(int create) {
    HANDLE self = PsGetCurrentThreadId();
    ThreadValues* found = NULL;
    pthread_mutex_lock(&threadValuesLock);
    for (int i = 0; i < kMaxThreads && !found; ++i)
        if (threadValues[i].thread == self) found = &threadValues[i];
    for (int i = 0; i < kMaxThreads && !found && create; ++i)
        if (!threadValues[i].thread) {
            found = &threadValues[i];
            found->thread = self;
        }
    pthread_mutex_unlock(&threadValuesLock);
    return found;
}

void* pthread_getspecific(pthread_key_t key) {
    ThreadValues* values = key < kMaxKeys ? ValuesOfThisThread(0) : NULL;
    return values ? values->values[key] : NULL;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
    ThreadValues* values = key < kMaxKeys ? ValuesOfThisThread(1) : NULL;
    if (!values) return 12 /* ENOMEM */;
    values->values[key] = (void*)value;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Formatting and number parsing.

// C99 semantics over the kernel's _vsnprintf, which neither terminates a truncated text nor
// says how long it would have been.
int __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments) {
    char whole[1024];
    va_list copy;
    va_copy(copy, arguments);
    int length = _vsnprintf(whole, sizeof whole - 1, format, copy);
    va_end(copy);
    if (length < 0) length = sizeof whole - 1;
    whole[length] = 0;
    if (size) {
        size_t kept = (size_t)length < size - 1 ? (size_t)length : size - 1;
        RtlCopyMemory(buffer, whole, kept);
        buffer[kept] = 0;
    }
    return length;
}

// What the checked formatting of mingw-w64's headers calls.
int __mingw_snprintf(char* buffer, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int length = __mingw_vsnprintf(buffer, size, format, arguments);
    va_end(arguments);
    return length;
}

int __mingw_vsprintf(char* buffer, const char* format, va_list arguments) {
    return __mingw_vsnprintf(buffer, 1024, format, arguments);
}

unsigned long long strtoull(const char* text, char** end, int base) {
    int overflow = 0;
    unsigned long long value = KcrtParseUnsigned(text, end, base, &overflow);
    if (overflow) errnoValue = 34 /* ERANGE */;
    return value;
}

long long strtoll(const char* text, char** end, int base) {
    int overflow = 0;
    long long value = KcrtParseSigned(text, end, base, &overflow);
    if (overflow) errnoValue = 34 /* ERANGE */;
    return value;
}

double __mingw_strtod(const char* text, char** end) {
    return KcrtParseDouble(text, end);
}

float __mingw_strtof(const char* text, char** end) {
    return (float)KcrtParseDouble(text, end);
}

// ---------------------------------------------------------------------------------------------
// Files: whole-file reads and writes of scenarios, dumps and the trace. Paths are the
// system's DOS paths ("C:\..."); every write goes straight to the file.

typedef struct {
    HANDLE handle;
    int error;
    int debugOutput;
} KernelFile;

static KernelFile debugStream = {NULL, 0, 1};

static KernelFile* OpenFile(const char* path, int write) {
    char ntPath[600];
    const char* prefix = path[0] == '\\' ? "" : "\\??\\";
    if (_snprintf(ntPath, sizeof ntPath - 1, "%s%s", prefix, path) < 0) return NULL;
    ntPath[sizeof ntPath - 1] = 0;
    ANSI_STRING ansi;
    UNICODE_STRING name;
    RtlInitAnsiString(&ansi, ntPath);
    if (!NT_SUCCESS(RtlAnsiStringToUnicodeString(&name, &ansi, TRUE))) return NULL;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL,
                               NULL);
    IO_STATUS_BLOCK io;
    HANDLE handle = NULL;
    NTSTATUS status = ZwCreateFile(&handle, (write ? GENERIC_WRITE : GENERIC_READ) | SYNCHRONIZE,
                                   &attributes, &io, NULL, FILE_ATTRIBUTE_NORMAL,
                                   FILE_SHARE_READ | (write ? 0 : FILE_SHARE_WRITE),
                                   write ? FILE_OVERWRITE_IF : FILE_OPEN,
                                   FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL, 0);
    RtlFreeUnicodeString(&name);
    if (!NT_SUCCESS(status)) return NULL;
    KernelFile* file = (KernelFile*)malloc(sizeof(KernelFile));
    if (!file) {
        ZwClose(handle);
        return NULL;
    }
    file->handle = handle;
    file->error = 0;
    file->debugOutput = 0;
    return file;
}

void* fopen(const char* path, const char* mode) {
    return OpenFile(path, mode[0] == 'w');
}

int fclose(void* stream) {
    KernelFile* file = (KernelFile*)stream;
    if (!file || file->debugOutput) return 0;
    const int result = NT_SUCCESS(ZwClose(file->handle)) ? 0 : -1;
    free(file);
    return result;
}

size_t fwrite(const void* data, size_t size, size_t count, void* stream) {
    KernelFile* file = (KernelFile*)stream;
    const size_t bytes = size * count;
    if (!bytes) return 0;
    if (file->debugOutput) {
        DbgPrint("%.*s", (int)bytes, (const char*)data);
        return count;
    }
    IO_STATUS_BLOCK io;
    NTSTATUS status =
        ZwWriteFile(file->handle, NULL, NULL, NULL, &io, (PVOID)data, (ULONG)bytes, NULL, NULL);
    if (!NT_SUCCESS(status) || io.Information != bytes) {
        file->error = 1;
        return 0;
    }
    return count;
}

size_t fread(void* data, size_t size, size_t count, void* stream) {
    KernelFile* file = (KernelFile*)stream;
    if (!size || !count || file->debugOutput) return 0;
    IO_STATUS_BLOCK io;
    NTSTATUS status =
        ZwReadFile(file->handle, NULL, NULL, NULL, &io, data, (ULONG)(size * count), NULL, NULL);
    if (status == STATUS_END_OF_FILE) return 0;
    if (!NT_SUCCESS(status)) {
        file->error = 1;
        return 0;
    }
    return io.Information / size;
}

int fputs(const char* text, void* stream) {
    const size_t length = strlen(text);
    return fwrite(text, 1, length, stream) == length ? 0 : -1;
}

int fputc(int character, void* stream) {
    const char c = (char)character;
    return fwrite(&c, 1, 1, stream) == 1 ? (unsigned char)c : -1;
}

int fflush(void* stream) {
    (void)stream;
    return 0;
}

int ferror(void* stream) {
    return ((KernelFile*)stream)->error;
}

// stdin, stdout and stderr: what the runtime writes there (a terminate message) goes to the
// kernel debugger output.
static void* StandardStream(unsigned index) {
    (void)index;
    return &debugStream;
}
void* (*__imp___acrt_iob_func)(unsigned) = StandardStream;

// ---------------------------------------------------------------------------------------------
// Stack canaries. The code is built with them as the panel is; a canary found overwritten
// stops the system as a kernel driver's overrun buffer must (bug check 0xF7,
// DRIVER_OVERRAN_STACK_BUFFER), before the function can return through a damaged frame.

// A constant: the driver is the tests' stand-in, and a guard changed while guarded frames are
// live would fail them.
uintptr_t __stack_chk_guard = (uintptr_t)0x2f8a6c1d5e3b9047ULL;

void __stack_chk_fail(void) {
    KeBugCheckEx(0xF7, 0, __stack_chk_guard, 0, 0);
}
