#include "xlsodbc/sql.h"

#include "runtime/gbk.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace qr::xls {
namespace {

struct Token {
    enum class Kind { End, Word, Quoted, Text, Number, Punct, Param } kind = Kind::End;
    std::string text;
    double number = 0;
    std::size_t pos = 0;
};

bool isWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x81; }
bool isWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x81; }

class Lexer {
public:
    explicit Lexer(std::string_view s)
        : s_(s)
    {}

    bool next(Token& t, std::string& error)
    {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_])))
            ++i_;
        t = Token{};
        t.pos = i_;
        if (i_ >= s_.size())
            return true;
        const unsigned char c = static_cast<unsigned char>(s_[i_]);
        if (c == '\'' || c == '"')
            return quoted(t, Token::Kind::Text, static_cast<char>(c), static_cast<char>(c), error);
        if (c == '`')
            return quoted(t, Token::Kind::Quoted, '`', '`', error);
        if (c == '[')
            return quoted(t, Token::Kind::Quoted, '[', ']', error);
        if (std::isdigit(c) || (c == '.' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1]))))
            return number(t, error);
        if (isWordStart(c)) {
            t.kind = Token::Kind::Word;
            while (i_ < s_.size() && isWordChar(static_cast<unsigned char>(s_[i_]))) {
                const std::size_t len = runtime::gbkCharLength(s_, i_);
                t.text.append(s_.substr(i_, len));
                i_ += len;
            }
            return true;
        }
        if (c == '?') {
            t.kind = Token::Kind::Param;
            ++i_;
            return true;
        }
        if (c == '(' || c == ')' || c == ',' || c == '*' || c == ';' || c == '-' || c == '+') {
            t.kind = Token::Kind::Punct;
            t.text = std::string(1, static_cast<char>(c));
            ++i_;
            return true;
        }
        error = "unexpected character at position " + std::to_string(i_ + 1);
        return false;
    }

private:
    // Quoted text or identifier; a doubled closing quote stands for itself.
    bool quoted(Token& t, Token::Kind kind, char open, char close, std::string& error)
    {
        t.kind = kind;
        ++i_;
        while (true) {
            if (i_ >= s_.size()) {
                error = std::string("missing closing ") + close + " for the " + open + " at position " +
                        std::to_string(t.pos + 1);
                return false;
            }
            const std::size_t len = runtime::gbkCharLength(s_, i_);
            if (len == 1 && s_[i_] == close) {
                if (i_ + 1 < s_.size() && s_[i_ + 1] == close && kind == Token::Kind::Text) {
                    t.text.push_back(close);
                    i_ += 2;
                    continue;
                }
                ++i_;
                return true;
            }
            t.text.append(s_.substr(i_, len));
            i_ += len;
        }
    }

    bool number(Token& t, std::string& error)
    {
        const std::size_t start = i_;
        while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.'))
            ++i_;
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            std::size_t j = i_ + 1;
            if (j < s_.size() && (s_[j] == '+' || s_[j] == '-'))
                ++j;
            if (j < s_.size() && std::isdigit(static_cast<unsigned char>(s_[j]))) {
                i_ = j;
                while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])))
                    ++i_;
            }
        }
        const std::string_view text = s_.substr(start, i_ - start);
        const auto res = std::from_chars(text.data(), text.data() + text.size(), t.number);
        if (res.ec != std::errc() || res.ptr != text.data() + text.size() ||
            (i_ < s_.size() && isWordChar(static_cast<unsigned char>(s_[i_])))) {
            error = "bad number at position " + std::to_string(start + 1);
            return false;
        }
        t.kind = Token::Kind::Number;
        t.text = std::string(text);
        return true;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

class Parser {
public:
    explicit Parser(std::string_view sql)
        : lex_(sql)
    {}

    bool parse(SqlStatement& st, std::string& error)
    {
        if (!advance(error))
            return false;
        if (isKeyword("SELECT")) {
            st.kind = SqlStatement::Kind::Select;
            if (!advance(error) || !columnList(st, true, error) || !keyword("FROM", error) ||
                !identifier(st.table, error))
                return false;
        } else if (isKeyword("INSERT")) {
            st.kind = SqlStatement::Kind::Insert;
            if (!advance(error) || !keyword("INTO", error) || !identifier(st.table, error))
                return false;
            st.allColumns = true;
            if (isPunct("(")) {
                st.allColumns = false;
                if (!advance(error) || !columnList(st, false, error) || !punct(")", error))
                    return false;
            }
            if (!keyword("VALUES", error) || !punct("(", error) || !valueList(st, error) || !punct(")", error))
                return false;
        } else {
            return fail("only SELECT and INSERT statements are supported", error);
        }
        if (isPunct(";") && !advance(error))
            return false;
        if (tok_.kind != Token::Kind::End)
            return fail("unexpected text after the end of the statement", error);
        if (st.kind == SqlStatement::Kind::Insert && !st.allColumns && st.columns.size() != st.values.size())
            return fail("the number of values differs from the number of columns", error);
        return true;
    }

private:
    bool advance(std::string& error) { return lex_.next(tok_, error); }

    bool fail(const std::string& what, std::string& error)
    {
        error = what + " (at position " + std::to_string(tok_.pos + 1) + ")";
        return false;
    }

    bool isKeyword(const char* kw) const
    {
        return tok_.kind == Token::Kind::Word && runtime::equalsIgnoringCase(tok_.text, kw);
    }
    bool isPunct(const char* p) const { return tok_.kind == Token::Kind::Punct && tok_.text == p; }

    bool keyword(const char* kw, std::string& error)
    {
        if (!isKeyword(kw))
            return fail(std::string("expected ") + kw, error);
        return advance(error);
    }

    bool punct(const char* p, std::string& error)
    {
        if (!isPunct(p))
            return fail(std::string("expected '") + p + "'", error);
        return advance(error);
    }

    bool identifier(std::string& out, std::string& error)
    {
        if (tok_.kind == Token::Kind::Quoted ||
            (tok_.kind == Token::Kind::Word && !isKeyword("FROM") && !isKeyword("VALUES") && !isKeyword("INTO"))) {
            if (tok_.text.empty())
                return fail("empty name", error);
            out = tok_.text;
            return advance(error);
        }
        return fail("expected a name", error);
    }

    bool columnList(SqlStatement& st, bool allowStar, std::string& error)
    {
        if (allowStar && isPunct("*")) {
            st.allColumns = true;
            return advance(error);
        }
        while (true) {
            std::string name;
            if (!identifier(name, error))
                return false;
            st.columns.push_back(std::move(name));
            if (!isPunct(","))
                return true;
            if (!advance(error))
                return false;
        }
    }

    bool valueList(SqlStatement& st, std::string& error)
    {
        while (true) {
            SqlValue v;
            if (tok_.kind == Token::Kind::Text) {
                v.kind = SqlValue::Kind::Text;
                v.text = tok_.text;
            } else if (tok_.kind == Token::Kind::Param) {
                v.kind = SqlValue::Kind::Parameter;
                v.parameter = st.parameterCount++;
            } else if (isKeyword("NULL")) {
                v.kind = SqlValue::Kind::Null;
            } else if (isPunct("-") || isPunct("+") || tok_.kind == Token::Kind::Number) {
                const bool negative = isPunct("-");
                if (tok_.kind == Token::Kind::Punct && !advance(error))
                    return false;
                if (tok_.kind != Token::Kind::Number)
                    return fail("expected a number", error);
                v.kind = SqlValue::Kind::Number;
                v.number = negative ? -tok_.number : tok_.number;
            } else {
                return fail("expected a value: a quoted text, a number, NULL or ?", error);
            }
            st.values.push_back(std::move(v));
            if (!advance(error))
                return false;
            if (!isPunct(","))
                return true;
            if (!advance(error))
                return false;
        }
    }

    Lexer lex_;
    Token tok_;
};

} // namespace

bool parseSql(std::string_view sql, SqlStatement& out, std::string& error)
{
    out = SqlStatement{};
    Parser p(sql);
    return p.parse(out, error);
}

} // namespace qr::xls
