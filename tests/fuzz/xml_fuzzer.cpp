// Feeds any bytes to the manifest reader and reads every value the check reads.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/xml/XmlTree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XmlTree tree;
    const bool loaded = tree.Load(std::string_view(reinterpret_cast<const char*>(data), size));
    // The path and names in GBK, written as bytes: this file is built by clang.
    static constexpr std::string_view kPath = "\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE/\xB0\xE6\xB1\xBE\xD0\xC5\xCF\xA2";
    static constexpr std::string_view kNames[] = {"\xB0\xE6\xB1\xBE\xBA\xC5", "\xCF\xC2\xD4\xD8\xB5\xD8\xD6\xB7",
                                                  "\xC9\xFD\xBC\xB6\xCB\xB5\xC3\xF7"};
    for (std::string_view name : kNames) {
        bool found = false;
        tree.GetAttribute(kPath, name, &found);
        if (found && !loaded) __builtin_trap();  // no values without a document
    }
    return 0;
}
