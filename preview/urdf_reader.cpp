#include "preview/urdf_reader.h"

#include <console_bridge/console.h>
#include <urdf_parser/urdf_parser.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/utf.h"

namespace gestalon::preview {

namespace {

// Collects what the URDF parser reports while it is installed; the parser only speaks through
// this logging channel.
class CapturedLog final : public console_bridge::OutputHandler {
 public:
  CapturedLog() { console_bridge::useOutputHandler(this); }
  ~CapturedLog() override { console_bridge::restorePreviousOutputHandler(); }
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  void log(const std::string& text, console_bridge::LogLevel level, const char*, int) override {
    if (level >= console_bridge::CONSOLE_BRIDGE_LOG_ERROR) {
      errors.push_back(text);
    }
  }

  std::vector<std::string> errors;
};

Eigen::Isometry3d ToIsometry(const urdf::Pose& pose) {
  double x = 0.0, y = 0.0, z = 0.0, w = 1.0;
  pose.rotation.getQuaternion(x, y, z, w);
  Eigen::Isometry3d result = Eigen::Isometry3d::Identity();
  result.translate(Eigen::Vector3d(pose.position.x, pose.position.y, pose.position.z));
  result.rotate(Eigen::Quaterniond(w, x, y, z).normalized());
  return result;
}

bool ToShape(const urdf::Visual& visual, Shape& shape) {
  if (!visual.geometry) {
    return false;
  }
  shape.origin = ToIsometry(visual.origin);
  if (visual.material) {
    const urdf::Color& c = visual.material->color;
    shape.rgba = {c.r, c.g, c.b, c.a};
  }
  switch (visual.geometry->type) {
    case urdf::Geometry::BOX: {
      const auto& box = static_cast<const urdf::Box&>(*visual.geometry);
      shape.kind = ShapeKind::kBox;
      shape.size = {box.dim.x, box.dim.y, box.dim.z};
      return true;
    }
    case urdf::Geometry::CYLINDER: {
      const auto& cylinder = static_cast<const urdf::Cylinder&>(*visual.geometry);
      shape.kind = ShapeKind::kCylinder;
      shape.size = {cylinder.radius, cylinder.radius, cylinder.length};
      return true;
    }
    case urdf::Geometry::SPHERE: {
      const auto& sphere = static_cast<const urdf::Sphere&>(*visual.geometry);
      shape.kind = ShapeKind::kSphere;
      shape.size = {sphere.radius, sphere.radius, sphere.radius};
      return true;
    }
    case urdf::Geometry::MESH: {
      const auto& mesh = static_cast<const urdf::Mesh&>(*visual.geometry);
      shape.kind = ShapeKind::kBox;
      shape.size = Eigen::Vector3d(mesh.scale.x, mesh.scale.y, mesh.scale.z) * kMeshBoxEdge;
      return true;
    }
  }
  return false;
}

Link ToLink(const urdf::Link& source) {
  Link link;
  link.name = source.name;
  std::vector<urdf::VisualSharedPtr> visuals = source.visual_array;
  if (visuals.empty() && source.visual) {
    visuals.push_back(source.visual);
  }
  for (const urdf::VisualSharedPtr& visual : visuals) {
    Shape shape;
    if (visual && ToShape(*visual, shape)) {
      link.visuals.push_back(shape);
    }
  }
  return link;
}

Joint ToJoint(const urdf::Joint& source, int parent, int child) {
  Joint joint;
  joint.name = source.name;
  joint.parent = parent;
  joint.child = child;
  joint.origin = ToIsometry(source.parent_to_joint_origin_transform);
  switch (source.type) {
    case urdf::Joint::REVOLUTE:
      joint.type = JointType::kRevolute;
      break;
    case urdf::Joint::CONTINUOUS:
      joint.type = JointType::kContinuous;
      break;
    case urdf::Joint::PRISMATIC:
      joint.type = JointType::kPrismatic;
      break;
    default:
      joint.type = JointType::kFixed;
      break;
  }
  const Eigen::Vector3d axis(source.axis.x, source.axis.y, source.axis.z);
  joint.axis = axis.norm() > 0.0 ? axis.normalized() : Eigen::Vector3d::UnitX();
  if (source.limits &&
      (joint.type == JointType::kRevolute || joint.type == JointType::kPrismatic)) {
    joint.limited = true;
    joint.lower = source.limits->lower;
    joint.upper = source.limits->upper;
  }
  return joint;
}

// Walks the tree from the root so that parents come before their children.
RobotModel ToModel(const urdf::ModelInterface& source) {
  RobotModel model;
  model.name = source.getName();
  std::vector<urdf::LinkConstSharedPtr> pending{source.getRoot()};
  model.links.push_back(ToLink(*source.getRoot()));
  for (std::size_t next = 0; next < pending.size(); ++next) {
    const urdf::Link& parent = *pending[next];
    for (const urdf::JointSharedPtr& joint : parent.child_joints) {
      urdf::LinkConstSharedPtr child = source.getLink(joint->child_link_name);
      if (!child) {
        continue;
      }
      model.links.push_back(ToLink(*child));
      model.joints.push_back(
          ToJoint(*joint, static_cast<int>(next), static_cast<int>(model.links.size() - 1)));
      pending.push_back(child);
    }
  }
  return model;
}

// The line of the first tag that breaks the nesting of the XML text: an end tag that closes
// another element than the open one, a tag left unfinished, or (at the end) the element left
// open. 0 when the tags nest.
int UnbalancedTagLine(const std::string& text) {
  struct Open {
    std::string name;
    int line;
  };
  std::vector<Open> open;
  int line = 1;
  std::size_t at = 0;
  const auto skipTo = [&](std::string_view end) {
    const std::size_t found = text.find(end, at);
    const std::size_t stop = found == std::string::npos ? text.size() : found + end.size();
    line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(at),
                                        text.begin() + static_cast<std::ptrdiff_t>(stop), '\n'));
    at = stop;
    return found != std::string::npos;
  };
  while (at < text.size()) {
    if (text[at] != '<') {
      line += text[at] == '\n' ? 1 : 0;
      ++at;
      continue;
    }
    const int tagLine = line;
    if (text.compare(at, 4, "<!--") == 0) {
      if (!skipTo("-->")) {
        return tagLine;
      }
      continue;
    }
    if (text.compare(at, 2, "<?") == 0 || text.compare(at, 2, "<!") == 0) {
      if (!skipTo(">")) {
        return tagLine;
      }
      continue;
    }
    const bool closing = text.compare(at, 2, "</") == 0;
    std::size_t nameEnd = at + (closing ? 2 : 1);
    while (nameEnd < text.size() && !std::isspace(static_cast<unsigned char>(text[nameEnd])) &&
           text[nameEnd] != '>' && text[nameEnd] != '/') {
      ++nameEnd;
    }
    const std::string name = text.substr(at + (closing ? 2 : 1), nameEnd - at - (closing ? 2 : 1));
    // The tag's end, past quoted attribute values.
    std::size_t end = nameEnd;
    char quote = 0;
    for (; end < text.size() && (quote != 0 || text[end] != '>'); ++end) {
      if (quote == 0 && (text[end] == '"' || text[end] == '\'')) {
        quote = text[end];
      } else if (text[end] == quote) {
        quote = 0;
      }
    }
    if (end >= text.size() || name.empty()) {
      return tagLine;
    }
    const bool selfClosing = text[end - 1] == '/';
    at = nameEnd;
    skipTo(">");
    if (closing) {
      if (open.empty() || open.back().name != name) {
        return tagLine;
      }
      open.pop_back();
    } else if (!selfClosing) {
      open.push_back({name, tagLine});
    }
  }
  return open.empty() ? 0 : open.back().line;
}

// The number after "Line number=", "line " and the like in the parser's words; 0 when none.
int LineNumberInMessage(const std::string& message) {
  for (std::size_t at = message.find("ine"); at != std::string::npos;
       at = message.find("ine", at + 1)) {
    if (at == 0 || (message[at - 1] != 'L' && message[at - 1] != 'l')) {
      continue;
    }
    std::size_t i = at + 3;
    if (message.compare(i, 7, " number") == 0) {
      i += 7;
    }
    if (i >= message.size() || (message[i] != '=' && message[i] != ' ')) {
      continue;
    }
    int line = 0;
    bool digits = false;
    // Digits beyond any real line count are cut, never overflow.
    for (++i; i < message.size() && std::isdigit(static_cast<unsigned char>(message[i])); ++i) {
      line = line < 100000000 ? line * 10 + (message[i] - '0') : line;
      digits = true;
    }
    if (digits) {
      return line;
    }
  }
  return 0;
}

// Names the parser's words give in brackets or quotes ("[name]", "'name'"), without blanks.
std::vector<std::string> QuotedNames(const std::string& message) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < message.size(); ++i) {
    const char close = message[i] == '[' ? ']' : message[i] == '\'' ? '\'' : '\0';
    if (close == '\0') {
      continue;
    }
    std::size_t end = i + 1;
    while (end < message.size() && message[end] != close &&
           !std::isspace(static_cast<unsigned char>(message[end])) &&
           (close != ']' || message[end] != ']')) {
      ++end;
    }
    if (end < message.size() && message[end] == close && end > i + 1) {
      names.push_back(message.substr(i + 1, end - i - 1));
      i = end;
    }
  }
  return names;
}

// The line the parser's words point at: its own "Line number=N"; else, for a text whose tags do
// not nest, the first tag that breaks them; else the first line naming an element the words
// mention in brackets or quotes; 0 when none of these.
int LineOfError(const std::string& text, const std::string& message) {
  if (const int line = LineNumberInMessage(message); line > 0) {
    return line;
  }
  if (const int line = UnbalancedTagLine(text); line > 0) {
    return line;
  }
  const std::vector<std::string> names = QuotedNames(message);
  for (const std::string& name : names) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
      if (line.find("\"" + name + "\"") != std::string::npos) {
        return number;
      }
    }
  }
  return 0;
}

}  // namespace

bool ReadUrdfFile(const std::filesystem::path& file, RobotModel& model, FileError& error) {
  error = FileError{file, 0, {}};
  std::ifstream stream(file, std::ios::binary);
  std::ostringstream contents;
  if (!stream || !(contents << stream.rdbuf())) {
    error.detail = core::LoadText(core::TextId::kPreviewCannotOpen);
    return false;
  }
  const std::string text = contents.str();
  urdf::ModelInterfaceSharedPtr parsed;
  std::string message;
  {
    CapturedLog log;
    try {
      parsed = urdf::parseURDF(text);
    } catch (const std::exception& e) {
      log.errors.emplace_back(e.what());
    }
    for (const std::string& line : log.errors) {
      message += message.empty() ? line : " / " + line;
    }
  }
  if (!parsed || !parsed->getRoot()) {
    error.line = LineOfError(text, message);
    error.detail = core::Format(core::LoadText(core::TextId::kFmtPreviewBadDescription),
                                core::FromUtf8(message));
    return false;
  }
  model = ToModel(*parsed);
  return true;
}

}  // namespace gestalon::preview
