#include "news/PageText.h"
#include <cstdint>

// One pass over the page: every loop moves forward and nothing is scanned twice except by
// a bounded look-ahead, so a hostile page costs no more than its length.
namespace {
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLargestCodePoint = 0x10FFFF;
constexpr std::size_t kLongestTagName = 16;   // longer names match nothing we look for
constexpr std::size_t kLongestEntityName = 6; // "&nbsp;" and its kind

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[at + i]) != prefix[i])
            return false;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Tags that start a new line or cell: their text must not run into the next one's, or
// "a" + "bc" and "ab" + "c" would read alike.
bool SeparatesText(std::string_view name) {
    static constexpr std::string_view kBlocks[] = {
        "address", "article", "aside",    "blockquote", "br",     "caption",  "dd",    "div",
        "dl",      "dt",      "fieldset", "figcaption", "figure", "footer",   "form",  "h1",
        "h2",      "h3",      "h4",       "h5",         "h6",     "header",   "hr",    "img",
        "input",   "li",      "main",     "nav",        "ol",     "option",   "p",     "pre",
        "section", "select",  "table",    "tbody",      "td",     "textarea", "tfoot", "th",
        "thead",   "title",   "tr",       "ul"};
    for (std::string_view block : kBlocks) {
        if (name == block)
            return true;
    }
    return false;
}

class TextScanner {
public:
    TextScanner(std::string_view html, bool keepLines) : html(html), keepLines(keepLines) {}

    std::string Run() {
        while (at < html.size()) {
            const char c = html[at];
            if (c == '<' && StartsMarkup())
                Markup();
            else if (c == '&')
                Reference();
            else if (IsSpace(c))
                Space(1);
            else if (c == '\xC2' && at + 1 < html.size() && html[at + 1] == '\xA0')
                Space(2); // a no-break space written as UTF-8
            else
                Put(c);
        }
        return std::move(out);
    }

private:
    void Put(char c) {
        Separate();
        out += c;
        ++at;
    }
    void PutCodePoint(char32_t c, std::size_t length) {
        Separate();
        AppendUtf8(out, c);
        at += length;
    }
    void Separate() {
        if (!out.empty() && breakPending)
            out += "\r\n";
        else if (!out.empty() && spacePending)
            out += ' ';
        spacePending = false;
        breakPending = false;
    }
    void Space(std::size_t length) {
        spacePending = true;
        at += length;
    }
    void Finish() { at = html.size(); } // an unclosed construct hides the rest

    // "<" followed by a letter, "/", "!" or "?" opens markup; otherwise it is text.
    bool StartsMarkup() const {
        if (at + 1 >= html.size())
            return false;
        const char next = html[at + 1];
        return IsLetter(next) || next == '/' || next == '!' || next == '?';
    }

    void Markup() {
        if (StartsWithNoCase(html, at, "<!--")) {
            const std::size_t end = html.find("-->", at + 4);
            if (end == std::string_view::npos)
                return Finish();
            at = end + 3;
            return;
        }
        const bool closing = html[at + 1] == '/';
        std::size_t nameStart = at + (closing ? 2 : 1);
        std::string name;
        std::size_t i = nameStart;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/') {
            if (name.size() <= kLongestTagName)
                name += Lower(html[i]);
            ++i;
        }
        if (!SkipTagRest(i))
            return Finish();
        if (SeparatesText(name))
            (keepLines ? breakPending : spacePending) = true;
        if (!closing && (name == "script" || name == "style"))
            SkipRawText(name);
    }

    // Moves past the ">" that ends the tag, stepping over quoted attribute values.
    bool SkipTagRest(std::size_t i) {
        while (i < html.size()) {
            const char c = html[i];
            if (c == '>') {
                at = i + 1;
                return true;
            }
            if (c == '=') {
                ++i;
                while (i < html.size() && IsSpace(html[i]))
                    ++i;
                if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                    const std::size_t close = html.find(html[i], i + 1);
                    if (close == std::string_view::npos)
                        return false;
                    i = close + 1;
                }
                continue;
            }
            ++i;
        }
        return false;
    }

    // Script and style hold no markup: everything up to their end tag is dropped.
    void SkipRawText(const std::string& name) {
        for (std::size_t i = at; i + 1 < html.size(); ++i) {
            if (html[i] != '<' || html[i + 1] != '/' || !StartsWithNoCase(html, i + 2, name))
                continue;
            const std::size_t after = i + 2 + name.size();
            if (after < html.size() && !IsSpace(html[after]) && html[after] != '>' &&
                html[after] != '/')
                continue;
            if (!SkipTagRest(after))
                Finish();
            return;
        }
        Finish();
    }

    void Reference() {
        if (at + 1 < html.size() && html[at + 1] == '#') {
            if (!NumericReference())
                Put('&');
            return;
        }
        static constexpr struct {
            std::string_view name;
            char32_t code;
        } kNamed[] = {{"amp;", '&'},  {"lt;", '<'},    {"gt;", '>'},
                      {"quot;", '"'}, {"apos;", '\''}, {"nbsp;", 0xA0}};
        const std::string_view rest = html.substr(at + 1, kLongestEntityName);
        for (const auto& entity : kNamed) {
            if (rest.substr(0, entity.name.size()) != entity.name)
                continue;
            if (entity.code == 0xA0)
                Space(1 + entity.name.size());
            else
                PutCodePoint(entity.code, 1 + entity.name.size());
            return;
        }
        Put('&'); // unknown: stays as written
    }

    // "&#NNN;" or "&#xHH;", the ";" optional; false when no digit follows.
    bool NumericReference() {
        std::size_t i = at + 2;
        const bool hex = i < html.size() && (html[i] == 'x' || html[i] == 'X');
        if (hex)
            ++i;
        const std::size_t digitsStart = i;
        std::uint32_t value = 0;
        bool tooLarge = false;
        for (; i < html.size(); ++i) {
            const char c = Lower(html[i]);
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            if (digit < 0)
                break;
            if (!tooLarge) {
                value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
                tooLarge = value > kLargestCodePoint;
            }
        }
        if (i == digitsStart)
            return false;
        if (i < html.size() && html[i] == ';')
            ++i;
        char32_t code = value;
        if (tooLarge || code == 0 || (code >= 0xD800 && code <= 0xDFFF))
            code = kReplacement;
        const std::size_t length = i - at;
        if (code == 0xA0 || (code < 0x80 && IsSpace(static_cast<char>(code))))
            Space(length);
        else
            PutCodePoint(code, length);
        return true;
    }

    std::string_view html;
    std::size_t at = 0;
    std::string out;
    bool keepLines = false;
    bool spacePending = false;
    bool breakPending = false;
};
} // namespace

std::string VisibleText(std::string_view html) {
    return TextScanner(html, false).Run();
}

std::string ReadableText(std::string_view html) {
    return TextScanner(html, true).Run();
}

bool TakePageText(std::string& stored, const std::string& fresh) {
    // A load with no visible text at all is a failed or blank load: it changes nothing, so
    // the page's return to its old text raises nothing either.
    if (fresh.empty())
        return false;
    // A page counts as updated when its visible text changes (any change of characters),
    // not its markup, so that session tokens or time stamps in the markup raise nothing;
    // the first load into an empty stored text is not an update.
    const bool updated = !stored.empty() && stored != fresh;
    stored = fresh;
    return updated;
}
