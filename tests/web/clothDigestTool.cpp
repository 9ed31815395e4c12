// Prints the line the web page writes after N frames (default 600), for the
// native build: "cloth digest N <16 hex digits>". The cloth runs its real
// frames against the recording stand-in with recording off.
#include <cstdio>
#include <cstdlib>

#include "app/drapeApp.h"
#include "testkit/glRecorder.h"
#include "web/drape/clothDigest.h"

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 600;
  if (frames < 0 || frames > 1000000) {
    std::fprintf(stderr, "usage: clothDigest [frames 0..1000000]\n");
    return 2;
  }
  glrec::state().recording = false;
  static drapeApp* cloth = static_cast<drapeApp*>(makeApp());  // kept for good, like the program's
  for (long f = 0; f < frames; ++f) cloth->draw();
  std::printf("%s\n",
              clothDigestLine(static_cast<int>(frames), clothDigest(cloth->thread, 3600)).c_str());
  return 0;
}
