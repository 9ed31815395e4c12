/// @file
/// Root of the application class tree: three virtual operations, all empty.
#pragma once

/// Root of the application class tree; zeApp derives from it.
class zeGeo {
 public:
  virtual void idle();                     ///< Called on every toolkit idle pass.
  virtual void draw();                     ///< Called inside the frame of every redisplay.
  virtual void message(const char* text);  ///< A text addressed to the object.
};
