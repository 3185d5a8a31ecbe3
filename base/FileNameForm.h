#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

// How file names are stored in records: relative to the folder of the project file where
// possible, with "/" separators, in double quotes when the name contains white space or begins
// with a double quote (a double quote inside written as \"). Reading also accepts the forms of
// project files written on Windows: "\" separators, drive letters, "\\server" names.
//
// A stored name without any "/" but with a "\" comes from Windows and "\" separates in it; in a
// stored name that contains a "/", a "\" is an ordinary character of a file name. Names that
// would be misread (a backslash without a slash, a leading backslash, a colon as the second
// character) are written with a leading "./".
namespace FileNameForm {

// The stored form of `full` (an absolute path) for a project whose folder is `folder`. Answers
// false, with `stored` empty, for a name the record text cannot hold: one with a line break,
// one that is not valid UTF-8, or one whose quoted form would end in a backslash (the reader
// would take its closing quote for an escaped one).
bool TryWrite(const std::filesystem::path& full, const std::filesystem::path& folder, std::string& stored);

// As TryWrite; an empty text for a name that cannot be stored.
std::string Write(const std::filesystem::path& full, const std::filesystem::path& folder);

// The absolute, normalised path of a stored value. Windows absolute names (drive letter or
// "\\server") are kept as read, with "\" turned into "/". An empty value gives an empty path.
std::filesystem::path Read(std::string_view stored, const std::filesystem::path& folder);

// The folder of a project file: the absolute, normalised parent of `projectFile`.
std::filesystem::path ProjectFolder(const std::filesystem::path& projectFile);

} // namespace FileNameForm
} // namespace rw
