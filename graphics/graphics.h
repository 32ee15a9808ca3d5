// SPDX-License-Identifier: MIT
// The Vexil drawing interface: windows, pages, keyboard, drawing state and primitives.
#pragma once

// Programs get HWND, RGB, the VK_ and WM_ names as a Windows build of such a library gives them.
#ifdef _WIN32
#include <windows.h>
#else
#include <win32/win32.h>
#endif

// Window numbers that closegraph and the current-window query use.
enum WindowNumbers {
    CURRENT_WINDOW = -1,
    ALL_WINDOWS = -2,
    NO_CURRENT_WINDOW = -3,
};

// The sixteen palette colours.
enum PaletteColors {
    BLACK,
    BLUE,
    GREEN,
    CYAN,
    RED,
    MAGENTA,
    BROWN,
    LIGHTGRAY,
    DARKGRAY,
    LIGHTBLUE,
    LIGHTGREEN,
    LIGHTCYAN,
    LIGHTRED,
    LIGHTMAGENTA,
    YELLOW,
    WHITE,
};

// Line styles for setlinestyle; USERBIT_LINE draws the caller's 16-bit pattern.
enum LineStyles {
    SOLID_LINE,
    DOTTED_LINE,
    CENTER_LINE,
    DASHED_LINE,
    USERBIT_LINE,
};

// Line thicknesses in pixels.
enum LineWidths {
    NORM_WIDTH = 1,
    THICK_WIDTH = 3,
};

// Fill styles for setfillstyle; USER_FILL is installed by setfillpattern.
enum FillStyles {
    EMPTY_FILL,
    SOLID_FILL,
    LINE_FILL,
    LTSLASH_FILL,
    SLASH_FILL,
    BKSLASH_FILL,
    LTBKSLASH_FILL,
    HATCH_FILL,
    XHATCH_FILL,
    INTERLEAVE_FILL,
    WIDE_DOT_FILL,
    CLOSE_DOT_FILL,
    USER_FILL,
};

// Write modes; setwritemode knows COPY_PUT and XOR_PUT.
enum WriteModes {
    COPY_PUT,
    XOR_PUT,
    OR_PUT,
    AND_PUT,
    NOT_PUT,
};

// Driver numbers kept for old programs; every window reports VGA.
enum GraphicsDrivers {
    DETECT,
    CGA,
    MCGA,
    EGA,
    EGA64,
    EGAMONO,
    IBM8514,
    HERCMONO,
    ATT400,
    VGA,
    PC3270,
    CURRENT_DRIVER = -1,
};

// Mode numbers of each driver, as initgraph sizes them.
enum GraphicsModes {
    CGAC0 = 0,
    CGAC1 = 1,
    CGAC2 = 2,
    CGAC3 = 3,
    CGAHI = 4,
    MCGAC0 = 0,
    MCGAC1 = 1,
    MCGAC2 = 2,
    MCGAC3 = 3,
    MCGAMED = 4,
    MCGAHI = 5,
    EGALO = 0,
    EGAHI = 1,
    EGA64LO = 0,
    EGA64HI = 1,
    EGAMONOHI = 3,
    HERCMONOHI = 0,
    ATT400C0 = 0,
    ATT400C1 = 1,
    ATT400C2 = 2,
    ATT400C3 = 3,
    ATT400MED = 4,
    ATT400HI = 5,
    VGALO = 0,
    VGAMED = 1,
    VGAHI = 2,
    PC3270HI = 0,
    IBM8514LO = 0,
    IBM8514HI = 1,
};

// Error codes that graphresult returns and grapherrormsg describes.
enum GraphicsErrors {
    grOk = 0,
    grNoInitGraph = -1,
    grNotDetected = -2,
    grFileNotFound = -3,
    grInvalidDriver = -4,
    grNoLoadMem = -5,
    grNoScanMem = -6,
    grNoFloodMem = -7,
    grFontNotFound = -8,
    grNoFontMem = -9,
    grInvalidMode = -10,
    grError = -11,
    grIOerror = -12,
    grInvalidFont = -13,
    grInvalidFontNum = -14,
    grInvalidDeviceNum = -15,
};

// The viewport as getviewsettings reports it, in page coordinates.
struct viewporttype {
    int left;
    int top;
    int right;
    int bottom;
    int clip;
};

// Line settings as getlinesettings reports them.
struct linesettingstype {
    int linestyle;
    unsigned upattern;
    int thickness;
};

// Fill settings as getfillsettings reports them.
struct fillsettingstype {
    int pattern;
    int color;
};

// The centre and end points of the last arc.
struct arccoordstype {
    int x;
    int y;
    int xstart;
    int ystart;
    int xend;
    int yend;
};

// The same records under their mixed-case names. The lower-case names are the structure
// tags, so programs that write "struct viewporttype v;" compile.
using ViewSettings = viewporttype;
using LineSettings = linesettingstype;
using FillSettings = fillsettingstype;
using ArcCoords = arccoordstype;

// Windows.

// Opens a window with a drawing area of width x height and makes it current; returns its number, or -1.
int initwindow(int width, int height, const char* title = "Windows Vexil", int left = 0, int top = 0,
               bool doublebuffer = false, bool closeexits = true);
// Opens a window sized by an old driver and mode number; driver DETECT writes back VGA and VGAHI.
void initgraph(int* graphdriver, int* graphmode, const char* pathtodriver);
// Closes a window by number, the current one (CURRENT_WINDOW) or all of them (ALL_WINDOWS).
void closegraph(int window = ALL_WINDOWS);
// Returns the current window's number, or NO_CURRENT_WINDOW.
int getcurrentwindow();
// Makes an open window current; other numbers are ignored.
void setcurrentwindow(int window);

// Pages.

// Returns the page that drawing goes to (0 to 3).
int getactivepage();
// Returns the page that the window shows (0 to 3).
int getvisualpage();
// Directs drawing to a page; numbers outside 0 to 3 are ignored.
void setactivepage(int page);
// Shows a page and repaints the window; numbers outside 0 to 3 are ignored.
void setvisualpage(int page);
// Shows the page just drawn and draws on the other of pages 0 and 1.
void swapbuffers();

// Driver, mode and error queries kept for old programs.

// Stores VGA and VGAHI; needs no window.
void detectgraph(int* graphdriver, int* graphmode);
// Returns the driver name "EGAVGA"; the caller must not change it.
char* getdrivername();
// Returns the mode number, always VGAHI.
int getgraphmode();
// Returns the highest mode number, always VGAHI.
int getmaxmode();
// Returns the current window's size as "<width>*<height> VGAHI", in a buffer the next call overwrites.
char* getmodename(int mode_number);
// Stores the lowest and highest mode of a driver, or -1 and -1 with the error grInvalidDriver.
void getmoderange(int graphdriver, int* lomode, int* himode);
// Returns the current window's last error code and clears it.
int graphresult();
// Returns the message of an error code from -15 to 0, or a null pointer for any other code.
char* grapherrormsg(int errorcode);
// Does nothing; kept for old programs.
void restorecrtmode();
// Restores the drawing defaults and clears the active page.
void setgraphmode(int mode);
// Stores the current window's aspect ratio factors.
void getaspectratio(int* xasp, int* yasp);
// Sets the current window's aspect ratio factors; no drawing uses them.
void setaspectratio(int xasp, int yasp);

// Keyboard.

// Returns 1 when a byte typed into the current window is waiting, else 0; never waits.
int kbhit();
// Returns the next byte typed into the current window, waiting for one; special keys give 0 and a code.
int getch();

// Refresh.

// Has the window repaint the rectangle between two corners, right and bottom edges outside.
void refreshvexil(int x1, int y1, int x2, int y2);
// Has the window repaint all of itself.
void refreshallvexil();
// Switches automatic repainting after each drawing call on or off.
void setrefreshingvexil(bool refreshing);
// Tells whether automatic repainting is on.
bool getrefreshingvexil();

// Colours.

// Returns the COLORREF of a colour value: 0 to 15 the palette, anything else its low 24 bits.
COLORREF converttorgb(int color);
// Returns the colour value for red, green and blue: a palette index when one matches.
int COLOR(int red, int green, int blue);
// Returns 15, the highest palette index.
int getmaxcolor();
// Sets the drawing colour.
void setcolor(int color);
// Returns the drawing colour as it was set.
int getcolor();
// Sets the background colour that clearing and patterns use.
void setbkcolor(int color);
// Returns the background colour as it was set.
int getbkcolor();
// Returns the colour value of a pixel of the active page, or -1 outside the page or the clipping.
int getpixel(int x, int y);
// Returns the colour value that the active page stores when asked to draw a colour.
int getdisplaycolor(int color);

// Line and fill styles.

// Sets the line style, the user pattern (low 16 bits) and the thickness.
void setlinestyle(int linestyle, unsigned upattern, int thickness);
// Stores the line settings.
void getlinesettings(linesettingstype* lineinfo);
// Sets a predefined fill style and its colour on the active page; an invalid style gives grError.
void setfillstyle(int pattern, int color);
// Stores the fill settings.
void getfillsettings(fillsettingstype* fillinfo);
// Sets an 8 x 8 user fill pattern, one byte per row, 1 bits in the fill colour.
void setfillpattern(const char* upattern, int color);
// Stores the 8 bytes of the last user fill pattern.
void getfillpattern(char* pattern);
// Sets the active page's write mode, COPY_PUT or XOR_PUT.
void setwritemode(int mode);

// Viewport, position, defaults and sizes.

// Restores the current window's drawing defaults.
void graphdefaults();
// Sets the viewport in page coordinates; non-zero clip clips drawing to it.
void setviewport(int left, int top, int right, int bottom, int clip);
// Stores the viewport.
void getviewsettings(viewporttype* viewport);
// Paints the viewport in the background colour and moves to (0, 0).
void clearviewport();
// Paints the whole active page in the background colour and moves to its top-left corner.
void cleardevice();
// Sets the current position.
void moveto(int x, int y);
// Moves the current position by (dx, dy).
void moverel(int dx, int dy);
// Returns the x of the current position.
int getx();
// Returns the y of the current position.
int gety();
// Returns the largest x of the drawing area.
int getmaxx();
// Returns the largest y of the drawing area.
int getmaxy();
// Returns the window's outer width.
int getwindowwidth();
// Returns the window's outer height.
int getwindowheight();
// Returns the widest drawing area whose window fits on the screen; needs no window.
int getmaxwidth();
// Returns the highest drawing area whose window fits on the screen; needs no window.
int getmaxheight();
// Stores the centre and end points of the last arc.
void getarccoords(arccoordstype* arccoords);
// Waits a number of milliseconds; the window goes on painting meanwhile.
void delay(int milliseconds);

// Lines and points.

// Sets one pixel to a colour.
void putpixel(int x, int y, int color);
// Draws a line; the current position stays.
void line(int x1, int y1, int x2, int y2);
// Draws a line from the current position and moves there.
void lineto(int x, int y);
// Draws a line from the current position by (dx, dy) and moves there.
void linerel(int dx, int dy);
// Draws a rectangle's outline.
void rectangle(int left, int top, int right, int bottom);
// Draws a polyline through numpoints points given as x, y pairs.
void drawpoly(int numpoints, const int* polypoints);

// Curves and filled shapes. Angles are degrees, counter-clockwise from three o'clock.

// Draws a circular arc.
void arc(int x, int y, int stangle, int endangle, int radius);
// Draws a circle.
void circle(int x, int y, int radius);
// Draws an elliptical arc; a whole ellipse when the angles meet.
void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius);
// Draws a filled ellipse with its outline.
void fillellipse(int x, int y, int xradius, int yradius);
// Draws a filled circular slice with its outline.
void pieslice(int x, int y, int stangle, int endangle, int radius);
// Draws a filled elliptical slice with its outline.
void sector(int x, int y, int stangle, int endangle, int xradius, int yradius);
// Fills a rectangle, corners included, without an outline.
void bar(int left, int top, int right, int bottom);
// Draws a filled, outlined front face with a receding side and, when topflag is set, a top.
void bar3d(int left, int top, int right, int bottom, int depth, int topflag);
// Draws a filled polygon with its outline through numpoints x, y pairs.
void fillpoly(int numpoints, const int* polypoints);
// Fills the area around (x, y) bounded by pixels of the border colour.
void floodfill(int x, int y, int border);
