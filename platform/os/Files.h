// Files and folders. Paths are POSIX paths.
#pragma once

#include <string>
#include <string_view>

namespace os {

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates a folder and its missing parents; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path);
bool DeleteFile(const std::string& path);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
std::string ExtractFilePath(std::string_view path);  // with the trailing "/"
std::string ExtractFileName(std::string_view path);
// Joins two parts with exactly one "/" between them.
std::string PathJoin(std::string_view folder, std::string_view name);
// Whole file as bytes; raises rtl::EInOutError (with errno) when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Appends bytes to a file, creating it; false on any failure.
bool AppendFileBytes(const std::string& path, std::string_view bytes);
// Writes a file anew; raises rtl::EInOutError on failure.
void WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace os
