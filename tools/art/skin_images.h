#pragma once

#include <QImage>
#include <QString>

namespace gestalon::art {

// The pictures of the pose area and the motion area, named as the system settings refer to them
// under "me_image". All are opaque; the colour around each shape is chosen for the way the panes
// draw it (copied as is, or combined with a bitwise AND for the robot-reading knob).
QImage MakePoseWallpaper();
QImage MakePoseSlider();
QImage MakePoseKnob();
QImage MakePoseSpin();
QImage MakePoseBaseMark();
QImage MakePoseKnobShadow();
QImage MakeCheckButton();
QImage MakeMotionSlider();
QImage MakeMotionKnob();
QImage MakeMotionSpin();
QImage MakeMotionDigits();
QImage MakeMotionSignal();

// Writes every skin picture as a 24-bit BMP into folder (which must exist); false when any
// file cannot be written.
bool WriteSkinImages(const QString& folder);

}  // namespace gestalon::art
