#pragma once
// Writes settings files laid out as a person would by hand: the header line, one top element,
// a comment line before each group, each group's keys one tab deeper. Independent of the
// engine's reader, so tests and benchmarks can use it as an oracle and a source of documents.

#include <string>
#include <utility>
#include <vector>

namespace tools {

struct SettingsGroup
{
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys; // element name, value
};

// UTF-8 text with its byte-order mark (a file without one is read in the ANSI code page);
// comments stand at the start of their line.
std::string WriteSettingsXml(const std::string& top_name, const std::vector<SettingsGroup>& groups);

// group_count groups "GroupNN" of keys_per_group keys "KeyNN": integers, negative numbers, words
// and Japanese text in turn.
std::vector<SettingsGroup> MakeTypicalSettings(int group_count, int keys_per_group);

// Every key path of the groups under the top element, "/top/GroupNN/KeyNN", in writing order.
std::vector<std::string> SettingsKeyPaths(const std::string& top_name,
                                          const std::vector<SettingsGroup>& groups);

} // namespace tools
