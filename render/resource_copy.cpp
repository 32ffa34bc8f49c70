// The resource copy shared by the font, the pictures and the logo.
#include "render/resource_copy.h"

#include <cstring>

#include "app/shell.h"

int CopyBinaryResource(int id, void* target, std::size_t bytes, const char* owner) {
    HRSRC resource = FindResourceA(appInstance, MAKEINTRESOURCEA(id), "Binary");
    if (!resource) return ReportFailure(GetActiveWindow(), DDERR_GENERIC, "%s> FindResource FAILED", owner);
    const void* data = LockResource(LoadResource(appInstance, resource));
    if (!data || SizeofResource(appInstance, resource) < bytes)
        return ReportFailure(GetActiveWindow(), DDERR_GENERIC, "%s> LoadResource FAILED", owner);
    std::memcpy(target, data, bytes);
    return 1;
}
