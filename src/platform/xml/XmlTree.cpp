#include "platform/xml/XmlTree.h"

#include "platform/Text.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

// One pass over the bytes. Tags are scanned byte by byte: every byte that means
// something inside a tag lies below 0x40, where no GBK trail byte can fall.
class XmlParser {
public:
    XmlParser(std::string_view in, std::vector<XmlTree::Element>& out) : in_(in), out_(out) {}

    bool Parse() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '>') return false;  // a ">" outside any tag
            if (c != '<') {
                ++pos_;  // element text, and text before or after the root, is ignored
                continue;
            }
            if (!Markup()) return false;
        }
        return !out_.empty() && open_.empty();
    }

private:
    bool StartsWith(std::string_view s) const { return in_.substr(pos_, s.size()) == s; }

    // Skips to just past `end`; false when the bytes run out first.
    bool SkipPast(std::string_view end) {
        const std::size_t at = in_.find(end, pos_);
        if (at == std::string_view::npos) return false;
        pos_ = at + end.size();
        return true;
    }

    bool Markup() {
        if (StartsWith("<!--")) return SkipPast("-->");
        if (StartsWith("<![CDATA[")) return SkipCdata();
        if (StartsWith("<?")) return SkipPast("?>");
        if (StartsWith("<!")) return SkipDeclaration();
        if (StartsWith("</")) return EndTag();
        return StartTag();
    }

    // CDATA is text that may hold ">"; its end is searched character by
    // character, since a trail byte can be "]".
    bool SkipCdata() {
        for (pos_ += 9; pos_ < in_.size(); pos_ += text::CharLength(in_, pos_))
            if (StartsWith("]]>")) {
                pos_ += 3;
                return true;
            }
        return false;
    }

    // <!DOCTYPE ...> with an optional internal subset in brackets.
    bool SkipDeclaration() {
        int depth = 0;
        for (pos_ += 2; pos_ < in_.size(); pos_ += text::CharLength(in_, pos_)) {
            const char c = in_[pos_];
            if (c == '[') ++depth;
            else if (c == ']') --depth;
            else if (c == '>' && depth <= 0) {
                ++pos_;
                return true;
            }
        }
        return false;
    }

    std::string_view Name() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && !IsSpace(in_[pos_]) && in_[pos_] != '>' && in_[pos_] != '/' &&
               in_[pos_] != '<' && in_[pos_] != '=' && in_[pos_] != '"')
            ++pos_;
        return in_.substr(start, pos_ - start);
    }

    void SkipSpaces() {
        while (pos_ < in_.size() && IsSpace(in_[pos_])) ++pos_;
    }

    bool EndTag() {
        pos_ += 2;
        const std::string_view name = Name();
        SkipSpaces();
        if (pos_ >= in_.size() || in_[pos_] != '>') return false;
        ++pos_;
        if (open_.empty() || out_[open_.back()].name != name) return false;
        open_.pop_back();
        return true;
    }

    bool StartTag() {
        ++pos_;
        const std::string_view name = Name();
        if (name.empty()) return false;  // a space (or "<", ">", ...) right after "<"
        AddElement(name);
        for (;;) {
            const bool spaced = pos_ < in_.size() && IsSpace(in_[pos_]);
            SkipSpaces();
            if (pos_ >= in_.size()) return false;
            const char c = in_[pos_];
            if (c == '>') {
                ++pos_;
                open_.push_back(current_);
                return true;
            }
            if (c == '/') {
                if (!StartsWith("/>")) return false;
                pos_ += 2;
                return true;
            }
            if (!spaced || !Attribute()) return false;
        }
    }

    bool Attribute() {
        const std::string_view name = Name();
        if (name.empty()) return false;  // "<", "=" or a quote where a name belongs
        SkipSpaces();
        if (pos_ >= in_.size() || in_[pos_] != '=') return false;
        ++pos_;
        SkipSpaces();
        if (pos_ >= in_.size() || in_[pos_] != '"') return false;
        const std::size_t close = in_.find('"', pos_ + 1);
        if (close == std::string_view::npos) return false;
        const std::string_view value = in_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        auto& attributes = out_[current_].attributes;
        for (const auto& a : attributes)
            if (a.first == name) return false;  // the same attribute twice
        attributes.emplace_back(name, value);
        return true;
    }

    // A top-level element after the root starts a tree of its own that no path
    // reaches: the document's root is always the first element.
    void AddElement(std::string_view name) {
        const auto index = static_cast<std::uint32_t>(out_.size());
        out_.push_back(XmlTree::Element{std::string(name), {}, XmlTree::kNone, XmlTree::kNone, XmlTree::kNone});
        if (!open_.empty()) {
            XmlTree::Element& parent = out_[open_.back()];
            if (parent.lastChild == XmlTree::kNone) parent.firstChild = index;
            else out_[parent.lastChild].nextSibling = index;
            parent.lastChild = index;
        }
        current_ = index;
    }

    std::string_view in_;
    std::vector<XmlTree::Element>& out_;
    std::vector<std::uint32_t> open_;
    std::size_t pos_ = 0;
    std::uint32_t current_ = 0;
};

bool XmlTree::Load(std::string_view bytes) {
    elements_.clear();
    if (!XmlParser(bytes, elements_).Parse()) elements_.clear();
    return HasDocument();
}

std::string XmlTree::GetAttribute(std::string_view path, std::string_view name, bool* found) const {
    if (found) *found = false;
    if (elements_.empty() || path.empty() || name.empty()) return {};
    std::uint32_t at = kNone;
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find('/', start);
        const std::string_view step = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (at == kNone) {
            if (elements_[0].name != step) return {};
            at = 0;
        } else {
            std::uint32_t child = elements_[at].firstChild;
            while (child != kNone && elements_[child].name != step) child = elements_[child].nextSibling;
            if (child == kNone) return {};
            at = child;
        }
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    for (const auto& attribute : elements_[at].attributes)
        if (attribute.first == name) {
            if (found) *found = true;
            return ReplaceXmlReferences(attribute.second);
        }
    return {};
}

std::string ReplaceXmlReferences(std::string_view raw) {
    static constexpr struct {
        std::string_view reference;
        char replacement;
    } kReferences[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&apos;", '\''}, {"&quote;", '"'}};
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        if (raw[i] == '&') {
            bool replaced = false;
            for (const auto& r : kReferences)
                if (raw.substr(i, r.reference.size()) == r.reference) {
                    out += r.replacement;
                    i += r.reference.size();
                    replaced = true;
                    break;
                }
            if (replaced) continue;
        }
        const std::size_t n = text::CharLength(raw, i);
        out.append(raw, i, n);
        i += n;
    }
    return out;
}
