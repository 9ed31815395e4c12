// The framework's global interface: start-up and shut-down, levelled
// diagnostics, the integer parameter interface, the frame stack and every
// process-wide setting. All state lives for the whole process; nothing here
// is ever freed, since the process ends through exit().
#pragma once

class zeFont;  // font objects: stored in the font table, no operations here

// ---- Window, view and frame state -------------------------------------------
extern int zeuDisplayMode;  // GLUT display-mode bits, GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH
extern int zeuWindowWidth;  // pixels, as the last reshape (or parameter set) left it
extern int zeuWindowHeight;
extern int frameDepth;  // number of frames currently open
extern char zeuResourceLocation[256];
extern bool zeuWindowClear;        // outermost standard frames clear the window
extern float zeuWindowBgColor[3];  // clear colour: red, green, blue
extern float zeuScreenFov;         // vertical field of view, degrees
extern float zeuScreenNear;
extern float zeuScreenFar;

// ---- Diagnostics -------------------------------------------------------------
extern int zeuDebugLevel;  // messages of level <= this are printed
extern char* zeuDebugStr;  // 64-byte scratch block

// ---- Application and full-screen toggle state -------------------------------
extern int aafullScreen;  // 1 full screen, 0 windowed
extern int aahaveShrunk;  // the default window has been computed once
extern int aafullWidth;
extern int aafullHeight;
extern int aaWinX;
extern int aaWinY;
extern int aaWinW;
extern int aaWinH;
extern unsigned char aaValidWindowSize;  // display gate: the window has a width
extern int aaLastMouseButton;
extern int aaGrabCount;

// ---- Stored settings of features with no operations in this system ---------
extern int zeuTimeStep;
extern bool zeuVideoOpened;
extern bool zeuVideoMirrorImage;
extern int zeuVideoProxyCount;
extern bool zeuVideoProxyRepeating;
extern int zeuVideoProxyRawWidth;
extern int zeuVideoProxyRawHeight;
extern int zeuVideoFPS;
extern int zeuVideoWidth;
extern int zeuVideoHeight;
extern int zeuVideoArrayWidth;
extern int zeuVideoArrayHeight;
extern void* zeuTesselator;
extern int zeuScreenGrabQuality;
extern unsigned char* zeuScreenGrabBuffer;
extern bool zeuScreenGrabFlip;
extern unsigned char* zeuScreenGrabFlipper;
extern int zeuScreenGrabFormat;
extern int zeuScreenGrabX;
extern int zeuScreenGrabY;
extern int zeuScreenGrabWidth;
extern int zeuScreenGrabHeight;
extern bool zeuTextInited;
extern zeFont* zeutFontList[50];
extern char zeutFontNames[50][128];
extern int zeutCurrentFont;  // index into the font table, -1 for none
extern int zeuFontNormalize;

// ---- Parameter codes (16-bit; only the low 16 bits of a code are looked at) -
constexpr short ZEU_DEBUG_LEVEL = 10;
constexpr short ZEU_WINDOW_WIDTH = 22;
constexpr short ZEU_WINDOW_HEIGHT = 23;
constexpr short ZEU_WINDOW_SIZE = 24;
constexpr short ZEU_SCREEN_GRAB_QUALITY = 29;
constexpr short ZEU_SCREEN_GRAB_FORMAT = 31;
constexpr short ZEU_SCREEN_GRAB_X = 32;
constexpr short ZEU_SCREEN_GRAB_Y = 33;
constexpr short ZEU_SCREEN_GRAB_WIDTH = 34;
constexpr short ZEU_SCREEN_GRAB_HEIGHT = 35;
constexpr short ZEU_SCREEN_GRAB_RECT = 36;
constexpr short ZEU_TIME_STEP = 42;
constexpr short ZEU_VIDEO_WIDTH = 200;
constexpr short ZEU_VIDEO_HEIGHT = 201;
constexpr short ZEU_VIDEO_SIZE = 202;
constexpr short ZEU_VIDEO_ARRAY_WIDTH = 203;
constexpr short ZEU_VIDEO_ARRAY_HEIGHT = 204;
constexpr short ZEU_VIDEO_ARRAY_SIZE = 205;
constexpr short ZEU_VIDEO_FPS = 207;
constexpr short ZEU_VIDEO_PROXY_COUNT = 208;
constexpr short ZEU_VIDEO_PROXY_RAW_WIDTH = 210;
constexpr short ZEU_VIDEO_PROXY_RAW_HEIGHT = 211;

// ---- Start-up and shut-down --------------------------------------------------
void zeuOpen();   // toolkit, full-screen window, GL defaults, framework defaults
void zeuClose();  // shrink to 100 x 100 and exit(0) on the fifth idle call
void reshape(int width, int height);  // provisional reshape callback of zeuOpen
void winddown_cb();                   // idle callback of the shut-down count-down
void zeuTextInit();                   // empties the font table

// ---- Diagnostics -------------------------------------------------------------
// Prints text and a newline on stderr when level <= zeuDebugLevel; level 1
// then ends the process with exit(-1), printed or not.
void zeuDebug(short level, const char* text);

// ---- Parameter interface -----------------------------------------------------
void zeuGetIntegerv(short code, int* values);
void zeuSetIntegerv(short code, int* values);
int zeuGetInteger(short code);  // first value of the code; 0 for a bad code

// ---- Frame stack and standard 3D view ---------------------------------------
void frameStepUp();
void frameStepDown();
void updateToloViewConstants();
void zeuOpenToloFrame();
void zeuCloseToloFrame();

// ---- Helpers for applications -------------------------------------------------
// Start-up like zeuOpen, but in a window of width x height pixels titled
// `title` ("zeu" when null; 640 x 480 for a size that is not positive). F1
// toggles full screen from there.
void zeuOpenWindow(const char* title, int width, int height);

// Seconds since start-up (zeuOpen or zeuOpenWindow; since the process began
// when neither has run yet), from a monotonic clock.
double zeuElapsedSeconds();
// Seconds between the starts of the last two drawn frames; 0 before the
// second. Multiply per-second speeds by it so that motion does not depend on
// the frame rate.
float zeuFrameSeconds();

// Modifier bits of zeuModifiers.
constexpr int ZEU_SHIFT = 1;
constexpr int ZEU_CTRL = 2;
constexpr int ZEU_ALT = 4;
// The Shift, Ctrl and Alt keys held during the keyboard or mouse event being
// handled, as ZEU_SHIFT | ZEU_CTRL | ZEU_ALT bits; during a drag or a move,
// those of the latest button or key event; 0 outside input handlers.
int zeuModifiers();
// Whether the key is held, from the presses and releases seen so far. Letters
// are one key whatever the case. Releases are watched from the first call
// on, so a key already held then reads as up until it is pressed again.
bool zeuKeyIsDown(unsigned char key);

// The button numbers that mouseDown and mouseUp receive for one notch of the
// mouse wheel (a press and a release per notch).
constexpr int ZEU_WHEEL_UP = 3;
constexpr int ZEU_WHEEL_DOWN = 4;
