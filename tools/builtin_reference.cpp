// Writes the builtin reference (docs/builtins.md) on standard output: every builtin of the table
// (host/builtin_table.cpp) with its argument names, result and description from a description file
// (docs/builtins.txt), grouped by the file's sections. Names, argument counts, shared routines and the
// rows the engine does not provide come from the table itself, so the reference cannot list a builtin
// or a count that the table does not have.
//
//     builtin_reference DESCRIPTION_FILE > docs/builtins.md
//
// Description file, line by line:
//     // comment                                       ignored, as are empty lines
//     > text                                           a paragraph line: of the page before the first
//                                                      section, else of the section above it
//     ## Section title                                 starts a section
//     name | arg, arg | result | one-line description  one builtin; "-" for no arguments or no result
//
// Every name of the table must have exactly one line, every line must name a builtin of the table, and
// the argument names must be as many as the table's argument count. Otherwise nothing is written, each
// mismatch is reported on standard error, and the exit code is 1.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/builtin_table.h"

namespace {

struct Description {
    std::string name;
    std::vector<std::string> arguments;
    std::string result;
    std::string text;
    int line = 0;
};

struct Section {
    std::string title;
    std::vector<std::string> paragraph;
    std::vector<Description> entries;
};

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator, size_t maxParts) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() + 1 < maxParts) {
        const size_t at = text.find(separator, start);
        if (at == std::string::npos) break;
        parts.push_back(Trim(text.substr(start, at - start)));
        start = at + 1;
    }
    parts.push_back(Trim(text.substr(start)));
    return parts;
}

// GitHub's heading anchors: lower case, spaces to '-', other punctuation but '-' and '_' dropped.
std::string Anchor(const std::string& title) {
    std::string anchor;
    for (const char c : title) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u)) anchor += static_cast<char>(std::tolower(u));
        else if (c == ' ') anchor += '-';
        else if (c == '-' || c == '_') anchor += c;
    }
    return anchor;
}

std::string Cell(const std::string& text) {
    std::string cell;
    for (const char c : text) {
        if (c == '|') cell += "\\|";
        else cell += c;
    }
    return cell;
}

std::string Join(const std::vector<std::string>& names, const char* separator) {
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) joined += separator;
        joined += name;
    }
    return joined;
}

bool ReadDescriptions(const char* path, std::vector<std::string>& preamble, std::vector<Section>& sections,
                      std::vector<std::string>& problems) {
    std::ifstream in(path);
    if (!in) {
        problems.push_back(std::string(path) + ": cannot be read");
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string text = Trim(line);
        const std::string where = std::string(path) + ":" + std::to_string(number) + ": ";
        if (text.empty() || text.rfind("//", 0) == 0) continue;
        if (text.rfind("## ", 0) == 0) {
            sections.push_back(Section{Trim(text.substr(3)), {}, {}});
        } else if (text == ">" || text.rfind("> ", 0) == 0) {
            (sections.empty() ? preamble : sections.back().paragraph).push_back(Trim(text.substr(1)));
        } else if (sections.empty()) {
            problems.push_back(where + "a builtin line before the first section");
        } else {
            const std::vector<std::string> fields = Split(text, '|', 4);
            if (fields.size() != 4 || fields[0].empty() || fields[2].empty() || fields[3].empty()) {
                problems.push_back(where + "expected: name | arguments | result | description");
                continue;
            }
            Description entry{fields[0], {}, fields[2], fields[3], number};
            if (fields[1] != "-") entry.arguments = Split(fields[1], ',', SIZE_MAX);
            sections.back().entries.push_back(entry);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DESCRIPTION_FILE > builtins.md\n", argv[0]);
        return 2;
    }
    const std::span<const BuiltinEntry> table = BuiltinTable();

    // The rows of each name, in table order (a name may be registered more than once).
    std::map<std::string, std::vector<size_t>> rowsOfName;
    std::vector<std::string> namesInOrder;
    for (size_t row = 0; row < table.size(); ++row) {
        std::vector<size_t>& rows = rowsOfName[table[row].name];
        if (rows.empty()) namesInOrder.push_back(table[row].name);
        rows.push_back(row);
    }

    std::vector<std::string> preamble;
    std::vector<Section> sections;
    std::vector<std::string> problems;
    ReadDescriptions(argv[1], preamble, sections, problems);

    std::map<std::string, int> describedAt;
    for (const Section& section : sections) {
        for (const Description& entry : section.entries) {
            const std::string where = std::string(argv[1]) + ":" + std::to_string(entry.line) + ": ";
            const auto rows = rowsOfName.find(entry.name);
            if (rows == rowsOfName.end()) {
                problems.push_back(where + entry.name + " is not in the builtin table");
                continue;
            }
            if (describedAt.count(entry.name) != 0) {
                problems.push_back(where + entry.name + " is described twice (also on line " +
                                   std::to_string(describedAt[entry.name]) + ")");
                continue;
            }
            describedAt[entry.name] = entry.line;
            const int32_t count = table[rows->second.back()].argumentCount;
            if (static_cast<int32_t>(entry.arguments.size()) != count) {
                problems.push_back(where + entry.name + " has " + std::to_string(entry.arguments.size()) +
                                   " argument names, the table " + std::to_string(count) + " arguments");
            }
        }
    }
    for (const std::string& name : namesInOrder) {
        if (describedAt.count(name) == 0) problems.push_back(std::string(argv[1]) + ": no line for " + name);
    }
    if (!problems.empty()) {
        for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
        std::fprintf(stderr, "%zu problem(s): the reference is not written\n", problems.size());
        return 1;
    }

    std::ostringstream out;
    out << "# Builtin reference\n\n"
        << "<!-- Generated by tools/builtin_reference from the builtin table (host/builtin_table.cpp) and "
           "docs/builtins.txt. Do not edit: change those and run scripts/make_docs.sh. -->\n\n";
    out << "The builtin table has " << table.size() << " rows and " << namesInOrder.size() << " names";
    std::vector<std::string> repeated;
    for (const std::string& name : namesInOrder) {
        if (rowsOfName[name].size() > 1) repeated.push_back("`" + name + "`");
    }
    if (!repeated.empty()) out << " (" << Join(repeated, ", ") << (repeated.size() == 1 ? " is" : " are")
                               << " registered more than once; the last row counts)";
    out << ".\n\n";
    for (const std::string& text : preamble) out << text << "\n";
    if (!preamble.empty()) out << "\n";

    out << "| Group | Builtins |\n|---|---|\n";
    for (const Section& section : sections) {
        out << "| [" << section.title << "](#" << Anchor(section.title) << ") | " << section.entries.size()
            << " |\n";
    }
    out << "\n";

    for (const Section& section : sections) {
        out << "## " << section.title << "\n\n";
        for (const std::string& text : section.paragraph) out << text << "\n";
        if (!section.paragraph.empty()) out << "\n";
        // Table order within a section.
        std::vector<const Description*> entries;
        for (const Description& entry : section.entries) entries.push_back(&entry);
        std::stable_sort(entries.begin(), entries.end(), [&](const Description* a, const Description* b) {
            return rowsOfName[a->name].front() < rowsOfName[b->name].front();
        });
        out << "| Builtin | Arguments | Result | Description |\n|---|---|---|---|\n";
        for (const Description* entry : entries) {
            const BuiltinEntry& row = table[rowsOfName[entry->name].back()];
            std::string text = entry->text == "-" ? "" : entry->text;
            const BuiltinKind kind = KindOfBuiltin(row.function);
            const char* space = text.empty() ? "" : " ";
            if (row.function == nullptr) {
                text += std::string(space) + "Registered without a function: a call does nothing.";
            } else if (kind == BuiltinKind::NotProvided) {
                text += std::string(space) + "Not provided: prints \"Vantor Interface diagnostics: " + std::string(row.name) +
                        " not implemented\" and returns 0.";
            } else if (kind == BuiltinKind::NotBuilt) {
                text += std::string(space) + "Not available in this build: stops the script.";
            } else {
                std::vector<std::string> sharing;
                for (const BuiltinEntry& other : table) {
                    if (other.function == row.function && std::string(other.name) != row.name) {
                        sharing.push_back("`" + std::string(other.name) + "`");
                    }
                }
                if (!sharing.empty()) text += " Same routine as " + Join(sharing, ", ") + ".";
            }
            out << "| `" << row.name << "` | " << (entry->arguments.empty() ? "-" : Cell(Join(entry->arguments, ", ")))
                << " | " << Cell(entry->result) << " | " << Cell(text) << " |\n";
        }
        out << "\n";
    }
    std::string page = out.str();
    page.pop_back();  // one line break at the end
    std::fwrite(page.data(), 1, page.size(), stdout);
    return 0;
}
