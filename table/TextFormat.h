#pragma once
// Fills the single "%s" (and an optional following "%d") of one of the table's
// message texts.
#include <string>

std::string FormatText(const char* pattern, const std::string& text);
std::string FormatText(const char* pattern, const std::string& text, int number);
