#include "app/TickmonApp.h"
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CTickmonApp application;
    return application.Run();
}
