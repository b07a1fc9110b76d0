#include <windows.h>
#include "app/TickmonApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CTickmonApp application;
    return application.Run();
}
