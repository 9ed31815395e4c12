// What the framework's own sources tell the application helpers of
// zeuHelpers.cpp: start-up, the start of a drawn frame, input events and key
// presses. Not installed; applications use the functions of zeu.h.
#pragma once

namespace zeuhooks {

void startClock();    // start-up: zeuElapsedSeconds counts from here, no frames yet
void frameStarted();  // display_cb, once its gate lets a frame be drawn

// Brackets one input callback's call into the application, so that
// zeuModifiers may ask the toolkit. The toolkit answers only inside key and
// button callbacks (toolkitKnows); motion events report the modifiers of the
// latest of those.
class InputEvent {
 public:
  explicit InputEvent(bool toolkitKnows);
  ~InputEvent();
  InputEvent(const InputEvent&) = delete;
  InputEvent& operator=(const InputEvent&) = delete;
};

void keyPressed(unsigned char key);

}  // namespace zeuhooks
