// Help texts: the files under console/help are compiled in as string
// literals and split into entries on first use.
#include "console/HelpTexts.h"

#include "core/Errors.h"

#include <map>

namespace vemlor {

namespace {

// One literal per help file, each a subject of its own.
constexpr std::string_view kHelpFiles[] = {
#include "console/help/keywords.inc"
    ,
#include "console/help/elementary.inc"
    ,
#include "console/help/statistics.inc"
    ,
#include "console/help/values.inc"
    ,
#include "console/help/strings.inc"
    ,
#include "console/help/numerical.inc"
    ,
#include "console/help/files.inc"
    ,
#include "console/help/graphics.inc"
    ,
#include "console/help/session.inc"
};

constexpr std::string_view kEntryStart = "== ";
constexpr std::string_view kFormPrefix = "call: ";
constexpr std::string_view kExamplePrefix = "example: ";

std::vector<std::string> splitWords(std::string_view text) {
    std::vector<std::string> words;
    size_t p = 0;
    while (p < text.size()) {
        size_t start = text.find_first_not_of(' ', p);
        if (start == std::string_view::npos) break;
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        words.emplace_back(text.substr(start, end - start));
        p = end;
    }
    return words;
}

void addLine(HelpEntry& entry, std::string_view line) {
    if (line.starts_with(kFormPrefix)) {
        entry.forms.emplace_back(line.substr(kFormPrefix.size()));
    } else if (line.starts_with(kExamplePrefix)) {
        entry.example.emplace_back(line.substr(kExamplePrefix.size()));
    } else if (entry.summary.empty()) {
        entry.summary = line;
    } else {
        entry.description.emplace_back(line);
    }
}

struct HelpIndex {
    std::vector<HelpEntry> entries;
    std::map<std::string, size_t, std::less<>> byName;

    HelpIndex() {
        for (std::string_view file : kHelpFiles)
            for (HelpEntry& entry : parseHelpText(file))
                entries.push_back(std::move(entry));
        for (size_t i = 0; i < entries.size(); ++i)
            for (const std::string& name : entries[i].names)
                if (!byName.emplace(name, i).second) raiseBug("BUG: two help texts for " + name);
    }
};

const HelpIndex& helpIndex() {
    static const HelpIndex index;
    return index;
}

// A line shown literally in a colour: the ":" style reads no markup up to
// the end of the line.
std::string literalIn(char colour, std::string_view prefix, std::string_view text) {
    return std::string(prefix) + "{" + colour + ":" + std::string(text);
}

} // namespace

std::vector<HelpEntry> parseHelpText(std::string_view text) {
    std::vector<HelpEntry> entries;
    size_t p = 0;
    while (p < text.size()) {
        size_t end = text.find('\n', p);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(p, end - p);
        p = end + 1;
        if (line.empty() || line.starts_with("%%")) continue;
        if (line.starts_with(kEntryStart)) {
            entries.push_back({});
            entries.back().names = splitWords(line.substr(kEntryStart.size()));
            if (entries.back().names.empty()) raiseBug("BUG: help entry without a name");
            continue;
        }
        if (entries.empty()) raiseBug("BUG: help text before the first entry");
        addLine(entries.back(), line);
    }
    return entries;
}

const std::vector<HelpEntry>& helpEntries() {
    return helpIndex().entries;
}

const HelpEntry* findHelp(std::string_view name) {
    const HelpIndex& index = helpIndex();
    auto it = index.byName.find(name);
    return it == index.byName.end() ? nullptr : &index.entries[it->second];
}

std::vector<std::string> helpLines(const HelpEntry& entry, bool further) {
    std::vector<std::string> lines{entry.summary};
    for (const std::string& form : entry.forms)
        lines.push_back(literalIn('b', "", "  " + form));
    if (!further) return lines;
    lines.insert(lines.end(), entry.description.begin(), entry.description.end());
    for (size_t i = 0; i < entry.example.size(); ++i)
        lines.push_back(literalIn('g', i == 0 ? "Example: " : "         ", entry.example[i]));
    return lines;
}

} // namespace vemlor
