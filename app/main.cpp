#include <cstdio>

#include "platform/BrokenPipe.h"

int main()
{
    platform::IgnoreBrokenPipe();
    std::puts("Arbolite: the main window is not built yet; nothing to run.");
    return 0;
}
