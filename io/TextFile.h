#pragma once

#include <string>

// Reads a whole file into `text`. Returns 1 on success; on failure returns 0
// and sets `error` to a sentence naming the file.
int ReadWholeFile(const std::string& fileName, std::string& text, std::string& error);
