// SPDX-License-Identifier: MIT
// Keys: the arrow keys move a circle, the space bar fills it with the next colour, Escape ends
// the program.
#include <graphics.h>

namespace {

constexpr int kEscape = 27;
constexpr int kUp = 72;
constexpr int kDown = 80;
constexpr int kLeft = 75;
constexpr int kRight = 77;

} // namespace

int main()
{
    initwindow(400, 300, "Keys: arrows move, space fills, Escape ends");
    int x = 200;
    int y = 150;
    const int radius = 30;
    int fill = BLACK;
    for (;;) {
        cleardevice();
        setcolor(WHITE);
        circle(x, y, radius);
        if (fill != BLACK) {
            setfillstyle(SOLID_FILL, fill);
            floodfill(x, y, WHITE);
        }
        int key = getch();
        if (key == kEscape)
            break;
        if (key == ' ') {
            fill = fill % 14 + 1;
            continue;
        }
        if (key != 0)
            continue;
        // Special keys come as 0 followed by their code.
        key = getch();
        const int step = 10;
        if (key == kUp && y - radius - step >= 0)
            y -= step;
        else if (key == kDown && y + radius + step <= getmaxy())
            y += step;
        else if (key == kLeft && x - radius - step >= 0)
            x -= step;
        else if (key == kRight && x + radius + step <= getmaxx())
            x += step;
    }
    closegraph();
    return 0;
}
