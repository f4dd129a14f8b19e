#include "app/UpdateState.h"

#include "platform/Runtime.h"

UpdateState updateState;

void InitState() {
    updateState.manifest = std::make_unique<XmlTree>();
}

void ExitCleanup() {
    updateState.manifest.reset();
    std::string().swap(updateState.downloadAddress);
}

std::string RunPath(const char* name) {
    std::string path = platform::RunDirectory();
    path += platform::kPathSeparator;
    path += name;
    return path;
}
