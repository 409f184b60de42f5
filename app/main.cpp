#include <cstdio>


int main()
{
    std::puts("Arbolite: the main window is not built yet; nothing to run.");
    return 0;
}
