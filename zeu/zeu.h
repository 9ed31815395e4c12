/// @file
/// The framework's global interface: start-up and shut-down, levelled
/// diagnostics, the integer parameter interface, the frame stack and every
/// process-wide setting, and helpers for applications (a windowed start-up,
/// frame timing, modifier and held keys, the wheel's buttons). All state
/// lives for the whole process; nothing here is ever freed, since the process
/// ends through exit().
#pragma once

class zeFont;  ///< Font objects: stored in the font table, no operations here.

// ---- Window, view and frame state -------------------------------------------
extern int zeuDisplayMode;   ///< GLUT display-mode bits, GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH.
extern int zeuWindowWidth;   ///< Pixels, as the last reshape (or parameter set) left it.
extern int zeuWindowHeight;  ///< Pixels, as the last reshape (or parameter set) left it.
extern int frameDepth;       ///< Number of frames currently open.
extern char zeuResourceLocation[256];  ///< A folder name kept for applications; "C:/zeWindow/".
extern bool zeuWindowClear;            ///< Outermost standard frames clear the window.
extern float zeuWindowBgColor[3];      ///< Clear colour: red, green, blue.
extern float zeuScreenFov;             ///< Vertical field of view of the standard view, degrees.
extern float zeuScreenNear;  ///< Stored near distance (the standard view computes its own).
extern float zeuScreenFar;   ///< Stored far distance (the standard view computes its own).

// ---- Diagnostics -------------------------------------------------------------
extern int zeuDebugLevel;  ///< Messages of level <= this are printed.
extern char* zeuDebugStr;  ///< 64-byte scratch block.

// ---- Application and full-screen toggle state -------------------------------
extern int aafullScreen;                 ///< 1 full screen, 0 windowed.
extern int aahaveShrunk;                 ///< The default window has been computed once.
extern int aafullWidth;                  ///< Width the window had when it last left full screen.
extern int aafullHeight;                 ///< Height the window had when it last left full screen.
extern int aaWinX;                       ///< Window position to go back to from full screen: x.
extern int aaWinY;                       ///< Window position to go back to from full screen: y.
extern int aaWinW;                       ///< Window size to go back to from full screen: width.
extern int aaWinH;                       ///< Window size to go back to from full screen: height.
extern unsigned char aaValidWindowSize;  ///< Display gate: the window has a width.
extern int aaLastMouseButton;            ///< Button of the latest press or release.
extern int aaGrabCount;                  ///< Stored grab count; -1 after an application is made.

// ---- Stored settings of features with no operations in this system ---------
extern int zeuTimeStep;              ///< Stored time step (ZEU_TIME_STEP).
extern bool zeuVideoOpened;          ///< Stored video setting.
extern bool zeuVideoMirrorImage;     ///< Stored video setting.
extern int zeuVideoProxyCount;       ///< Stored video setting (ZEU_VIDEO_PROXY_COUNT).
extern bool zeuVideoProxyRepeating;  ///< Stored video setting.
extern int zeuVideoProxyRawWidth;    ///< Stored video setting (ZEU_VIDEO_PROXY_RAW_WIDTH).
extern int zeuVideoProxyRawHeight;   ///< Stored video setting (ZEU_VIDEO_PROXY_RAW_HEIGHT).
extern int zeuVideoFPS;              ///< Stored video setting (ZEU_VIDEO_FPS).
extern int zeuVideoWidth;            ///< Stored video setting (ZEU_VIDEO_WIDTH, read-only).
extern int zeuVideoHeight;           ///< Stored video setting (ZEU_VIDEO_HEIGHT, read-only).
extern int zeuVideoArrayWidth;       ///< Stored video setting (ZEU_VIDEO_ARRAY_WIDTH).
extern int zeuVideoArrayHeight;      ///< Stored video setting (ZEU_VIDEO_ARRAY_HEIGHT).
extern void* zeuTesselator;          ///< Stored tessellator pointer; null.
extern int zeuScreenGrabQuality;     ///< Stored screen-grab setting (ZEU_SCREEN_GRAB_QUALITY).
extern unsigned char* zeuScreenGrabBuffer;   ///< Screen-grab block, freed on a window resize.
extern bool zeuScreenGrabFlip;               ///< Stored screen-grab setting.
extern unsigned char* zeuScreenGrabFlipper;  ///< Screen-grab block, freed on a window resize.
extern int zeuScreenGrabFormat;      ///< Stored screen-grab setting (ZEU_SCREEN_GRAB_FORMAT).
extern int zeuScreenGrabX;           ///< Stored screen-grab rectangle: x.
extern int zeuScreenGrabY;           ///< Stored screen-grab rectangle: y.
extern int zeuScreenGrabWidth;       ///< Stored screen-grab rectangle: width.
extern int zeuScreenGrabHeight;      ///< Stored screen-grab rectangle: height.
extern bool zeuTextInited;           ///< The font table has been emptied by zeuTextInit.
extern zeFont* zeutFontList[50];     ///< The font table; all null.
extern char zeutFontNames[50][128];  ///< Names of the font table's entries; all empty.
extern int zeutCurrentFont;          ///< Index into the font table, -1 for none.
extern int zeuFontNormalize;         ///< Stored font setting.

// ---- Parameter codes (16-bit; only the low 16 bits of a code are looked at) -
constexpr short ZEU_DEBUG_LEVEL = 10;              ///< 1 value: zeuDebugLevel.
constexpr short ZEU_WINDOW_WIDTH = 22;             ///< 1 value, read-only: zeuWindowWidth.
constexpr short ZEU_WINDOW_HEIGHT = 23;            ///< 1 value, read-only: zeuWindowHeight.
constexpr short ZEU_WINDOW_SIZE = 24;              ///< 2 values; setting resizes the window.
constexpr short ZEU_SCREEN_GRAB_QUALITY = 29;      ///< 1 value: zeuScreenGrabQuality.
constexpr short ZEU_SCREEN_GRAB_FORMAT = 31;       ///< 1 value: zeuScreenGrabFormat.
constexpr short ZEU_SCREEN_GRAB_X = 32;            ///< 1 value: zeuScreenGrabX.
constexpr short ZEU_SCREEN_GRAB_Y = 33;            ///< 1 value: zeuScreenGrabY.
constexpr short ZEU_SCREEN_GRAB_WIDTH = 34;        ///< 1 value: zeuScreenGrabWidth.
constexpr short ZEU_SCREEN_GRAB_HEIGHT = 35;       ///< 1 value: zeuScreenGrabHeight.
constexpr short ZEU_SCREEN_GRAB_RECT = 36;         ///< 4 values: x, y, width, height.
constexpr short ZEU_TIME_STEP = 42;                ///< 1 value: zeuTimeStep.
constexpr short ZEU_VIDEO_WIDTH = 200;             ///< 1 value, read-only: zeuVideoWidth.
constexpr short ZEU_VIDEO_HEIGHT = 201;            ///< 1 value, read-only: zeuVideoHeight.
constexpr short ZEU_VIDEO_SIZE = 202;              ///< 2 values, read-only: width, height.
constexpr short ZEU_VIDEO_ARRAY_WIDTH = 203;       ///< 1 value: zeuVideoArrayWidth.
constexpr short ZEU_VIDEO_ARRAY_HEIGHT = 204;      ///< 1 value: zeuVideoArrayHeight.
constexpr short ZEU_VIDEO_ARRAY_SIZE = 205;        ///< 2 values: width, height.
constexpr short ZEU_VIDEO_FPS = 207;               ///< 1 value: zeuVideoFPS.
constexpr short ZEU_VIDEO_PROXY_COUNT = 208;       ///< 1 value: zeuVideoProxyCount.
constexpr short ZEU_VIDEO_PROXY_RAW_WIDTH = 210;   ///< 1 value: zeuVideoProxyRawWidth.
constexpr short ZEU_VIDEO_PROXY_RAW_HEIGHT = 211;  ///< 1 value: zeuVideoProxyRawHeight.

// ---- Start-up and shut-down --------------------------------------------------
void zeuOpen();   ///< Toolkit, full-screen window, GL defaults, framework defaults.
void zeuClose();  ///< Shrink to 100 x 100 and exit(0) on the fifth idle call.
void reshape(int width, int height);  ///< Provisional reshape callback of zeuOpen.
void winddown_cb();                   ///< Idle callback of the shut-down count-down.
void zeuTextInit();                   ///< Empties the font table.

// ---- Diagnostics -------------------------------------------------------------
/// Prints text and a newline on stderr when level <= zeuDebugLevel; level 1
/// then ends the process with exit(-1), printed or not.
void zeuDebug(short level, const char* text);

// ---- Parameter interface -----------------------------------------------------
/// Copies the values of the code into values; a bad code warns at level 2.
void zeuGetIntegerv(short code, int* values);
/// Stores values into the settings of the code; a bad code warns at level 2.
void zeuSetIntegerv(short code, int* values);
int zeuGetInteger(short code);  ///< First value of the code; 0 for a bad code.

// ---- Frame stack and standard 3D view ---------------------------------------
void frameStepUp();    ///< Opens a frame: resets at the outermost, else pushes both matrices.
void frameStepDown();  ///< Closes a frame: swaps at the outermost, else pops both matrices.
void updateToloViewConstants();  ///< Recomputes the standard view from the window size.
void zeuOpenToloFrame();         ///< Opens a frame with the standard 3D view and its lighting.
void zeuCloseToloFrame();        ///< Closes it, as frameStepDown.

// ---- Helpers for applications -------------------------------------------------
/// Start-up like zeuOpen, but in a window of width x height pixels titled
/// `title` ("zeu" when null; 640 x 480 for a size that is not positive). F1
/// toggles full screen from there.
void zeuOpenWindow(const char* title, int width, int height);

/// Seconds since start-up (zeuOpen or zeuOpenWindow; since the process began
/// when neither has run yet), from a monotonic clock.
double zeuElapsedSeconds();
/// Seconds between the starts of the last two drawn frames; 0 before the
/// second. Multiply per-second speeds by it so that motion does not depend on
/// the frame rate.
float zeuFrameSeconds();

constexpr int ZEU_SHIFT = 1;  ///< zeuModifiers bit: a Shift key.
constexpr int ZEU_CTRL = 2;   ///< zeuModifiers bit: a Ctrl key.
constexpr int ZEU_ALT = 4;    ///< zeuModifiers bit: an Alt key.
/// The Shift, Ctrl and Alt keys held during the keyboard or mouse event being
/// handled, as ZEU_SHIFT | ZEU_CTRL | ZEU_ALT bits; during a drag or a move,
/// those of the latest button or key event; 0 outside input handlers.
int zeuModifiers();
/// Whether the key is held, from the presses and releases seen so far. Letters
/// are one key whatever the case. Releases are watched from the first call
/// on, so a key already held then reads as up until it is pressed again.
bool zeuKeyIsDown(unsigned char key);

/// The button number mouseDown and mouseUp receive for a notch of the wheel
/// turned away from the user (a press and a release per notch).
constexpr int ZEU_WHEEL_UP = 3;
/// The button number for a notch of the wheel turned towards the user.
constexpr int ZEU_WHEEL_DOWN = 4;
