// The application module's exports: the factory and the type tag. Only
// makeApp and my_type leave this module; the objects are compiled with hidden
// visibility and these two are marked as the exceptions. They live apart from
// the cloth itself so that another program can build on drapeApp with a
// factory of its own.
#include "app/drapeApp.h"

#define DRAPE_EXPORT __attribute__((visibility("default")))

DRAPE_EXPORT char my_type[4] = "App";

extern "C" DRAPE_EXPORT zeApp* makeApp() {
  return new drapeApp();
}
