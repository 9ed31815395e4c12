// PNG screenshots: the encoder's output read back by libpng's own reader.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testkit/glRecorder.h"
#include "testkit/scratchDir.h"
#include "viewkit/files/png.h"
#include "viewkit/view/screenshot.h"

namespace {

std::vector<unsigned char> readPng(const std::string& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return rgb;
}

TEST(Png, RowsComeOutTopFirstWithEveryByteKept) {
  // 3 x 2, bottom row first as OpenGL reads it.
  const std::vector<unsigned char> bottomUp = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                               10, 11, 12, 13, 14, 15, 16, 17, 18};
  ScratchDir dir("pngTest");
  const std::string path = dir.path() + "/shot.png";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::string error;
  EXPECT_TRUE(viewkit::writePng(f, 3, 2, bottomUp.data(), error)) << error;
  std::fclose(f);
  int w = 0, h = 0;
  const std::vector<unsigned char> topDown = readPng(path, w, h);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(topDown, (std::vector<unsigned char>{10, 11, 12, 13, 14, 15, 16, 17, 18, 1, 2, 3, 4, 5,
                                                 6, 7, 8, 9}));
}

// The safe-file errors are that module's test, and the explorer's.
TEST(Png, WindowShotsReadTheBackBufferAndAnEmptyWindowWritesNothing) {
  glrec::reset();
  glrec::state().readPixelsValue = 200;
  ScratchDir dir("pngTest");
  const std::string path = dir.path() + "/window.png";
  std::string error;
  ASSERT_TRUE(viewkit::saveWindowPng(path, 64, 48, error)) << error;
  EXPECT_EQ(glrec::log(), (std::vector<std::string>{"glReadBuffer(1029)", "glPixelStorei(3333, 1)",
                                                    "glReadPixels(0, 0, 64, 48, 6407, 5121)"}));
  int w = 0, h = 0;
  const std::vector<unsigned char> rgb = readPng(path, w, h);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
  EXPECT_EQ(rgb, std::vector<unsigned char>(64 * 48 * 3, 200));

  EXPECT_FALSE(viewkit::saveWindowPng(dir.path() + "/empty.png", 0, 48, error));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"window.png"});
}

}  // namespace
