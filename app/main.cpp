// SPDX-License-Identifier: MIT
// The demonstration program: nine bands of vertical lines in a running sequence of colours,
// shown until a key is typed into the window.
#include <graphics.h>

int main()
{
    initwindow(1200, 900, "Windows Vexil", 0, 0, false, true);
    // Colour values 5, 10 and 15 are palette entries; from 20 on they are direct colours whose
    // red part is the low byte and green part the next byte.
    int a = 1;
    for (int row = 0; row <= 8; ++row) {
        for (int i = 1; i <= 1099; ++i) {
            setcolor(5 * a);
            line(i + 10, 100 * row + 20, i + 10, 100 * row + 80);
            ++a;
        }
    }
    while (!kbhit()) {
    }
    closegraph(ALL_WINDOWS);
    return 0;
}
