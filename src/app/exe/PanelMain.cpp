// The entry of the control panel: the one application object and WinMain.
#include "app/VESK_CPLApp.h"

CVESK_CPLApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int cmdShow) {
    return AfxWinMain(instance, commandLine, cmdShow);
}
