// A reader for the small XML dialect of the version manifest: elements with
// double-quoted attributes, in the ANSI code page, read byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class XmlTree {
public:
    // Releases the document held so far, then reads `bytes`. True when they form
    // a document in which every element is closed; false leaves no document.
    bool Load(std::string_view bytes);

    // The value of attribute `name` of the element selected by `path` (element
    // names separated by "/", the first one the root's), with the references
    // &lt; &gt; &amp; &apos; &quote; replaced. Empty when anything is missing;
    // `found`, when given, tells a missing attribute from an empty value.
    std::string GetAttribute(std::string_view path, std::string_view name, bool* found = nullptr) const;

    bool HasDocument() const { return !elements_.empty(); }
    void Clear() { elements_.clear(); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    struct Element {
        std::string name;
        std::vector<std::pair<std::string, std::string>> attributes;  // raw values, in order
        std::uint32_t firstChild = kNone;
        std::uint32_t lastChild = kNone;
        std::uint32_t nextSibling = kNone;
    };
    friend class XmlParser;

    std::vector<Element> elements_;  // elements_[0] is the root
};

// Replaces the five references of the manifest dialect in one pass, left to right.
std::string ReplaceXmlReferences(std::string_view raw);
