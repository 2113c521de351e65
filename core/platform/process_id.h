#pragma once

namespace gestalon::core {

// Identifier of the running process (used to name temporary files uniquely).
unsigned long CurrentProcessId();

}  // namespace gestalon::core
