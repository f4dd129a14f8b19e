// Command-line drivers of the installation's parts, for the bench:
//   install_driver extract ARCHIVE DESTINATION
//   install_driver copy SOURCE TARGET
#include <cstdio>
#include <cstring>

#include "install/MirrorCopy.h"
#include "platform/zip/Extract.h"

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "extract") == 0) return ExtractArchive(argv[2], argv[3]) == 1 ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "copy") == 0) {
        MirrorCopyDirectory(0, argv[2], argv[3]);
        return 0;
    }
    std::fprintf(stderr, "usage: %s extract ARCHIVE DESTINATION | copy SOURCE TARGET\n", argv[0]);
    return 2;
}
