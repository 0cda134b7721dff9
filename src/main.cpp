// Process entry. The application object and its start-up arrive with the application shell.
#include <cstdio>

int main()
{
    std::puts("vesk: the application shell is not built yet.");
    return 0;
}
