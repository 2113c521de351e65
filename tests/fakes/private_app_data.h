#pragma once

#include <cstdlib>

#include "temp_dir.h"

namespace gestalon::testing {

// An application data folder of the test's own: windows record their project in the
// recent-project log there, and dialogs rewrite that log, never the user's.
class PrivateAppData {
 public:
  PrivateAppData() { setenv("XDG_DATA_HOME", dir_.Path().c_str(), 1); }

 private:
  TempDir dir_;
};

}  // namespace gestalon::testing
