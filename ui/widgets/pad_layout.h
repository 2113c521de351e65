#pragma once

#include <array>

#include "flowchart/condition_texts.h"

namespace gestalon::ui {

// Where each controller button sits in a grid laid out like the controller, by bit of the
// button word: the left shoulder buttons over the cross keys (columns 0-2), SELECT / START over
// the stick buttons (4-5), the right shoulder buttons over the symbol buttons (7-9).
struct PadCell {
  int row;
  int column;
};
inline constexpr std::array<PadCell, core::kPadButtonCount> kPadCells{{
    {1, 4},  // SELECT
    {2, 4},  // L3
    {2, 5},  // R3
    {1, 5},  // START
    {1, 1},  // up
    {2, 2},  // right
    {3, 1},  // down
    {2, 0},  // left
    {0, 0},  // L2
    {0, 9},  // R2
    {0, 2},  // L1
    {0, 7},  // R1
    {1, 8},  // triangle
    {2, 9},  // circle
    {3, 8},  // cross
    {2, 7},  // square
}};
// The empty columns between the three groups.
inline constexpr int kPadGapColumns[] = {3, 6};

}  // namespace gestalon::ui
