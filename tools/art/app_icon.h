#pragma once

#include <QImage>

namespace gestalon::art {

// The program icon: a friendly robot head in the accent colour on a transparent ground,
// size x size pixels (ARGB). Small sizes get heavier details so that they stay readable.
QImage MakeAppIcon(int size);

}  // namespace gestalon::art
