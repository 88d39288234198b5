#pragma once
// Reads a recording and checks all of it before anything plays. Whatever the
// file holds, the answer is a recording or one message that names the file
// and, where there is one, the line: "FILE:LINE: what is wrong".

#include <optional>
#include <string>

#include "recording/recording.h"

std::optional<Recording> readRecording(const std::string& path, std::string& error);

// The same from text already in memory; `path` only names it in messages.
std::optional<Recording> parseRecording(const std::string& text, const std::string& path,
                                        std::string& error);
