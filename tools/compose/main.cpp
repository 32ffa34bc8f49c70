// Composes the demo's music and writes it as OUTPUT_DIR/quendralis.xm.
//   compose OUTPUT_DIR
#include "tools/compose/song.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: compose OUTPUT_DIR\n");
        return 2;
    }
    try {
        const std::vector<std::uint8_t> bytes = xm::Write(compose::ComposeSong());
        const std::string path = std::string(argv[1]) + "/quendralis.xm";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "compose: cannot write %s\n", path.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "compose: %s\n", e.what());
        return 1;
    }
    return 0;
}
