// gtest main for real-GL tests: opens the window whose context every test
// uses. Needs an X display; the test scripts start Xvfb when there is none.
#include <GL/freeglut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testkit/realGl.h"
#include "zeu/zeu.h"

namespace realgl {
namespace {
int g_window = 0;
}

int windowId() {
  return g_window;
}

void useTestWindowForFrames() {
  zeuWindowWidth = kWidth;
  zeuWindowHeight = kHeight;
  zeuScreenFov = 60.0f;
  zeuWindowClear = true;
  zeuWindowBgColor[0] = zeuWindowBgColor[1] = zeuWindowBgColor[2] = 0.0f;
  frameDepth = 0;
}

std::vector<unsigned char> readPixels(int width, int height) {
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

void writePpm(const std::string& path, const std::vector<unsigned char>& rgb, int width,
              int height) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  for (int row = height - 1; row >= 0; --row)
    std::fwrite(&rgb[static_cast<size_t>(row) * width * 3], 1, static_cast<size_t>(width) * 3, f);
  std::fclose(f);
}

// Mesa unloads its DRI driver at exit, before the leak checker runs, so the
// driver's own lifetime allocations would show up as leaks from an unknown
// module that no suppression can name. Keeping the driver loaded lets them
// be attributed to it and suppressed.
void keepGlDriverLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

}  // namespace realgl

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "real-GL tests need an X display (DISPLAY is not set)\n");
    return 1;
  }
  int glutArgc = 1;
  char name[] = "realgl";
  char* glutArgv[] = {name, nullptr};
  glutInit(&glutArgc, glutArgv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(realgl::kWidth, realgl::kHeight);
  glutInitWindowPosition(0, 0);
  realgl::g_window = glutCreateWindow("realgl");
  glutDisplayFunc([] {});
  realgl::keepGlDriverLoaded();
  return RUN_ALL_TESTS();
}
