#pragma once

#include <QSize>

class QWidget;

// Shows `window`, a fixed-size top-level window made with new, on a screen
// whose free area is `room`: as it is where it fits, else inside a
// scrolled view the size of `room`, so every control can still be reached
// (a 1366 × 768 screen at 150 % is 910 × 512). The layout stays as it is.
// Returns the top-level window shown; closing it deletes `window`.
QWidget* ShowOnScreen(QWidget* window, QSize room);
