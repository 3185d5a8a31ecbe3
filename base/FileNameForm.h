#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

// How file names are stored in records: relative to the folder of the project file where
// possible, with "/" separators, in double quotes when the name contains a space or begins
// with a double quote (a double quote inside written as \"). Reading also accepts the forms of
// project files written on Windows: "\" separators, drive letters, "\\server" names.
namespace FileNameForm {

// The stored form of `full` (an absolute path) for a project whose folder is `folder`.
std::string Write(const std::filesystem::path& full, const std::filesystem::path& folder);

// The absolute, normalised path of a stored value.
std::filesystem::path Read(std::string_view stored, const std::filesystem::path& folder);

// The folder of a project file: the absolute, normalised parent of `projectFile`.
std::filesystem::path ProjectFolder(const std::filesystem::path& projectFile);

} // namespace FileNameForm
} // namespace rw
