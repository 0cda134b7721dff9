// Usage: xvfb-run -a ./build/tools/displaycheck [picture.png]
#include "displaycheck/DisplayCheck.h"

int main(int argc, char** argv)
{
    return tools::RunDisplayCheck(argc > 1 ? argv[1] : "displaycheck.png");
}
