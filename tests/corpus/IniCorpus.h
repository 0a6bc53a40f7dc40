#pragma once

// The ini corpus that both test tiers read: tests/corpus/ini, its files and, in expected.txt,
// the hosts each one gives.

#include <array>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

struct IniCase {
    std::string file;
    std::array<std::string, 3> hosts; // UTF-8
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// A field "c*N" stands for the character c N times; any other field is itself.
inline std::string ExpandedField(const std::string& field) {
    if (field.size() > 2 && field[1] == '*' &&
        field.find_first_not_of("0123456789", 2) == std::string::npos)
        return std::string(std::stoul(field.substr(2)), field[0]);
    return field;
}

inline std::vector<IniCase> ReadIniCorpus(const std::filesystem::path& folder) {
    std::vector<IniCase> cases;
    std::istringstream lines(ReadFileBytes(folder / "expected.txt"));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream fields(line);
        IniCase row;
        std::getline(fields, row.file, '\t');
        for (std::string& host : row.hosts) {
            std::getline(fields, host, '\t');
            host = ExpandedField(host);
        }
        cases.push_back(row);
    }
    return cases;
}
