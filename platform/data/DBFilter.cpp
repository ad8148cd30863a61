#include "DBFilter.h"

#include <cctype>

namespace data::detail {

using rtl::Format;
using rtl::Variant;

namespace {

struct Token {
    enum Type { End, Name, QuotedName, String, Number, LParen, RParen, Op } type = End;
    std::string text;
};

std::string Describe(const Token& t) { return t.type == Token::End ? "end of expression" : "'" + t.text + "'"; }

bool IsNameByte(unsigned char c, bool first) {
    return std::isalpha(c) || c == '_' || c >= 0x80 || (!first && (std::isdigit(c) || c == '.'));
}

std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    size_t i = 0;
    auto operandBefore = [&] {
        if (out.empty()) return false;
        const Token::Type t = out.back().type;
        return t == Token::Name || t == Token::QuotedName || t == Token::String || t == Token::Number || t == Token::RParen;
    };
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        Token t;
        if (c == '(' || c == ')') {
            t.type = c == '(' ? Token::LParen : Token::RParen;
            t.text = std::string(1, static_cast<char>(c));
            ++i;
        } else if (c == '\'') {
            t.type = Token::String;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == '\'') {
                    if (i + 1 < s.size() && s[i + 1] == '\'') {
                        t.text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                t.text += s[i++];
            }
            if (!closed) throw EDatabaseError("Unterminated string constant");
        } else if (c == '[' || c == '"') {
            const char close = c == '[' ? ']' : '"';
            const size_t end = s.find(close, i + 1);
            if (end == std::string_view::npos) throw EDatabaseError("Unterminated field name");
            t.type = Token::QuotedName;
            t.text = std::string(s.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (std::isdigit(c) || ((c == '-' || c == '.') && i + 1 < s.size() &&
                                       std::isdigit(static_cast<unsigned char>(s[i + 1])) && !operandBefore())) {
            t.type = Token::Number;
            t.text += s[i++];
            while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.' || s[i] == 'e' || s[i] == 'E' ||
                                    ((s[i] == '-' || s[i] == '+') && (s[i - 1] == 'e' || s[i - 1] == 'E')))) {
                t.text += s[i++];
            }
        } else if (IsNameByte(c, true)) {
            t.type = Token::Name;
            while (i < s.size() && IsNameByte(static_cast<unsigned char>(s[i]), false)) t.text += s[i++];
        } else if (c == '<' || c == '>' || c == '=' || c == '!') {
            t.type = Token::Op;
            const std::string_view two = s.substr(i, 2);
            if (two == "<>" || two == "<=" || two == ">=" || two == "!=") {
                t.text = std::string(two);
                i += 2;
            } else if (c != '!') {
                t.text = std::string(1, static_cast<char>(c));
                ++i;
            } else {
                throw EDatabaseError(Format("Invalid filter expression character: '%s'", {std::string(1, static_cast<char>(c))}));
            }
        } else {
            throw EDatabaseError(Format("Invalid filter expression character: '%s'", {std::string(1, static_cast<char>(c))}));
        }
        out.push_back(std::move(t));
    }
    out.push_back(Token{});
    return out;
}

struct Operand {
    bool isField = false;
    int slot = -1;
    TFieldType type = TFieldType::ftUnknown;
    Variant constant;
    bool nullLiteral = false;
    bool partial = false;  // a text constant ending in "*"
    std::string prefix;    // the constant without its "*"
};

}  // namespace

struct FilterExpression::Node {
    enum Kind { Or, And, Not, Cmp, IsNull } kind = Cmp;
    std::unique_ptr<Node> a, b;
    Operand x, y;
    std::string op;
    bool negate = false;
};

namespace {

class Parser {
public:
    Parser(std::vector<Token> tokens, const FieldResolver& resolve) : t_(std::move(tokens)), resolve_(resolve) {}

    std::unique_ptr<FilterExpression::Node> Parse() {
        auto n = Or();
        if (Peek().type != Token::End) throw EDatabaseError("Filter expression incorrectly terminated");
        return n;
    }

private:
    using Node = FilterExpression::Node;

    const Token& Peek() const { return t_[pos_]; }
    const Token& Take() { return t_[pos_ < t_.size() - 1 ? pos_++ : pos_]; }
    bool IsKeyword(const char* kw) const { return Peek().type == Token::Name && rtl::SameText(Peek().text, kw); }

    std::unique_ptr<Node> Or() {
        auto left = And();
        while (IsKeyword("OR")) {
            Take();
            auto n = std::make_unique<Node>();
            n->kind = Node::Or;
            n->a = std::move(left);
            n->b = And();
            left = std::move(n);
        }
        return left;
    }

    std::unique_ptr<Node> And() {
        auto left = Factor();
        while (IsKeyword("AND")) {
            Take();
            auto n = std::make_unique<Node>();
            n->kind = Node::And;
            n->a = std::move(left);
            n->b = Factor();
            left = std::move(n);
        }
        return left;
    }

    std::unique_ptr<Node> Factor() {
        if (IsKeyword("NOT")) {
            Take();
            auto n = std::make_unique<Node>();
            n->kind = Node::Not;
            n->a = Factor();
            return n;
        }
        if (Peek().type == Token::LParen) {
            Take();
            auto n = Or();
            if (Peek().type != Token::RParen) throw EDatabaseError(Format("')' expected but %s found", {Describe(Peek())}));
            Take();
            return n;
        }
        return Comparison();
    }

    std::unique_ptr<Node> Comparison() {
        auto n = std::make_unique<Node>();
        n->x = ReadOperand();
        if (IsKeyword("IS")) {
            Take();
            n->kind = Node::IsNull;
            if (IsKeyword("NOT")) {
                Take();
                n->negate = true;
            }
            if (!IsKeyword("NULL")) throw EDatabaseError(Format("NULL expected but %s found", {Describe(Peek())}));
            Take();
            return n;
        }
        if (Peek().type != Token::Op) throw EDatabaseError(Format("Operator expected but %s found", {Describe(Peek())}));
        n->op = Take().text;
        if (n->op == "!=") n->op = "<>";
        n->y = ReadOperand();
        Prepare(n->x, n->y);
        Prepare(n->y, n->x);
        return n;
    }

    Operand ReadOperand() {
        const Token& t = Peek();
        Operand o;
        switch (t.type) {
            case Token::Name:
                if (rtl::SameText(t.text, "NULL")) {
                    o.nullLiteral = true;
                    o.constant = Variant::Null();
                    break;
                }
                for (const char* kw : {"AND", "OR", "NOT", "IS"}) {
                    if (rtl::SameText(t.text, kw)) throw EDatabaseError(Format("Expression expected but %s found", {Describe(t)}));
                }
                [[fallthrough]];
            case Token::QuotedName: {
                const FilterField f = resolve_(t.text);
                o.isField = true;
                o.slot = f.slot;
                o.type = f.type;
                break;
            }
            case Token::String: o.constant = Variant(t.text); break;
            case Token::Number: {
                int64_t n;
                if (rtl::TryStrToInt64(t.text, n)) {
                    o.constant = Variant(static_cast<long long>(n));
                } else {
                    double d;
                    if (!rtl::TryStrToFloat(t.text, d)) throw EDatabaseError(Format("Invalid number %s", {Describe(t)}));
                    o.constant = Variant(d);
                }
                break;
            }
            default: throw EDatabaseError(Format("Expression expected but %s found", {Describe(t)}));
        }
        Take();
        return o;
    }

    // A constant compared with a field takes the field's type once, here.
    static void Prepare(Operand& constant, const Operand& field) {
        if (constant.isField || constant.nullLiteral || !field.isField) return;
        if (KindOf(field.type) == ValueKind::Text) {
            const std::string s = constant.constant.AsString();
            constant.constant = Variant(s);
            if (!s.empty() && s.back() == '*') {
                constant.partial = true;
                constant.prefix = s.substr(0, s.size() - 1);
            }
            return;
        }
        try {
            constant.constant = CoerceFieldValue(field.type, constant.constant, "");
        } catch (const rtl::Exception&) {
            throw EDatabaseError("Type mismatch in expression");
        }
    }

    std::vector<Token> t_;
    size_t pos_ = 0;
    const FieldResolver& resolve_;
};

const Variant& ValueOf(const Operand& o, const std::vector<Variant>& values) {
    return o.isField ? values[static_cast<size_t>(o.slot)] : o.constant;
}

bool IsNullValue(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

bool Evaluate(const FilterExpression::Node& n, const std::vector<Variant>& values, TFilterOptions options) {
    using Node = FilterExpression::Node;
    switch (n.kind) {
        case Node::Or: return Evaluate(*n.a, values, options) || Evaluate(*n.b, values, options);
        case Node::And: return Evaluate(*n.a, values, options) && Evaluate(*n.b, values, options);
        case Node::Not: return !Evaluate(*n.a, values, options);
        case Node::IsNull: return IsNullValue(ValueOf(n.x, values)) != n.negate;
        case Node::Cmp: break;
    }
    const Variant& l = ValueOf(n.x, values);
    const Variant& r = ValueOf(n.y, values);
    if (n.x.nullLiteral || n.y.nullLiteral) {
        const bool same = IsNullValue(l) == IsNullValue(r);
        if (n.op == "=") return same;
        if (n.op == "<>") return !same;
        return false;
    }
    if (IsNullValue(l) || IsNullValue(r)) return false;
    const bool ci = (options >> foCaseInsensitive) & 1;
    const Operand* pattern = n.y.partial ? &n.y : n.x.partial ? &n.x : nullptr;
    if (pattern && !((options >> foNoPartialCompare) & 1) && (n.op == "=" || n.op == "<>")) {
        const Variant& subject = pattern == &n.y ? l : r;
        std::string text = subject.AsString();
        std::string prefix = pattern->prefix;
        if (ci) {
            text = rtl::AnsiUpperCase(text);
            prefix = rtl::AnsiUpperCase(prefix);
        }
        const bool match = text.compare(0, prefix.size(), prefix) == 0;
        return n.op == "=" ? match : !match;
    }
    const int c = CompareFieldValues(l, r, ci);
    if (n.op == "=") return c == 0;
    if (n.op == "<>") return c != 0;
    if (n.op == "<") return c < 0;
    if (n.op == ">") return c > 0;
    if (n.op == "<=") return c <= 0;
    return c >= 0;
}

}  // namespace

FilterExpression::FilterExpression(std::string_view text, const FieldResolver& resolve)
    : root_(Parser(Tokenize(text), resolve).Parse()) {}

FilterExpression::~FilterExpression() = default;

bool FilterExpression::Matches(const std::vector<Variant>& values, TFilterOptions options) const {
    return Evaluate(*root_, values, options);
}

}  // namespace data::detail
