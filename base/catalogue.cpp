#include "base/catalogue.h"

#include <cstddef>

namespace gombocok {
namespace {

// The usage fits a terminal of 80 columns with room to spare.
constexpr std::size_t kUsageWidth = 78;
// The keys' and options' descriptions start in this column.
constexpr std::size_t kUsageTab = 17;

// Characters, not bytes: the texts are UTF-8.
std::size_t columns(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// `words` broken at blanks into lines of at most kUsageWidth columns; the first line goes on
// after `start`, which is `indent` columns wide, and every further line starts with `indent`
// blanks.
std::string wrapped(std::string start, std::string_view words, std::size_t indent) {
    std::string out = std::move(start);
    std::size_t width = columns(out);
    bool lineEmpty = true;
    while (!words.empty()) {
        const std::size_t blank = words.find(' ');
        const std::string_view word = words.substr(0, blank);
        words = blank == std::string_view::npos ? std::string_view{} : words.substr(blank + 1);
        if (!lineEmpty && width + 1 + columns(word) > kUsageWidth) {
            out += '\n';
            out.append(indent, ' ');
            width = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++width;
        }
        out += word;
        width += columns(word);
        lineEmpty = false;
    }
    return out + '\n';
}

// "  keys" padded to the description column, then the description.
std::string row(std::string_view keys, std::string_view does) {
    std::string start = "  " + std::string(keys);
    start.append(kUsageTab - columns(start), ' ');
    return wrapped(std::move(start), does, kUsageTab);
}

}  // namespace

std::string filled(std::string_view pattern, std::string_view first, std::string_view second) {
    std::string out;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (pattern[k] == '%' && k + 1 < pattern.size() &&
            (pattern[k + 1] == '1' || pattern[k + 1] == '2')) {
            out += pattern[k + 1] == '1' ? first : second;
            ++k;
        } else {
            out += pattern[k];
        }
    }
    return out;
}

std::string gameWindowCaption(bool hungarian) {
    return std::string(text::gameName.in(hungarian)) +
           std::string(hungarian ? text::makerMarkBlanksHu : text::makerMarkBlanksEn, ' ') +
           std::string(text::makerMark);
}

std::string creditText(bool hungarian) {
    return filled(text::credit.in(hungarian), text::gameName.in(hungarian));
}

std::string bothLanguages(const Text& t) {
    return std::string(t.hu) + "\r\r(" + std::string(t.en) + ")";
}

std::string bothLanguagesTitle() {
    return std::string(text::gameName.hu) + " (" + std::string(text::gameName.en) + ")";
}

std::string usageText(bool hungarian) {
    std::string synopsis = "[";
    for (const OptionRow& o : kOptionRows) {
        if (synopsis.size() > 1) synopsis += " | ";
        synopsis += std::string(o.shortName) + " | " + std::string(o.longName);
    }
    synopsis += "]";

    const std::string_view name = text::gameName.in(hungarian);
    const std::string_view other = text::gameName.in(!hungarian);
    std::string out = filled(text::usageLine.in(hungarian), synopsis) + "\n";
    out += wrapped("", filled(text::usageAbout.in(hungarian), name, other), 0);
    out += "\n" + std::string(text::usageKeys.in(hungarian)) + "\n";
    for (const KeyRow& k : kKeyRows) out += row(k.keys.in(hungarian), k.does.in(hungarian));
    out += "\n" + std::string(text::usageOptions.in(hungarian)) + "\n";
    for (const OptionRow& o : kOptionRows)
        out += row(std::string(o.shortName) + ", " + std::string(o.longName), o.does.in(hungarian));
    out += std::string(text::usageQtOptions.in(hungarian)) + "\n\n";
    out += wrapped("", text::usageSettings.in(hungarian), 0);
    return out;
}

}  // namespace gombocok
