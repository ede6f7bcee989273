// Words and numbers of kltool's scripts and options, read the same way by
// every command.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kl::tool {

// Decimal or 0x hexadecimal, the whole word, at most `limit`.
std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t limit);

// Splits a script line into words: white space separates, double quotes
// group (and are dropped), '#' outside quotes starts a comment. False with
// `error` set on an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error);

}  // namespace kl::tool
