// SPDX-License-Identifier: MIT
// Double buffering: a bar bounces across the window, drawn on the hidden page and shown at once
// with swapbuffers, until a key is typed.
#include <graphics.h>

int main()
{
    initwindow(640, 480, "Pages", 100, 100, true);
    const int size = 60;
    int x = 0;
    int y = 0;
    int dx = 4;
    int dy = 3;
    while (!kbhit()) {
        cleardevice();
        setfillstyle(SOLID_FILL, LIGHTGREEN);
        bar(x, y, x + size, y + size);
        setcolor(YELLOW);
        rectangle(x, y, x + size, y + size);
        swapbuffers();
        if (x + dx < 0 || x + dx + size > getmaxx())
            dx = -dx;
        if (y + dy < 0 || y + dy + size > getmaxy())
            dy = -dy;
        x += dx;
        y += dy;
        delay(15);
    }
    getch();
    closegraph();
    return 0;
}
