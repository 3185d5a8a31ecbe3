#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rw::view {

// The files the editor is started with, or that are dropped on its window, sorted by their
// extension (compared in either case, see MediaFiles): the last project file wins and takes the
// place of everything else; otherwise movies become cuts and sound files audio clips, in order.
// Pictures are ignored.
class CommandLine {
public:
  enum class Kind { Project, Movie, Sound, Other };

  static Kind KindOf(const std::filesystem::path& file);
  static CommandLine Parse(const std::vector<std::string>& args);

  // The project to open; when there is one, the media are not used.
  const std::optional<std::filesystem::path>& Project() const { return project_; }
  struct Medium {
    Kind kind;
    std::filesystem::path file;
  };
  // Movies and sound files in argument order (without a project).
  const std::vector<Medium>& Media() const { return media_; }

private:
  std::optional<std::filesystem::path> project_;
  std::vector<Medium> media_;
};

} // namespace rw::view
