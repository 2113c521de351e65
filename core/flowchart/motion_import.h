#pragma once

#include <filesystem>

#include "pose/edit_context.h"

namespace gestalon::core {

// Appends the blocks of another motion file (chosen by the front end's import dialog). The
// insertion point first moves by (12, 12); the imported blocks are moved by it and come out
// selected (the rest of the selection is cleared), linked among themselves and to nothing else.
// The file's first Start block and its first End block are left out, arrows to them cut. Records
// an undo step and repaints both panes; 1. An unreadable file is reported through the prompter
// and gives 0 with the document unchanged.
int ImportMotion(EditContext& context, const std::filesystem::path& file);

}  // namespace gestalon::core
