// Construction of the cloth, the factory and the layout of the virtual
// operations that the framework and subclasses rely on.
#include <cstdint>
#include <cstring>

#include "tests/app/clothFixture.h"
#include "zeShape/zeTransforms.h"

using clothtest::ClothTest;
using clothtest::expectVec;
using clothtest::newCloth;

namespace {

// 1-based slot of a virtual member function in the Itanium ABI, where a
// pointer to a virtual member stores 1 + the byte offset of its slot.
template <typename PM>
long slotOf(PM pm) {
  struct Rep {
    std::uintptr_t ptr;
    std::ptrdiff_t adj;
  };
  static_assert(sizeof(PM) == sizeof(Rep), "Itanium member pointer");
  Rep rep;
  std::memcpy(&rep, &pm, sizeof rep);
  if ((rep.ptr & 1u) == 0) return -1;  // not virtual
  return static_cast<long>((rep.ptr - 1) / sizeof(void*)) + 1;
}

}  // namespace

TEST_F(ClothTest, ConstructionLaysOutAFlatSheetAtRest) {
  drapeApp* app = newCloth();
  ASSERT_NE(app, nullptr);
  for (int n = 0; n < 3600; ++n) {
    SCOPED_TRACE(n);
    const clothknob& knob = app->thread[n];
    expectVec(knob.pos, static_cast<float>(n % 60 - 29), static_cast<float>(n / 60 - 29), 30.0f);
    expectVec(knob.vel, 0, 0, 0);
    EXPECT_FALSE(knob.on_surf);
    expectVec(app->k1[n], 0, 0, 0);
    expectVec(app->k2[n], 0, 0, 0);
    expectVec(app->k3[n], 0, 0, 0);
    expectVec(app->k4[n], 0, 0, 0);
  }
  expectVec(app->thread[0].pos, -29, -29, 30);
  expectVec(app->thread[59].pos, 30, -29, 30);
  expectVec(app->thread[60].pos, -29, -28, 30);
  expectVec(app->thread[61].pos, -28, -28, 30);  // column 1, row 1
  expectVec(app->thread[3540].pos, -29, 30, 30);
  expectVec(app->thread[3599].pos, 30, 30, 30);
  expectVec(app->enviro, 0, 0, -2);
  expectVec(app->zero, 0, 0, 0);
  EXPECT_EQ(app->j, 0.0f);
  ASSERT_NE(app->blanky, nullptr);
  EXPECT_EQ(app->blanky->N, 60);
  EXPECT_EQ(app->blanky->M, 60);
  // The base part is a plain application.
  EXPECT_EQ(app->W, 100.0f);
  EXPECT_EQ(app->H, 100.0f);
}

TEST_F(ClothTest, ConstructionResetsTheTransformStackButNotItsHeight) {
  for (int e = 0; e < 128; ++e) zeMatrixStack[e].m[1][2] = 7.0f;
  zeMatrixHeight = 3;
  newCloth();
  EXPECT_EQ(zeMatrixHeight, 3);
  for (int e = 0; e < 128; ++e)
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) ASSERT_EQ(zeMatrixStack[e].m[r][c], r == c ? 1.0f : 0.0f);
  zeMatrixHeight = 0;
}

TEST_F(ClothTest, TypeTagReadsApp) {
  EXPECT_EQ(sizeof my_type, 4u);
  EXPECT_EQ(std::memcmp(my_type, "App\0", 4), 0);
}

TEST_F(ClothTest, VirtualSlotsFollowTheFrameworkOrder) {
  EXPECT_EQ(slotOf(&drapeApp::idle), 1);
  EXPECT_EQ(slotOf(&drapeApp::draw), 2);
  EXPECT_EQ(slotOf(&drapeApp::specialKeyDown), 16);
  EXPECT_EQ(slotOf(&drapeApp::rungef), 17);
  EXPECT_EQ(slotOf(&drapeApp::surface), 18);
}

TEST_F(ClothTest, FactoryObjectDrawsTheClothThroughTheBase) {
  zeApp* app = newCloth();
  app->draw();  // a virtual call through the framework's type
  EXPECT_EQ(static_cast<drapeApp*>(app)->j, 1.0f);
  EXPECT_EQ(glrec::count("glBegin"), 1u);
}
