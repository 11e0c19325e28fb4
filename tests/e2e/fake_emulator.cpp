// Stands in for the emulator: a process named kavri.exe that waits until it is ended.
#include <windows.h>

int main() {
    ::Sleep(INFINITE);
    return 0;
}
