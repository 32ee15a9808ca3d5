// SPDX-License-Identifier: MIT
// A program using the installed library as its users write them: a window, a bar, a pixel read back.
#include <graphics.h>

int main()
{
    if (initwindow(64, 48, "installed", 0, 0, false, false) < 0)
        return 1;
    setfillstyle(SOLID_FILL, LIGHTGREEN);
    bar(10, 10, 20, 20);
    const bool drawn = getpixel(15, 15) == LIGHTGREEN && getpixel(20, 20) == BLACK;
    closegraph();
    return drawn ? 0 : 1;
}
