// What a program without a restricted DLL search does: load a system DLL by its bare name.
// Beside a planted DLL it shows that the planting test's setting (native DLLs first) really
// loads the planted one.
#include <windows.h>

int main() {
    return ::LoadLibraryA("oleacc.dll") != nullptr ? 0 : 1;
}
