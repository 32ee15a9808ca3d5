// SPDX-License-Identifier: MIT
// The twelve predefined fill styles and a user pattern, each in a bar, a slice and a 3-D bar;
// a key ends the program.
#include <graphics.h>

int main()
{
    initwindow(780, 420, "Fill styles");
    setbkcolor(DARKGRAY);
    cleardevice();
    const int cell = 130;
    for (int style = EMPTY_FILL; style <= USER_FILL; ++style) {
        const int left = 10 + (style % 6) * cell;
        const int top = 10 + (style / 6) * 200;
        // The light colours, all of them visible on the dark grey background.
        const int colour = LIGHTBLUE + style % 6;
        if (style == USER_FILL) {
            const char checker[8] = {'\xF0', '\xF0', '\xF0', '\xF0', '\x0F', '\x0F', '\x0F', '\x0F'};
            setfillpattern(checker, colour);
        } else {
            setfillstyle(style, colour);
        }
        setcolor(WHITE);
        bar3d(left, top + 20, left + 90, top + 90, 15, 1);
        pieslice(left + 45, top + 150, 30, 330, 35);
    }
    getch();
    closegraph();
    return 0;
}
