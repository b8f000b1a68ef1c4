// The help texts shipped inside the program: one per built-in, keyword and
// topic, written as plain data in console/help/*.inc and read once on first
// use.
//
// An entry of a help file:
//   == name [alias ...]       starts the entry; aliases share its text
//   first line                the one-line summary
//   call: form                a call form (any number, in order)
//   example: input            a line typed at the prompt; several such lines
//                             type one after the other into a fresh interpreter
//   any other line            the description: result, details, messages
// Summary and description lines are console markup; call forms and the
// example are shown literally. Lines starting with "%%" are comments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vemlor {

struct HelpEntry {
    std::vector<std::string> names; // the first is the one the file lists
    std::string summary;
    std::vector<std::string> forms;
    std::vector<std::string> description;
    std::vector<std::string> example; // typed lines
};

// Every entry of every help file, in file order.
const std::vector<HelpEntry>& helpEntries();

// The entry for `name` (an entry name or an alias), or null.
const HelpEntry* findHelp(std::string_view name);

// Console lines of an entry: the summary and the call forms, and with
// `further` the description and the example as well.
std::vector<std::string> helpLines(const HelpEntry& entry, bool further);

// Reads help file text into entries; a malformed file is a fault of the
// program, reported through raiseBug.
std::vector<HelpEntry> parseHelpText(std::string_view text);

} // namespace vemlor
