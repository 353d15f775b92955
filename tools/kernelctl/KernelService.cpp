#include "KernelService.h"

#include <windows.h>

#include <memory>

namespace kernelctl {
namespace {

struct ServiceCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using Service = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceCloser>;

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + " failed with " + std::to_string(GetLastError());
    return false;
}

// The system records the device the driver registers its interface on under this key, and
// refuses to register it again while the record of an earlier run is left.
void ForgetDeviceRecord() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Enum\\ROOT\\VESKSIM");
}

bool WaitForState(SC_HANDLE service, DWORD wanted) {
    for (int i = 0; i < 200; ++i) {
        SERVICE_STATUS status = {};
        if (!QueryServiceStatus(service, &status)) return false;
        if (status.dwCurrentState == wanted) return true;
        Sleep(50);  // the service control manager offers no wait for a state
    }
    return false;
}

// The service control manager of a prefix whose server has just started may not be up yet
// (RPC_S_SERVER_UNAVAILABLE): it is asked again until it answers, for at most ten seconds.
SC_HANDLE OpenManager() {
    for (int i = 0;; ++i) {
        if (SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS))
            return manager;
        if (GetLastError() != RPC_S_SERVER_UNAVAILABLE || i == 200) return nullptr;
        Sleep(50);  // the service control manager offers no wait for its start either
    }
}

bool RemoveService(SC_HANDLE manager, std::string* error) {
    Service service(OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS));
    if (!service)
        return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST || Fail(error, "OpenService");
    SERVICE_STATUS status = {};
    if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status) &&
        !WaitForState(service.get(), SERVICE_STOPPED))
        return Fail(error, "stopping the driver");
    if (!DeleteService(service.get())) return Fail(error, "DeleteService");
    return true;
}

}  // namespace

bool StartDriver(const std::string& sysPath, std::string* error) {
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (!length || length >= MAX_PATH) return Fail(error, "GetSystemDirectory");
    const std::string installed = std::string(folder) + "\\drivers\\" + kServiceName + ".sys";
    Service manager(OpenManager());
    if (!manager) return Fail(error, "OpenSCManager");
    if (!RemoveService(manager.get(), error)) return false;
    ForgetDeviceRecord();
    if (!CopyFileA(sysPath.c_str(), installed.c_str(), FALSE))
        return Fail(error, "copying " + sysPath);
    Service service(CreateServiceA(manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                   SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                   SERVICE_ERROR_NORMAL, installed.c_str(), nullptr, nullptr,
                                   nullptr, nullptr, nullptr));
    if (!service) return Fail(error, "CreateService");
    if (!StartServiceA(service.get(), 0, nullptr)) return Fail(error, "StartService");
    if (!WaitForState(service.get(), SERVICE_RUNNING)) return Fail(error, "starting the driver");
    return true;
}

bool StopDriver(std::string* error) {
    Service manager(OpenManager());
    if (!manager) return Fail(error, "OpenSCManager");
    if (!RemoveService(manager.get(), error)) return false;
    ForgetDeviceRecord();
    return true;
}

}  // namespace kernelctl
