// Writes a file whole or not at all, through CAtomicFileWriter, for programs without Qt.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Calls writeContents on the temporary file; returns "" on success, else why it failed
// (nothing is then left behind).
std::string WriteWholeFile(const std::string& path,
                           const std::function<bool(std::FILE*)>& writeContents);
