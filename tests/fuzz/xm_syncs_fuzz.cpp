// Fuzzes the XM layout scanner: any bytes, no read outside them, and a layout that holds together
// whenever the scanner accepts the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/xm_syncs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XmSongLayout layout;
    if (!ScanXmSyncs(data, size, layout)) return 0;
    if (layout.orders.size() > 256 || layout.patternRows.size() > 256) std::abort();
    const XmSyncCell* previous = nullptr;
    for (const XmSyncCell& cell : layout.syncs) {
        if (cell.pattern >= layout.patternRows.size() || cell.row >= layout.patternRows[cell.pattern] ||
            cell.channel >= 128 || cell.value > 255)
            std::abort();
        // By pattern, then row, then channel.
        if (previous &&
            (previous->pattern > cell.pattern ||
             (previous->pattern == cell.pattern &&
              (previous->row > cell.row || (previous->row == cell.row && previous->channel >= cell.channel)))))
            std::abort();
        previous = &cell;
    }
    return 0;
}
