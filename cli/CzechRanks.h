#pragma once
// Texts reduced to numbers that order as the Czech collation orders the texts,
// so that a page can sort by them without collating: texts the collation finds
// equal share a number, and the numbers run densely from 0.
#include <cstdint>
#include <string>
#include <vector>

// texts are Windows-1250; the result has one number per text, in the same order.
std::vector<std::uint32_t> CzechRanks(const std::vector<std::string>& texts);
