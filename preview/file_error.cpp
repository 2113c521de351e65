#include "preview/file_error.h"

#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::preview {

std::u16string FileErrorText(const FileError& error) {
  const std::u16string file = core::TextFromPath(error.file);
  if (error.line > 0) {
    return core::Format(core::LoadText(core::TextId::kFmtPreviewFileErrorLine), file, error.line,
                        error.detail);
  }
  return core::Format(core::LoadText(core::TextId::kFmtPreviewFileError), file, error.detail);
}

}  // namespace gestalon::preview
