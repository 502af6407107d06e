// Writes a file whole or not at all: the contents go to a temporary file beside the
// target, are made durable, and only then renamed over it.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Calls writeContents on the temporary file; returns "" on success, else why it failed
// (nothing is then left behind).
std::string WriteWholeFile(const std::string& path,
                           const std::function<bool(std::FILE*)>& writeContents);
