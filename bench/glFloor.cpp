// The floor for drawing the cloth this way: a bare GLUT program that does in
// every frame what drape does, less the framework and the simulation. It
// opens the same full-screen double-buffered RGB window with a depth buffer,
// sets the same start-up state (automatic normals, normalisation, blending),
// and per frame the same view (viewport, perspective and look-at on the
// projection matrix, lighting, depth test, colour material, clear), the same
// model transform turning a quarter degree per frame, and the same 6844
// immediate-mode GL_LINES segments with a glColor3f before every pair, then
// swaps. The net is the cloth's flat starting sheet; it does not move.
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr int kSide = 60;
float sheet[kSide * kSide][3];
int width = 0;
int height = 0;
float turn = 0.0f;

void reshape(int w, int h) {
  width = w;
  height = h;
}

void display() {
  if (width == 0 || height == 0) return;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glDisable(GL_TEXTURE_2D);

  // The standard view: the plane z = 0 shows the window one unit per pixel,
  // with a 60 degree vertical field of view.
  const float centerX = width * 0.5f;
  const float centerY = height * 0.5f;
  const float eye = centerY / std::tan(60.0 * M_PI / 360.0);
  const GLfloat light[4] = {centerX, centerY, eye, 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  glMatrixMode(GL_PROJECTION);
  gluPerspective(60.0, static_cast<double>(width) / height, eye * 0.1, eye * 10.0);
  gluLookAt(centerX, centerY, eye, centerX, centerY, 0.0, 0.0, 1.0, 0.0);
  glMatrixMode(GL_MODELVIEW);

  glTranslatef(800.0f, 600.0f, 0.0f);
  glRotatef(-35.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(turn * 0.25f, 0.0f, 0.0f, 1.0f);
  glScalef(10.0f, 10.0f, 10.0f);

  glBegin(GL_LINES);
  for (int a = 1; a < kSide; ++a) {
    for (int b = 1; b < kSide - 1; ++b) {
      glColor3f(1.0f, 1.0f, 1.0f);
      const float* p = sheet[kSide * b + a - 1];
      glVertex3f(p[0], p[1], p[2]);
      p = sheet[kSide * b + a];
      glVertex3f(p[0], p[1], p[2]);
      p = sheet[kSide * (a - 1) + b];
      glVertex3f(p[0], p[1], p[2]);
      p = sheet[kSide * a + b];
      glVertex3f(p[0], p[1], p[2]);
    }
  }
  glEnd();

  turn += 1.0f;
  glutSwapBuffers();
}

void idle() {
  glutPostRedisplay();
}

}  // namespace

int main(int argc, char** argv) {
  for (int n = 0; n < kSide * kSide; ++n) {
    sheet[n][0] = static_cast<float>(n % kSide - 29);
    sheet[n][1] = static_cast<float>(n / kSide - 29);
    sheet[n][2] = 30.0f;
  }
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutCreateWindow("glFloor");
  glutFullScreen();
  glEnable(GL_AUTO_NORMAL);
  glEnable(GL_NORMALIZE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glutReshapeFunc(reshape);
  glutDisplayFunc(display);
  glutIdleFunc(idle);
  glutMainLoop();
  return 0;
}
