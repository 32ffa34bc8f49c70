// Turns the resource script data/resources.rc into a C++ table of the files it names, so that the
// Win32 resource calls of the platform layer can find them on systems without a resource compiler.
//   embed SCRIPT OUTPUT.cpp [--module FILE] [--depfile FILE]
// The dependency file names every file read, in the form build tools read after a compiler's -MD.
// Of the preprocessor, which a resource compiler runs first, the script uses only #include "FILE"
// (relative to the including file) and #define NAME NUMBER, for resource numbers by name.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Entry {
    int id;
    std::string type;
    std::string path;
};

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Directory(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// What stands between the quotes where `text` starts with `"name"`, else "".
std::string Quoted(const std::string& text) {
    const auto close = text.find('"', 1);
    if (text.empty() || text.front() != '"' || close == std::string::npos || close < 2) return "";
    return text.substr(1, close - 1);
}

// The first word of `text` and what follows it, without the spaces between.
std::pair<std::string, std::string> SplitWord(const std::string& text) {
    std::istringstream fields(text);
    std::string word, rest;
    fields >> word >> std::ws;
    std::getline(fields, rest);
    return {word, rest};
}

struct Script {
    std::vector<Entry> entries;
    std::map<std::string, int> names;  // from #define NAME NUMBER
    std::vector<std::string> inputs;   // every file read, for the dependency file
};

int ResourceNumber(const Script& script, const std::string& word, const std::string& path) {
    const auto name = script.names.find(word);
    if (name != script.names.end()) return name->second;
    std::size_t end = 0;
    int number = -1;
    try {
        number = std::stoi(word, &end);
    } catch (const std::exception&) {}
    if (end != word.size() || number < 0 || number > 0xFFFF)
        throw std::runtime_error(path + ": " + word + " is neither a resource number nor a name #defined before it");
    return number;
}

// `<id> <TYPE> "<file>"`, with the id a number or a #defined name; comments and blank lines are
// not resources.
void ReadScript(const std::string& path, Script& script) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    script.inputs.push_back(path);
    for (std::string line; std::getline(in, line);) {
        const auto [first, rest] = SplitWord(line);
        const auto [second, last] = SplitWord(rest);
        if (first == "#include") {
            const std::string file = Quoted(rest);
            if (file.empty()) throw std::runtime_error(path + ": #include takes a \"file\": " + line);
            ReadScript(Directory(path) + "/" + file, script);
        } else if (first == "#define") {
            script.names[second] = ResourceNumber(script, SplitWord(last).first, path);
        } else if (!first.empty() && first[0] != '#' && first[0] != '/' && !Quoted(last).empty()) {
            script.entries.push_back({ResourceNumber(script, first, path), second, Quoted(last)});
        }
    }
}

// A path in a dependency file: spaces and the characters make treats specially escaped.
std::string DepfilePath(const std::string& path) {
    std::string escaped;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') escaped += '\\';
        if (c == '$') escaped += '$';
        escaped += c;
    }
    return escaped;
}

void WriteDepfile(const std::string& path, const std::string& output, const std::vector<std::string>& inputs) {
    std::ofstream file(path, std::ios::binary);
    file << DepfilePath(output) << ":";
    for (const std::string& input : inputs) file << " \\\n  " << DepfilePath(input);
    file << "\n";
    if (!file) throw std::runtime_error("cannot write " + path);
}

// Octal escapes never run into the next byte, unlike hexadecimal ones.
void WriteBytes(std::ostream& out, const std::string& name, const std::vector<unsigned char>& bytes) {
    out << "static const char " << name << "[] =\n";
    if (bytes.empty()) out << "\"\"";
    for (std::size_t i = 0; i < bytes.size(); i += 64) {
        out << "\"";
        for (std::size_t j = i; j < bytes.size() && j < i + 64; ++j) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", bytes[j]);
            out << escape;
        }
        out << "\"\n";
    }
    out << ";\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::string modulePath, depfilePath;
    bool usage = argc < 3;
    for (int i = 3; i < argc && !usage; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            usage = true;
        else if (option == "--module")
            modulePath = argv[i + 1];
        else if (option == "--depfile")
            depfilePath = argv[i + 1];
        else
            usage = true;
    }
    if (usage) {
        std::cerr << "usage: embed SCRIPT OUTPUT.cpp [--module FILE] [--depfile FILE]\n";
        return 2;
    }
    try {
        const std::string scriptPath = argv[1];
        Script script;
        ReadScript(scriptPath, script);
        const std::vector<Entry>& entries = script.entries;
        std::vector<std::string>& inputs = script.inputs;

        std::ostringstream out;
        // Blobs of more than 64 KiB (pictures, the module) make one string literal each, longer
        // than the length every compiler must accept; GCC and Clang accept it but warn under -Wpedantic.
        out << "// Generated by tools/embed from " << scriptPath << ". Do not edit.\n"
            << "#pragma GCC diagnostic ignored \"-Woverlength-strings\"\n"
            << "#include \"platform/resources.h\"\n\nnamespace qres {\n\n";
        for (std::size_t i = 0; i < entries.size(); ++i) {
            inputs.push_back(Directory(scriptPath) + "/" + entries[i].path);
            WriteBytes(out, "blob" + std::to_string(i), ReadFile(inputs.back()));
        }
        std::vector<unsigned char> module;
        if (!modulePath.empty()) {
            inputs.push_back(modulePath);
            module = ReadFile(modulePath);
        }
        WriteBytes(out, "moduleBytes", module);

        out << "\nconst Resource table[] = {\n";
        for (std::size_t i = 0; i < entries.size(); ++i)
            out << "    {" << entries[i].id << ", \"" << entries[i].type
                << "\", reinterpret_cast<const unsigned char*>(blob" << i << "), sizeof blob" << i << " - 1},\n";
        out << "    {0, nullptr, nullptr, 0}};\n"
            << "const std::size_t tableSize = " << entries.size() << ";\n"
            << "const unsigned char* const fallbackModule = reinterpret_cast<const unsigned char*>(moduleBytes);\n"
            << "const std::size_t fallbackModuleSize = sizeof moduleBytes - 1;\n\n}  // namespace qres\n";

        std::ofstream file(argv[2], std::ios::binary);
        file << out.str();
        if (!file) throw std::runtime_error(std::string("cannot write ") + argv[2]);
        if (!depfilePath.empty()) WriteDepfile(depfilePath, argv[2], inputs);
    } catch (const std::exception& e) {
        std::cerr << "embed: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
