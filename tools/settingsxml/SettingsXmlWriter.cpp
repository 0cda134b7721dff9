#include "settingsxml/SettingsXmlWriter.h"

#include <cstdio>

namespace tools {

std::string WriteSettingsXml(const std::string& top_name, const std::vector<SettingsGroup>& groups)
{
    std::string out = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";
    out += "<" + top_name + ">\n";
    for (const SettingsGroup& group : groups) {
        out += "<!-- " + group.name + " settings -->\n";
        out += "\t<" + group.name + ">\n";
        for (const auto& [name, value] : group.keys)
            out += "\t\t<" + name + ">" + value + "</" + name + ">\n";
        out += "\t</" + group.name + ">\n";
    }
    out += "</" + top_name + ">\n";
    return out;
}

std::vector<SettingsGroup> MakeTypicalSettings(int group_count, int keys_per_group)
{
    std::vector<SettingsGroup> groups;
    char name[32];
    for (int g = 0; g < group_count; ++g) {
        SettingsGroup group;
        std::snprintf(name, sizeof(name), "Group%02d", g);
        group.name = name;
        for (int k = 0; k < keys_per_group; ++k) {
            std::snprintf(name, sizeof(name), "Key%02d", k);
            const int n = g * keys_per_group + k;
            std::string value;
            switch (n % 4) {
            case 0:
                value = std::to_string(n * 37 % 1000);
                break;
            case 1:
                value = std::to_string(-n);
                break;
            case 2:
                value = "value_" + std::to_string(n);
                break;
            default:
                value = "設定" + std::to_string(n);
                break;
            }
            group.keys.emplace_back(name, value);
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<std::string> SettingsKeyPaths(const std::string& top_name,
                                          const std::vector<SettingsGroup>& groups)
{
    std::vector<std::string> paths;
    for (const SettingsGroup& group : groups)
        for (const auto& key : group.keys)
            paths.push_back("/" + top_name + "/" + group.name + "/" + key.first);
    return paths;
}

} // namespace tools
