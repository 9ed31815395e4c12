// Every process-wide variable of the framework, with its value at load time.
// zeuOpen sets most of them again; the ones it leaves alone keep these.
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

// ---- Window, view and frame state -------------------------------------------
int zeuDisplayMode = 18;  // GLUT_RGB (0) | GLUT_DOUBLE (2) | GLUT_DEPTH (16)
int zeuWindowWidth = 0;
int zeuWindowHeight = 0;
int frameDepth = 0;
char zeuResourceLocation[256] = "";
bool zeuWindowClear = false;
float zeuWindowBgColor[3] = {0.0f, 0.0f, 0.0f};
float zeuScreenFov = 0.0f;
float zeuScreenNear = 0.0f;
float zeuScreenFar = 0.0f;

// ---- Diagnostics -------------------------------------------------------------
int zeuDebugLevel = 0;
char* zeuDebugStr = nullptr;

// ---- Application and full-screen toggle state -------------------------------
int aafullScreen = 1;  // zeuOpen starts the window full screen
int aahaveShrunk = 0;
int aafullWidth = 0;
int aafullHeight = 0;
int aaWinX = 0;
int aaWinY = 0;
int aaWinW = 0;
int aaWinH = 0;
unsigned char aaValidWindowSize = 0;
int aaLastMouseButton = 0;
int aaGrabCount = 0;

zeApp* apps[10] = {};

// ---- Stored settings of features with no operations in this system ---------
int zeuTimeStep = 1;
bool zeuVideoOpened = false;
bool zeuVideoMirrorImage = false;
int zeuVideoProxyCount = 0;
bool zeuVideoProxyRepeating = false;
int zeuVideoProxyRawWidth = 0;
int zeuVideoProxyRawHeight = 0;
int zeuVideoFPS = 0;
int zeuVideoWidth = 0;
int zeuVideoHeight = 0;
int zeuVideoArrayWidth = 0;
int zeuVideoArrayHeight = 0;
void* zeuTesselator = nullptr;
int zeuScreenGrabQuality = 0;
unsigned char* zeuScreenGrabBuffer = nullptr;
bool zeuScreenGrabFlip = false;
unsigned char* zeuScreenGrabFlipper = nullptr;
int zeuScreenGrabFormat = 0;
int zeuScreenGrabX = 0;
int zeuScreenGrabY = 0;
int zeuScreenGrabWidth = 0;
int zeuScreenGrabHeight = 0;
bool zeuTextInited = false;
zeFont* zeutFontList[50] = {};
char zeutFontNames[50][128] = {};
int zeutCurrentFont = 0;
int zeuFontNormalize = 1;
