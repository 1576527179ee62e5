#include "DefinitionParser.h"

namespace tweakbar {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isQuote(char c) { return c == '\'' || c == '`' || c == '"'; }

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }
    void advance() { ++pos_; }

    void skipBlanks() {
        while (!atEnd() && isBlank(peek())) {
            advance();
        }
    }

    // A quoted run, or a bare run that ends at a blank (and at '=' when
    // stopAtEquals is set).
    std::optional<std::string> token(bool stopAtEquals) {
        if (atEnd()) {
            return std::nullopt;
        }
        if (isQuote(peek())) {
            char quote = peek();
            advance();
            size_t start = pos_;
            while (!atEnd() && peek() != quote) {
                advance();
            }
            if (atEnd()) {
                return std::nullopt; // unterminated quote
            }
            std::string run(text_.substr(start, pos_ - start));
            advance();
            if (!atEnd() && !isBlank(peek())) {
                return std::nullopt; // text glued to a closing quote
            }
            return run;
        }
        size_t start = pos_;
        while (!atEnd() && !isBlank(peek()) && !(stopAtEquals && peek() == '=')) {
            advance();
        }
        if (pos_ == start) {
            return std::nullopt;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

std::optional<DefinitionAttribute> attribute(Scanner& in) {
    if (isQuote(in.peek())) {
        return std::nullopt; // names are never quoted
    }
    auto name = in.token(true);
    if (!name) {
        return std::nullopt;
    }
    DefinitionAttribute result;
    result.name = std::move(*name);
    in.skipBlanks();
    if (in.atEnd() || in.peek() != '=') {
        return result;
    }
    in.advance();
    in.skipBlanks();
    auto value = in.token(false);
    if (!value) {
        return std::nullopt;
    }
    result.value = std::move(*value);
    result.hasValue = true;
    return result;
}

std::optional<std::vector<DefinitionAttribute>> attributeList(Scanner& in) {
    std::vector<DefinitionAttribute> list;
    in.skipBlanks();
    while (!in.atEnd()) {
        auto next = attribute(in);
        if (!next) {
            return std::nullopt;
        }
        list.push_back(std::move(*next));
        in.skipBlanks();
    }
    return list;
}

} // namespace

std::optional<Definition> parseDefinition(std::string_view text) {
    Scanner in(text);
    in.skipBlanks();
    bool quoted = !in.atEnd() && isQuote(in.peek());
    auto target = in.token(false);
    if (!target || (!quoted && target->find('=') != std::string::npos)) {
        return std::nullopt;
    }
    auto attributes = attributeList(in);
    if (!attributes) {
        return std::nullopt;
    }
    return Definition{std::move(*target), std::move(*attributes)};
}

std::optional<std::vector<DefinitionAttribute>> parseAttributes(std::string_view text) {
    Scanner in(text);
    return attributeList(in);
}

} // namespace tweakbar
