#include "cli_app.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <sstream>

#include "board_commands.h"
#include "compile_commands.h"
#include "controlmap_commands.h"
#include "motion_commands.h"
#include "project_command.h"

namespace gestalon::cli {
namespace {

struct Options {
  std::string motion, input, output, project, drive, image, pad, rewriteDir;
  int overridePercent = 100;
  int milliseconds = 10000;
};

void AddSubcommands(CLI::App& app, Options& o) {
  auto* dump = app.add_subcommand("dump", "Print a motion file's blocks as JSON");
  dump->add_option("motion", o.motion, "Motion file (.KX4)")->required();
  dump->add_option("--project", o.project, "Robot project file (.KJZ)");

  auto* rewrite = app.add_subcommand("rewrite", "Read a motion file and write it back");
  rewrite->add_option("in", o.input, "Motion file to read")->required();
  rewrite->add_option("out", o.output, "Motion file to write")->required();
  rewrite->add_option("--project", o.project, "Robot project file (.KJZ)");
  rewrite->add_option("--override", o.overridePercent, "Playback time override in percent");

  auto* compile = app.add_subcommand("compile", "Compile a motion into the playback image");
  compile->add_option("motion", o.motion, "Motion file (.KX4)")->required();
  compile->add_option("-o", o.output, "Image file to write")->required();
  compile->add_option("--project", o.project, "Robot project file (.KJZ)");
  compile->add_option("--override", o.overridePercent, "Playback time override in percent");

  auto* startup = app.add_subcommand("startup", "Build STARTUP.BIN as writing to the board does");
  startup->add_option("project", o.project, "Robot project file (.KJZ)")->required();
  startup->add_option("-o", o.output, "Image file to write")->required();

  auto* write = app.add_subcommand("write", "Write the project to a CPU board drive");
  write->add_option("project", o.project, "Robot project file (.KJZ)")->required();
  write->add_option("--drive", o.drive, "Board drive folder")->required();

  auto* simulate = app.add_subcommand("simulate", "Play an image on a virtual CPU board");
  simulate->add_option("project", o.project, "Robot project file (.KJZ)")->required();
  simulate->add_option("image", o.image, "Image file (.BIN)")->required();
  simulate->add_option("--ms", o.milliseconds, "Simulated milliseconds (default 10000)");
  simulate->add_option("--pad", o.pad, "Controller input word, hexadecimal");

  auto* project = app.add_subcommand("project", "Load a robot project and print it as JSON");
  project->add_option("project", o.project, "Robot project file (.KJZ)")->required();
  project->add_option("--rewrite", o.rewriteDir, "Write the project back into DIR");

  auto* controlMap = app.add_subcommand("controlmap", "Control map files and their JSON form");
  controlMap->footer(kControlMapJsonHelp);
  controlMap->require_subcommand(1);
  auto* mapDump = controlMap->add_subcommand("dump", "Print a control map file as JSON");
  mapDump->add_option("map", o.motion, "Control map file (.KX4)")->required();
  auto* mapBuild = controlMap->add_subcommand("build", "Write a control map file from JSON");
  mapBuild->add_option("json", o.input, "JSON file")->required();
  mapBuild->add_option("-o", o.output, "Control map file to write (.KX4)")->required();
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"Gestalon command-line tool: motion files, board images and the virtual CPU board",
               "gestalon-cli"};
  app.require_subcommand(1);
  Options options;
  AddSubcommands(app, options);

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    err << "gestalon-cli: " << e.what() << "\n"
        << "Run 'gestalon-cli --help' for usage.\n";
    return kExitUsage;
  }
  for (const CLI::App* sub : app.get_subcommands()) {
    if (sub->get_name() == "dump") {
      return RunDumpCommand(options.motion, options.project, out, err);
    }
    if (sub->get_name() == "rewrite") {
      return RunRewriteCommand(options.input, options.output, options.project,
                               options.overridePercent, out, err);
    }
    if (sub->get_name() == "compile") {
      return RunCompileCommand(options.motion, options.output, options.project,
                               options.overridePercent, out, err);
    }
    if (sub->get_name() == "startup") {
      return RunStartupCommand(options.project, options.output, out, err);
    }
    if (sub->get_name() == "controlmap") {
      for (const CLI::App* action : sub->get_subcommands()) {
        if (action->get_name() == "dump") {
          return RunControlMapDump(options.motion, out, err);
        }
        return RunControlMapBuild(options.input, options.output, out, err);
      }
    }
    if (sub->get_name() == "project") {
      return RunProjectCommand(options.project, options.rewriteDir, out, err);
    }
    if (sub->get_name() == "write") {
      return RunWriteCommand(options.project, options.drive, out, err);
    }
    if (sub->get_name() == "simulate") {
      return RunSimulateCommand(options.project, options.image, options.milliseconds, options.pad,
                                out, err);
    }
  }
  return kExitUsage;
}

}  // namespace gestalon::cli
