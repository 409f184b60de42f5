#pragma once
// The geometry of a balloon tip: a rounded body with a triangular tail whose
// tip touches the anchor point, placed in the desktop quadrant's opposite
// direction and kept on the desktop.

#include <cstdint>

namespace balloon {

// Options.
constexpr uint32_t kCloseOnLButton = 0x01;
constexpr uint32_t kCloseOnRButton = 0x02;
constexpr uint32_t kCloseOnMouseMove = 0x04;
constexpr uint32_t kCloseOnKeyPress = 0x08;
constexpr uint32_t kDeleteWhenClosed = 0x10;
constexpr uint32_t kShowCloseButton = 0x20;
constexpr uint32_t kShowInnerShadow = 0x40;
constexpr uint32_t kShowTopmost = 0x80;
constexpr uint32_t kDisableFadeIn = 0x100;
constexpr uint32_t kDisableFadeOut = 0x200;
constexpr uint32_t kDisableFade = 0x300;

// Timers.
constexpr uint32_t kTimerFadeIn = 3333;
constexpr uint32_t kTimerFadeOut = 3334;
constexpr uint32_t kTimerClose = 3335;
constexpr uint32_t kTimerMouse = 3336;

struct Point {
    int x = 0;
    int y = 0;
};
struct Size {
    int width = 0;
    int height = 0;
};
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Icon, close button and title side by side.
Size HeaderSize(Size icon, bool closeButton, Size title);

struct Layout {
    Size window;
    int quadrant = 0;       // 0 upper right, 1 upper left, 2 lower right, 3 lower left
    Point tail[3];          // window coordinates; tail[1] is the tip
    Rect body;              // the rounded part, window coordinates
    Point position;         // the window's top left on the screen
    Rect client;            // the client area, window coordinates
};

Layout Compute(Size header, Size text, Point anchor, Rect desktop);

// One 25 ms step of fading. alpha moves by 25; finished is set when it
// reached its end (255 in, 0 out), at once when the option forbids fading.
int FadeInStep(int alpha, uint32_t options, bool& finished);
int FadeOutStep(int alpha, uint32_t options, bool& finished);

// Whether the mouse moved far enough from where it was to close the balloon.
bool MovedBeyondTolerance(Point from, Point to, int tolerance = 3);

} // namespace balloon
