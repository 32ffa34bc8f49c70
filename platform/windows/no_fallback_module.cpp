// Windows carries no copy of the music inside the program: the module is the file quendralis.xm in
// the directory the demo is started in, which the build puts next to quendralis.exe.
#include "platform/resources.h"

namespace qres {

const unsigned char* const fallbackModule = nullptr;
const std::size_t fallbackModuleSize = 0;

}  // namespace qres
