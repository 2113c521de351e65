#include "preview/robot_preview.h"

#include <system_error>

#include "platform/paths.h"
#include "preview/urdf_reader.h"

namespace gestalon::preview {

PreviewLoad LoadRobotPreview(const std::filesystem::path& projectFolder,
                             const core::SliderTable& sliders, RobotPreview& preview,
                             FileError& error) {
  const std::filesystem::path mappingFile = projectFolder / kMappingFileName;
  std::error_code ec;
  if (!std::filesystem::exists(mappingFile, ec)) {
    error = FileError{mappingFile, 0, {}};
    return PreviewLoad::kNoPreview;
  }
  MappingFile mapping;
  if (!ReadMappingFile(mappingFile, mapping, error)) {
    return PreviewLoad::kFailed;
  }
  RobotPreview loaded;
  if (!ReadUrdfFile(core::ResolveInFolder(projectFolder, mapping.description), loaded.model,
                    error) ||
      !ResolveMapping(mapping, mappingFile, loaded.model, sliders, loaded.drives, error)) {
    return PreviewLoad::kFailed;
  }
  preview = std::move(loaded);
  return PreviewLoad::kLoaded;
}

}  // namespace gestalon::preview
