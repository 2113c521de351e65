#include "widgets/qt_text.h"

#include "strings/text_loader.h"

namespace gestalon::ui {

QString Text(int id) {
  return ToQString(core::LoadText(id));
}

}  // namespace gestalon::ui
