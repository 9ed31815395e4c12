// Root of the application class tree: three virtual operations, all empty.
#pragma once

class zeGeo {
 public:
  virtual void idle();                     // called on every toolkit idle pass
  virtual void draw();                     // called inside the frame of every redisplay
  virtual void message(const char* text);  // a text addressed to the object
};
