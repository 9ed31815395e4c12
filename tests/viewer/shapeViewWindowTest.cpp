// shapeView's window as a person uses it, on its own 1920 x 1080 Xvfb screen
// with a window manager: the draped cloth, saved as drapeExplorer saves it,
// opens lit and shaded; a click on it names a vertex of record 0, a click on
// the background names nothing; p saves a picture of the window; Escape ends
// the program with status 0.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "app/drapeApp.h"
#include "testkit/scratchDir.h"
#include "testkit/xSession.h"

namespace {

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;
// Lit pixels among every fourth of the screen: 10% of the window.
constexpr int kLitSamples = kScreenW * kScreenH / 4 / 10;

// The cloth after it has draped, written the way drapeExplorer's w key
// writes it: node n as mesh vertex n, one warm colour, the normals of the
// cloth in its own space.
void writeDrapedCloth(const std::string& path) {
  // These classes have no virtual destructors: end them as their own type.
  auto app = std::unique_ptr<drapeApp, void (*)(drapeApp*)>(new drapeApp(), [](drapeApp* a) {
    a->blanky->~zeMeshShape();
    ::operator delete(a->blanky);
    a->~drapeApp();
    ::operator delete(a);
  });
  for (int frame = 0; frame < 300; ++frame) app->step();
  zeMeshShape& mesh = *app->blanky;
  for (int n = 0; n < 3600; ++n) {
    mesh.vertexList[n] = app->thread[n].pos;
    mesh.absVertexList[n] = app->thread[n].pos;
    mesh.setVertexColor(n, 0.86f, 0.48f, 0.26f, 1.0f);
  }
  mesh.calculateNormals();
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  mesh.writeToFile(f);
  std::fclose(f);
}

bool lit(const xsession::Image& shot, int x, int y) {
  const auto p = shot.pixel(x, y);
  return p[0] > 40 || p[1] > 40 || p[2] > 40;
}

// Polls the program's standard output until it holds `text`.
bool waitForOutput(xsession::XSession& x, const std::string& text, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (x.programStdout().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

TEST(ShapeViewWindow, ClothOpensLitAClickNamesAVertexAndEscapeEnds) {
  ScratchDir scratch("shapeViewWindow");
  const std::string& dir = scratch.path();
  const std::string file = dir + "/cloth.shape";
  writeDrapedCloth(file);

  xsession::XSession x;
  ASSERT_TRUE(x.ok()) << x.error();
  // Pictures go to the current directory; the program inherits this one.
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  const bool launched = x.launch(SHAPEVIEW_PROGRAM, {file}, {xsession::leakCheckOff()});
  ASSERT_EQ(chdir(previous), 0);
  ASSERT_TRUE(launched);
  const auto window = x.findWindow("zeu", 30.0);
  ASSERT_TRUE(window) << "no window; stderr: " << x.programStderr();
  const auto g = x.waitForGeometry(
      *window, [](const xsession::Geometry& g) { return g.width == kScreenW; }, 30.0);
  ASSERT_TRUE(g && g->x == 0 && g->y == 0 && g->width == kScreenW && g->height == kScreenH);

  // Lit: a large surface in many shades of the cloth's warm colour, not one
  // flat tone (unlit) and not black (normals facing away from the light).
  std::optional<xsession::Image> shot;
  int litPixels = 0, coldPixels = 0;
  std::set<int> shades;
  for (int attempt = 0; attempt < 50 && litPixels < kLitSamples; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    shot = x.screenshot(dir + "/screen.png");
    ASSERT_TRUE(shot);
    litPixels = coldPixels = 0;
    shades.clear();
    for (int y = 0; y < shot->height; y += 2)
      for (int px = 0; px < shot->width; px += 2)
        if (lit(*shot, px, y)) {
          ++litPixels;
          const auto p = shot->pixel(px, y);
          shades.insert(p[0]);
          coldPixels += p[0] <= p[2];
        }
  }
  ASSERT_GE(litPixels, kLitSamples) << "the cloth should fill much of the window";
  EXPECT_GT(shades.size(), 30u) << "shades of red";
  EXPECT_EQ(coldPixels, 0) << "every lit pixel has the cloth's warm colour";

  // A click well inside the surface: the nearest lit pixel to the centre
  // whose neighbours are all lit.
  int cx = -1, cy = -1;
  for (int r = 0; r < 400 && cx < 0; r += 4)
    for (int dy = -r; dy <= r && cx < 0; dy += 4)
      for (int dx = -r; dx <= r && cx < 0; dx += 4) {
        const int px = kScreenW / 2 + dx, py = kScreenH / 2 + dy;
        bool inside = true;
        for (int ny = -6; ny <= 6 && inside; ++ny)
          for (int nx = -6; nx <= 6 && inside; ++nx) inside = lit(*shot, px + nx, py + ny);
        if (inside) cx = px, cy = py;
      }
  ASSERT_GE(cx, 0) << "no lit area near the centre";
  ASSERT_EQ(x.run({"xdotool", "mousemove", std::to_string(cx), std::to_string(cy), "click", "1"}),
            0);
  ASSERT_TRUE(waitForOutput(x, "record 0 vertex ", 10.0)) << x.programStdout();
  // The line's exact form is pinned by the unit test of the picked line.
  int vertex = -1;
  float px, py, pz;
  const std::string picked = x.programStdout();
  EXPECT_EQ(std::sscanf(picked.c_str(), "record 0 vertex %d (%f, %f, %f)", &vertex, &px, &py, &pz),
            4)
      << picked;
  EXPECT_TRUE(vertex >= 0 && vertex < 3600) << vertex;

  // The background names nothing.
  ASSERT_FALSE(lit(*shot, 5, kScreenH - 5));
  const std::string before = x.programStdout();
  ASSERT_EQ(x.run({"xdotool", "mousemove", "5", std::to_string(kScreenH - 5), "click", "1"}), 0);
  ASSERT_TRUE(x.sendKey(*window, "p"));
  ASSERT_TRUE(waitForOutput(x, "wrote cloth.png\n", 10.0)) << x.programStdout();
  EXPECT_EQ(x.programStdout(), before + "wrote cloth.png\n");
  std::string size;
  EXPECT_EQ(x.run({"identify", "-format", "%w %h", dir + "/cloth.png"}, &size), 0);
  EXPECT_EQ(size, "1920 1080");

  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  const auto status = x.waitExit(10.0);
  ASSERT_TRUE(status) << "still running after Escape";
  EXPECT_EQ(*status, 0);
  EXPECT_EQ(x.programStderr(), "");
}

}  // namespace
