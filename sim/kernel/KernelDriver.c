// The simulated driver as a kernel driver: the control device and its DOS name, the device
// interface whose presence follows the simulated driver's loaded state, the client event
// objects, and the dispatch of create, close, device control and plug-and-play requests to the
// portable simulator behind KernelBridge.h.
#include <ntddk.h>

#include "KernelBridge.h"
#include "KernelControl.h"
#include "KernelPool.h"

// Declared by ntifs.h, which does not go together with ntddk.h.
NTSYSAPI NTSTATUS NTAPI ZwDuplicateObject(HANDLE sourceProcess, HANDLE sourceHandle,
                                          HANDLE targetProcess, PHANDLE targetHandle,
                                          ACCESS_MASK access, ULONG attributes, ULONG options);

static const GUID kInterfaceClass = {
    0xB50F27E2, 0xF1B7, 0x440c, {0x9B, 0xCA, 0x8C, 0xFC, 0x65, 0x3B, 0xD5, 0xC3}};

static PDEVICE_OBJECT controlDevice;
static UNICODE_STRING deviceName = RTL_CONSTANT_STRING(L"\\Device\\VeskSimulatedDriver");
static UNICODE_STRING dosName =
    RTL_CONSTANT_STRING(L"\\DosDevices\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}");
static PDEVICE_OBJECT commandDevice;
static UNICODE_STRING commandDeviceName = RTL_CONSTANT_STRING(L"\\Device\\VeskSimulatorCommands");
static UNICODE_STRING commandDosName = RTL_CONSTANT_STRING(L"\\DosDevices\\VeskSimulatorCommands");
static UNICODE_STRING interfaceLink;
static BOOLEAN interfaceRegistered;

// A connection to the command device carries this in its file object instead of a simulator
// handle.
static char commandConnection;

// Status codes: the simulator answers with system error codes, which the I/O manager must turn
// back into the same codes for the client. Codes with the customer bit (the driver's own
// 0xE... codes) pass through unchanged; the rest travel as NTSTATUS values of the Win32
// facility, which map back to their low 16 bits.
static NTSTATUS StatusFromErrorCode(ULONG code) {
    if (code == 0) return STATUS_SUCCESS;
    if (code & 0x20000000) return (NTSTATUS)code;
    if (code <= 0xFFFF) return (NTSTATUS)(0xC0070000 | code);
    return (NTSTATUS)code;
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

// ---------------------------------------------------------------------------------------------
// Client events. The client hands over a handle value of its own process; the event object is
// referenced while its request is being handled and kept, by that value, until it is replaced
// or the driver unloads.

enum { kMaxClientEvents = 16 };
typedef struct {
    ULONG handleValue;
    PKEVENT event;
} ClientEvent;
static ClientEvent clientEvents[kMaxClientEvents];
static KMUTEX clientEventsLock;

static PKEVENT ReferenceInCallersContext(ULONG handleValue) {
    HANDLE handle = (HANDLE)(LONG_PTR)(LONG)handleValue;  // kernel handles sign-extend
    PVOID object = NULL;
    // On Windows a driver's dispatch routine runs in its caller's context, so the handle
    // resolves directly.
    if (NT_SUCCESS(ObReferenceObjectByHandle(
            handle, EVENT_MODIFY_STATE, (POBJECT_TYPE)ExEventObjectType, UserMode, &object, NULL)))
        return (PKEVENT)object;
    // Wine runs drivers in a process of their own and does not resolve user-mode handles for
    // them, but it does tell whose request is being handled: the handle is duplicated from
    // that process into this one. (mingw-w64 declares ExEventObjectType one level of pointer
    // too deep, hence the casts.)
    CLIENT_ID client = {PsGetCurrentProcessId(), NULL};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, NULL, OBJ_KERNEL_HANDLE, NULL, NULL);
    HANDLE process = NULL, duplicate = NULL;
    if (!NT_SUCCESS(ZwOpenProcess(&process, PROCESS_DUP_HANDLE, &attributes, &client))) return NULL;
    NTSTATUS status = ZwDuplicateObject(process, handle, ZwCurrentProcess(), &duplicate,
                                        EVENT_MODIFY_STATE | SYNCHRONIZE, 0, 0);
    ZwClose(process);
    if (!NT_SUCCESS(status)) return NULL;
    status = ObReferenceObjectByHandle(duplicate, EVENT_MODIFY_STATE,
                                       (POBJECT_TYPE)ExEventObjectType, KernelMode, &object, NULL);
    ZwClose(duplicate);
    return NT_SUCCESS(status) ? (PKEVENT)object : NULL;
}

void KdrvReferenceClientEvent(uint32_t handleValue) {
    PKEVENT event = ReferenceInCallersContext(handleValue);
    if (!event) return;
    KeWaitForSingleObject(&clientEventsLock, Executive, KernelMode, FALSE, NULL);
    int slot = 0;
    for (int i = 0; i < kMaxClientEvents; ++i) {
        if (clientEvents[i].handleValue == handleValue || !clientEvents[i].event) {
            slot = i;
            break;
        }
    }
    // A full table gives up its first entry.
    if (clientEvents[slot].event) ObDereferenceObject(clientEvents[slot].event);
    clientEvents[slot].handleValue = handleValue;
    clientEvents[slot].event = event;
    KeReleaseMutex(&clientEventsLock, FALSE);
}

int KdrvSetClientEvent(uint32_t handleValue) {
    int set = 0;
    KeWaitForSingleObject(&clientEventsLock, Executive, KernelMode, FALSE, NULL);
    for (int i = 0; i < kMaxClientEvents && !set; ++i) {
        if (clientEvents[i].event && clientEvents[i].handleValue == handleValue) {
            KeSetEvent(clientEvents[i].event, IO_NO_INCREMENT, FALSE);
            set = 1;
        }
    }
    KeReleaseMutex(&clientEventsLock, FALSE);
    return set;
}

// ---------------------------------------------------------------------------------------------
// Texts: the driver holds names in the system's 8-bit code page; scenarios and dumps are UTF-8.

// Declared by the WDK's ntifs.h, which mingw-w64's DDK headers leave out.
NTSYSAPI NTSTATUS NTAPI RtlMultiByteToUnicodeN(PWCH unicode, ULONG maxUnicodeBytes,
                                               PULONG unicodeBytes, const CHAR* multiByte,
                                               ULONG multiByteBytes);
NTSYSAPI NTSTATUS NTAPI RtlUnicodeToMultiByteN(PCHAR multiByte, ULONG maxMultiByteBytes,
                                               PULONG multiByteBytes, PCWCH unicode,
                                               ULONG unicodeBytes);

int KdrvAnsiToUnicode(const char* ansi, uint32_t ansiSize, uint16_t* wide, uint32_t wideSize) {
    ULONG written = 0;
    if (!NT_SUCCESS(RtlMultiByteToUnicodeN((PWCH)wide, wideSize, &written, ansi, ansiSize)))
        return -1;
    return (int)written;
}

int KdrvUnicodeToAnsi(const uint16_t* wide, uint32_t wideSize, char* ansi, uint32_t ansiSize) {
    ULONG written = 0;
    if (!NT_SUCCESS(RtlUnicodeToMultiByteN(ansi, ansiSize, &written, (PCWCH)wide, wideSize)))
        return -1;
    return (int)written;
}

static void ReleaseClientEvents(void) {
    for (int i = 0; i < kMaxClientEvents; ++i) {
        if (clientEvents[i].event) ObDereferenceObject(clientEvents[i].event);
        clientEvents[i].event = NULL;
    }
}

// ---------------------------------------------------------------------------------------------
// Presence: while the simulated driver is unloaded its device path does not exist, as with a
// real driver that is not loaded, so opening it fails with "file not found" before it reaches
// the driver. (Under Wine, a client gets its handle even when the driver fails the open.) The
// system tells windows registered for the device interface of its arrival and removal.

static BOOLEAN dosNamePresent;

void KdrvSetInterfacePresent(int present) {
    if (present && !dosNamePresent)
        dosNamePresent = NT_SUCCESS(IoCreateSymbolicLink(&dosName, &deviceName));
    if (!present && dosNamePresent) {
        IoDeleteSymbolicLink(&dosName);
        dosNamePresent = FALSE;
    }
    if (interfaceRegistered) IoSetDeviceInterfaceState(&interfaceLink, present ? TRUE : FALSE);
}

// Registering an interface on a device asks the device for its identifiers.
static NTSTATUS DispatchPnp(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->MinorFunction == IRP_MN_QUERY_ID) {
        const WCHAR* id = NULL;
        if (stack->Parameters.QueryId.IdType == BusQueryDeviceID) id = L"ROOT\\VESKSIM";
        if (stack->Parameters.QueryId.IdType == BusQueryInstanceID) id = L"0000";
        if (id) {
            SIZE_T bytes = (wcslen(id) + 1) * sizeof(WCHAR);
            WCHAR* copy = (WCHAR*)ExAllocatePoolWithTag(PagedPool, bytes, KSIM_POOL_TAG);
            if (!copy) return Complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
            RtlCopyMemory(copy, id, bytes);
            return Complete(irp, STATUS_SUCCESS, (ULONG_PTR)copy);
        }
    }
    NTSTATUS status = irp->IoStatus.Status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

// ---------------------------------------------------------------------------------------------
// Connections and requests.

static NTSTATUS DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    if (device == commandDevice) {
        file->FsContext = &commandConnection;
        return Complete(irp, STATUS_SUCCESS, 0);
    }
    if (file->FileName.Length != 0)
        return Complete(irp, StatusFromErrorCode(2 /* ERROR_FILE_NOT_FOUND */), 0);
    // Fails only in the moment between an unload and the removal of the device path.
    void* handle = NULL;
    ULONG code = KsimOpen(&handle);
    if (code == 0) file->FsContext = handle;
    return Complete(irp, StatusFromErrorCode(code), 0);
}

static NTSTATUS DispatchClose(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    if (file->FsContext && file->FsContext != &commandConnection) KsimClose(file->FsContext);
    file->FsContext = NULL;
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS DispatchCommand(PIRP irp, ULONG code, ULONG inputSize, ULONG outputSize) {
    if (outputSize < VESK_SIM_REPLY_SIZE)
        return Complete(irp, StatusFromErrorCode(87 /* ERROR_INVALID_PARAMETER */), 0);
    char* text = (char*)ExAllocatePoolWithTag(NonPagedPool, inputSize + 1, KSIM_POOL_TAG);
    if (!text) return Complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
    RtlCopyMemory(text, irp->AssociatedIrp.SystemBuffer, inputSize);
    text[inputSize] = 0;
    KsimCommand(code, text, inputSize, irp->AssociatedIrp.SystemBuffer, VESK_SIM_REPLY_SIZE);
    ExFreePoolWithTag(text, KSIM_POOL_TAG);
    return Complete(irp, STATUS_SUCCESS, VESK_SIM_REPLY_SIZE);
}

static NTSTATUS DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    PFILE_OBJECT file = stack->FileObject;
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inputSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outputSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    if (file->FsContext == &commandConnection) {
        if (code == IOCTL_VESK_SIM_COMMAND || code == IOCTL_VESK_SIM_SCENARIO)
            return DispatchCommand(irp, code, inputSize, outputSize);
        return Complete(irp, StatusFromErrorCode(1 /* ERROR_INVALID_FUNCTION */), 0);
    }
    // Buffered requests share one system buffer for input and output; the simulator reads
    // its input from a copy so that writing the output cannot disturb it.
    const BOOLEAN buffered = METHOD_FROM_CTL_CODE(code) == METHOD_BUFFERED;
    void* input = NULL;
    if (buffered && inputSize) {
        input = ExAllocatePoolWithTag(NonPagedPool, inputSize, KSIM_POOL_TAG);
        if (!input) return Complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
        RtlCopyMemory(input, irp->AssociatedIrp.SystemBuffer, inputSize);
    }
    void* output = buffered ? irp->AssociatedIrp.SystemBuffer : NULL;
    const ULONG result = KsimControl(file->FsContext, code, input, buffered ? inputSize : 0, output,
                                     buffered ? outputSize : 0);
    if (input) ExFreePoolWithTag(input, KSIM_POOL_TAG);
    return Complete(irp, StatusFromErrorCode(result), result == 0 && buffered ? outputSize : 0);
}

// ---------------------------------------------------------------------------------------------
// Loading and unloading.

// Without the C runtime's start-up code the image's static constructors are run here, the way
// the C runtime runs them: the list's first entry is its length or -1, then the constructors,
// run last to first.
typedef void (*StaticConstructor)(void);
extern StaticConstructor __CTOR_LIST__[];

static void RunStaticConstructors(void) {
    ULONG_PTR count = (ULONG_PTR)__CTOR_LIST__[0];
    if (count == (ULONG_PTR)-1)
        for (count = 0; __CTOR_LIST__[count + 1]; ++count) {
        }
    for (ULONG_PTR i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

static void DriverUnload(PDRIVER_OBJECT driver) {
    (void)driver;
    KdrvSetInterfacePresent(0);
    if (interfaceRegistered) RtlFreeUnicodeString(&interfaceLink);
    interfaceRegistered = FALSE;
    IoDeleteSymbolicLink(&commandDosName);
    if (controlDevice) IoDeleteDevice(controlDevice);
    if (commandDevice) IoDeleteDevice(commandDevice);
    controlDevice = commandDevice = NULL;
    KsimStop();
    ReleaseClientEvents();
}

// A device and, unless `dosDeviceName` is null, its DOS name.
static NTSTATUS CreateDevice(PDRIVER_OBJECT driver, PUNICODE_STRING name,
                             PUNICODE_STRING dosDeviceName, PDEVICE_OBJECT* device) {
    NTSTATUS status =
        IoCreateDevice(driver, 0, name, 0x8088 /* FILE_DEVICE_VESK */, 0, FALSE, device);
    if (!NT_SUCCESS(status)) return status;
    status = dosDeviceName ? IoCreateSymbolicLink(dosDeviceName, name) : STATUS_SUCCESS;
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(*device);
        *device = NULL;
        return status;
    }
    (*device)->Flags |= DO_BUFFERED_IO;
    (*device)->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    (void)registryPath;
    RunStaticConstructors();
    KeInitializeMutex(&clientEventsLock, 0);
    if (!KsimStart()) return STATUS_INSUFFICIENT_RESOURCES;
    NTSTATUS status = CreateDevice(driver, &deviceName, NULL, &controlDevice);
    if (NT_SUCCESS(status))
        status = CreateDevice(driver, &commandDeviceName, &commandDosName, &commandDevice);
    if (!NT_SUCCESS(status)) {
        DriverUnload(driver);
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->MajorFunction[IRP_MJ_PNP] = DispatchPnp;
    driver->DriverUnload = DriverUnload;
    // Without its interface the driver still serves requests; only arrival and removal
    // notices are missing.
    interfaceRegistered = NT_SUCCESS(
        IoRegisterDeviceInterface(controlDevice, &kInterfaceClass, NULL, &interfaceLink));
    KdrvSetInterfacePresent(KsimLoaded());
    return STATUS_SUCCESS;
}
