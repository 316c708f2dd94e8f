#include "Statements.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

#include "Text.h"

namespace standin::sql {

ServerMessage syntaxErrorNear(const std::string& near, int line) {
    ServerMessage m;
    m.number = 102;
    m.severity = 15;
    m.text = "Incorrect syntax near '" + near + "'.";
    m.line = line;
    return m;
}

ServerMessage syntaxErrorNearKeyword(const std::string& keyword, int line) {
    ServerMessage m;
    m.number = 156;
    m.severity = 15;
    m.text = "Incorrect syntax near the keyword '" + keyword + "'.";
    m.line = line;
    return m;
}

bool isReservedKeyword(std::string_view word) {
    static const std::set<std::string, std::less<>> reserved = {"add",
                                                                "all",
                                                                "alter",
                                                                "and",
                                                                "any",
                                                                "as",
                                                                "asc",
                                                                "authorization",
                                                                "backup",
                                                                "begin",
                                                                "between",
                                                                "break",
                                                                "browse",
                                                                "bulk",
                                                                "by",
                                                                "cascade",
                                                                "case",
                                                                "check",
                                                                "checkpoint",
                                                                "close",
                                                                "clustered",
                                                                "coalesce",
                                                                "collate",
                                                                "column",
                                                                "commit",
                                                                "compute",
                                                                "constraint",
                                                                "contains",
                                                                "containstable",
                                                                "continue",
                                                                "convert",
                                                                "create",
                                                                "cross",
                                                                "current",
                                                                "current_date",
                                                                "current_time",
                                                                "current_timestamp",
                                                                "current_user",
                                                                "cursor",
                                                                "database",
                                                                "dbcc",
                                                                "deallocate",
                                                                "declare",
                                                                "default",
                                                                "delete",
                                                                "deny",
                                                                "desc",
                                                                "disk",
                                                                "distinct",
                                                                "distributed",
                                                                "double",
                                                                "drop",
                                                                "dump",
                                                                "else",
                                                                "end",
                                                                "errlvl",
                                                                "escape",
                                                                "except",
                                                                "exec",
                                                                "execute",
                                                                "exists",
                                                                "exit",
                                                                "external",
                                                                "fetch",
                                                                "file",
                                                                "fillfactor",
                                                                "for",
                                                                "foreign",
                                                                "freetext",
                                                                "freetexttable",
                                                                "from",
                                                                "full",
                                                                "function",
                                                                "goto",
                                                                "grant",
                                                                "group",
                                                                "having",
                                                                "holdlock",
                                                                "identity",
                                                                "identity_insert",
                                                                "identitycol",
                                                                "if",
                                                                "in",
                                                                "index",
                                                                "inner",
                                                                "insert",
                                                                "intersect",
                                                                "into",
                                                                "is",
                                                                "join",
                                                                "key",
                                                                "kill",
                                                                "left",
                                                                "like",
                                                                "lineno",
                                                                "load",
                                                                "merge",
                                                                "national",
                                                                "nocheck",
                                                                "nonclustered",
                                                                "not",
                                                                "null",
                                                                "nullif",
                                                                "of",
                                                                "off",
                                                                "offsets",
                                                                "on",
                                                                "open",
                                                                "opendatasource",
                                                                "openquery",
                                                                "openrowset",
                                                                "openxml",
                                                                "option",
                                                                "or",
                                                                "order",
                                                                "outer",
                                                                "over",
                                                                "percent",
                                                                "pivot",
                                                                "plan",
                                                                "precision",
                                                                "primary",
                                                                "print",
                                                                "proc",
                                                                "procedure",
                                                                "public",
                                                                "raiserror",
                                                                "read",
                                                                "readtext",
                                                                "reconfigure",
                                                                "references",
                                                                "replication",
                                                                "restore",
                                                                "restrict",
                                                                "return",
                                                                "revert",
                                                                "revoke",
                                                                "right",
                                                                "rollback",
                                                                "rowcount",
                                                                "rowguidcol",
                                                                "rule",
                                                                "save",
                                                                "schema",
                                                                "securityaudit",
                                                                "select",
                                                                "session_user",
                                                                "set",
                                                                "setuser",
                                                                "shutdown",
                                                                "some",
                                                                "statistics",
                                                                "system_user",
                                                                "table",
                                                                "tablesample",
                                                                "textsize",
                                                                "then",
                                                                "to",
                                                                "top",
                                                                "tran",
                                                                "transaction",
                                                                "trigger",
                                                                "truncate",
                                                                "try_convert",
                                                                "tsequal",
                                                                "union",
                                                                "unique",
                                                                "unpivot",
                                                                "update",
                                                                "updatetext",
                                                                "use",
                                                                "user",
                                                                "values",
                                                                "varying",
                                                                "view",
                                                                "waitfor",
                                                                "when",
                                                                "where",
                                                                "while",
                                                                "with",
                                                                "writetext"};
    return reserved.count(lower(word)) > 0;
}

ServerMessage syntaxErrorAt(const Token& t) {
    if (t.kind == Token::Word && isReservedKeyword(t.text)) return syntaxErrorNearKeyword(t.text, t.line);
    return syntaxErrorNear(t.text, t.line);
}

namespace {

bool isWordStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#' || c >= 0x80;
}
bool isWordChar(unsigned char c) {
    return isWordStart(c) || (c >= '0' && c <= '9') || c == '$' || c == '@';
}
bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

SyntaxError unclosed(const std::string& what, int number, const std::string& text, int line) {
    ServerMessage m;
    m.number = number;
    m.severity = 15;
    m.text = text;
    m.line = line;
    SyntaxError e;
    e.messages.push_back(m);
    if (number == 105) e.messages.push_back(syntaxErrorNear(what, line));
    return e;
}

}  // namespace

std::vector<Token> tokenize(std::string_view s, std::optional<SyntaxError>& error) {
    std::vector<Token> out;
    int line = 1;
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            // T-SQL comments nest.
            int depth = 0;
            const int startLine = line;
            do {
                if (i + 1 < n && s[i] == '/' && s[i + 1] == '*') {
                    ++depth;
                    i += 2;
                } else if (i + 1 < n && s[i] == '*' && s[i + 1] == '/') {
                    --depth;
                    i += 2;
                } else {
                    if (s[i] == '\n') ++line;
                    ++i;
                }
            } while (depth > 0 && i < n);
            if (depth > 0) {
                error = unclosed("", 113, "Missing end comment mark '*/'.", startLine);
                return out;
            }
            continue;
        }
        Token t;
        t.begin = i;
        t.line = line;
        if ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'') {
            t.national = true;
            ++i;
            c = '\'';
        }
        if (c == '\'' || c == '[' || c == '"') {
            const char close = c == '[' ? ']' : static_cast<char>(c);
            t.kind = c == '\'' ? Token::String : Token::QuotedIdent;
            size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == close) {
                    if (j + 1 < n && s[j + 1] == close) {
                        t.text.push_back(close);
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                if (s[j] == '\n') ++line;
                t.text.push_back(s[j]);
                ++j;
            }
            if (!closed) {
                if (c == '\'') {
                    error = unclosed(t.text, 105,
                                     "Unclosed quotation mark after the character string '" + t.text + "'.", t.line);
                } else {
                    error = unclosed(t.text, 105,
                                     "Unclosed quotation mark after the character string '" + t.text + "'.", t.line);
                }
                return out;
            }
            i = j + 1;
        } else if (c == '@') {
            t.kind = Token::Variable;
            size_t j = i + 1;
            while (j < n && isWordChar(static_cast<unsigned char>(s[j]))) ++j;
            t.text = std::string(s.substr(i, j - i));
            i = j;
        } else if (isWordStart(c)) {
            t.kind = Token::Word;
            size_t j = i;
            while (j < n && isWordChar(static_cast<unsigned char>(s[j]))) ++j;
            t.text = std::string(s.substr(i, j - i));
            i = j;
        } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(static_cast<unsigned char>(s[i + 1])))) {
            t.kind = Token::Number;
            size_t j = i;
            if (c == '0' && j + 1 < n && (s[j + 1] == 'x' || s[j + 1] == 'X')) {
                j += 2;
                while (j < n && std::isxdigit(static_cast<unsigned char>(s[j]))) ++j;
            } else {
                while (j < n && (isDigit(static_cast<unsigned char>(s[j])) || s[j] == '.')) ++j;
                if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                    size_t k = j + 1;
                    if (k < n && (s[k] == '+' || s[k] == '-')) ++k;
                    if (k < n && isDigit(static_cast<unsigned char>(s[k]))) {
                        j = k;
                        while (j < n && isDigit(static_cast<unsigned char>(s[j]))) ++j;
                    }
                }
            }
            t.text = std::string(s.substr(i, j - i));
            i = j;
        } else {
            t.kind = Token::Punct;
            size_t len = 1;
            static const char* const twoChar[] = {"<=", ">=", "<>", "!=", "!<", "!>", "||", "=="};
            for (const char* op : twoChar) {
                if (i + 1 < n && s[i] == op[0] && s[i + 1] == op[1]) len = 2;
            }
            t.text = std::string(s.substr(i, len));
            i += len;
        }
        t.end = i;
        out.push_back(std::move(t));
    }
    return out;
}

namespace {

bool isWord(const Token& t, const char* w) {
    return t.kind == Token::Word && equalsNoCase(t.text, w);
}
bool isPunct(const Token& t, const char* p) {
    return t.kind == Token::Punct && t.text == p;
}

const std::set<std::string> kStarters = {
    "select", "insert",  "update", "delete",  "create", "drop",  "alter",  "use",       "exec",  "execute",
    "backup", "restore", "set",    "declare", "print",  "begin", "commit", "rollback",  "save",  "truncate",
    "if",     "while",   "return", "grant",   "revoke", "deny",  "dbcc",   "raiserror", "merge", "checkpoint"};

std::string lowerWord(const Token& t) {
    return t.kind == Token::Word ? lower(t.text) : std::string();
}

// Statements that only ever start a statement: inside parentheses they cannot stand.
const std::set<std::string> kOnlyAtStart = {
    "use",   "create", "drop", "alter", "backup",    "restore",    "declare", "print", "commit", "rollback", "truncate",
    "grant", "revoke", "deny", "dbcc",  "raiserror", "checkpoint", "if",      "while", "return", "exec",     "execute"};

// Last tokens that leave a statement unfinished: the next token belongs to it and cannot start another.
bool leavesUnfinished(const std::vector<Token>& tokens, size_t last) {
    const Token& t = tokens[last];
    if (t.kind == Token::Punct) {
        static const std::set<std::string> operators = {",", "(", "=", "<", ">", "<=", ">=", "<>", "!=", "!<", "!>",
                                                        "+", "-", "/", "%", "&", "|",  "^",  "~",  ".",  "==", "||"};
        return operators.count(t.text) > 0;
    }
    static const std::set<std::string> words = {
        "from",      "where",   "and",    "or",     "not",    "into",     "by",     "join",  "in",
        "like",      "between", "is",     "table",  "order",  "group",    "having", "union", "except",
        "intersect", "top",     "when",   "case",   "exists", "distinct", "inner",  "outer", "cross",
        "full",      "escape",  "values", "select", "set",    "to",       "with",   "left",  "right"};
    const std::string w = lowerWord(t);
    if (w == "values" && last > 0 && isWord(tokens[last - 1], "default")) return false;  // INSERT ... DEFAULT VALUES
    return words.count(w) > 0;
}

struct Split {
    std::vector<std::pair<size_t, size_t>> ranges;  // top-level statements: [first, last) token ranges
    std::optional<size_t> misplaced;                // a token that can stand neither in a statement nor start one
};

Split split(const std::vector<Token>& tokens) {
    Split out;
    auto& ranges = out.ranges;
    size_t start = 0;
    int depth = 0;
    std::string head;  // first word of the current statement
    bool seenSelectOrValues = false, seenSet = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (isPunct(t, "(")) ++depth;
        if (isPunct(t, ")")) depth = std::max(0, depth - 1);
        if (depth == 0 && isPunct(t, ";")) {
            if (i > start) ranges.emplace_back(start, i);
            start = i + 1;
            head.clear();
            seenSelectOrValues = seenSet = false;
            continue;
        }
        const std::string w = lowerWord(t);
        if (depth > 0 && kOnlyAtStart.count(w)) {
            // e.g. a script's "use <db>" line inside a column list: the statement before it cannot be parsed.
            if (i > start) ranges.emplace_back(start, i);
            out.misplaced = i;
            return out;
        }
        if (depth == 0 && i > start && kStarters.count(w)) {
            const std::string prev = lowerWord(tokens[i - 1]);
            bool continues = false;
            if (w == "select" || w == "exec" || w == "execute") {
                continues = prev == "union" || prev == "all" || prev == "except" || prev == "intersect" ||
                            prev == "as" || ((head == "insert" || head == "with") && !seenSelectOrValues);
            } else if (w == "set") {
                continues = (head == "update" && !seenSet) || head == "alter";
            } else if (w == "delete" || w == "update") {
                continues = prev == "on";
            }
            if (!continues) {
                ranges.emplace_back(start, i);
                if (leavesUnfinished(tokens, i - 1)) {
                    out.misplaced = i;
                    return out;
                }
                start = i;
                head.clear();
                seenSelectOrValues = seenSet = false;
            }
        }
        if (i == start) head = w;
        if (depth == 0 && i > start && (w == "select" || w == "values")) seenSelectOrValues = true;
        if (depth == 0 && i > start && w == "set") seenSet = true;
    }
    if (start < tokens.size()) ranges.emplace_back(start, tokens.size());
    return out;
}

// Walks the tokens of one statement; every mismatch becomes "Incorrect syntax near".
class Cursor {
public:
    Cursor(const std::vector<Token>& tokens, size_t first, size_t last)
        : t_(tokens), i_(first), first_(first), last_(last) {}

    bool atEnd() const { return i_ >= last_; }
    const Token& peek() const { return t_[i_]; }
    const Token& next() {
        if (atEnd()) fail();
        return t_[i_++];
    }
    bool acceptWord(const char* w) {
        if (!atEnd() && isWord(peek(), w)) {
            ++i_;
            return true;
        }
        return false;
    }
    bool acceptPunct(const char* p) {
        if (!atEnd() && isPunct(peek(), p)) {
            ++i_;
            return true;
        }
        return false;
    }
    void expectWord(const char* w) {
        if (!acceptWord(w)) fail();
    }
    void expectPunct(const char* p) {
        if (!acceptPunct(p)) fail();
    }
    void expectEnd() {
        if (!atEnd()) fail();
    }
    std::string identifier() {
        if (atEnd() || (peek().kind != Token::Word && peek().kind != Token::QuotedIdent)) fail();
        return t_[i_++].text;
    }
    std::string string() {
        if (atEnd() || peek().kind != Token::String) fail();
        return t_[i_++].text;
    }
    int number() {
        if (atEnd() || peek().kind != Token::Number) fail();
        return std::atoi(t_[i_++].text.c_str());
    }
    // A name given either as an identifier or as a string literal.
    std::string name() {
        if (!atEnd() && peek().kind == Token::String) return string();
        return identifier();
    }
    [[noreturn]] void fail() const {
        // The error names the offending token; when the statement ended too soon, the token after it, or the last
        // one of the batch.
        if (i_ < t_.size()) throw SyntaxError{{syntaxErrorAt(t_[i_])}};
        throw SyntaxError{{syntaxErrorNear(t_.back().text, t_.back().line)}};
    }

private:
    const std::vector<Token>& t_;
    size_t i_, first_, last_;
};

// WITH options: a comma-separated list of words, some with "= value".
template <typename OnOption>
void options(Cursor& c, OnOption&& on) {
    if (!c.acceptWord("with")) return;
    do {
        const Token& w = c.next();
        if (w.kind != Token::Word) c.fail();
        on(lower(w.text));
    } while (c.acceptPunct(","));
}

Statement parseUse(Cursor& c) {
    c.expectWord("use");
    Use u{c.identifier()};
    c.expectEnd();
    return u;
}

std::string procedureName(Cursor& c) {
    // master.dbo.sp_x, master..sp_x and dbo.sp_x all name sp_x.
    std::string name = c.identifier();
    while (c.acceptPunct(".")) {
        if (!c.atEnd() && c.peek().kind == Token::Punct && c.peek().text == ".") continue;
        name = c.identifier();
    }
    return name;
}

Statement parseExec(Cursor& c) {
    c.next();  // EXEC / EXECUTE
    if (!c.atEnd() && c.peek().kind == Token::Variable) {
        c.next();
        c.expectPunct("=");
    }
    if (c.atEnd() || (c.peek().kind != Token::Word && c.peek().kind != Token::QuotedIdent)) c.fail();
    const std::string proc = procedureName(c);
    struct Arg {
        std::string name;
        std::string value;
    };
    std::vector<Arg> args;
    if (!c.atEnd()) {
        do {
            Arg a;
            if (c.peek().kind == Token::Variable) {
                a.name = lower(c.next().text);
                c.expectPunct("=");
            }
            const Token& v = c.next();
            if (v.kind == Token::Punct) c.fail();
            a.value = v.text;
            args.push_back(a);
        } while (c.acceptPunct(","));
    }
    c.expectEnd();
    auto named = [&](const std::string& n, size_t position) -> std::optional<std::string> {
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i].name == n || (args[i].name.empty() && i == position)) return args[i].value;
        }
        return std::nullopt;
    };
    const std::string p = lower(proc);
    if (p == "sp_attach_db") {
        AttachDb a;
        a.database = named("@dbname", 0).value_or("");
        for (int k = 1; k <= 16; ++k) {
            if (auto f = named("@filename" + std::to_string(k), static_cast<size_t>(k))) a.files.push_back(*f);
        }
        return a;
    }
    if (p == "sp_detach_db") return DetachDb{named("@dbname", 0).value_or("")};
    return ExecUnknown{proc};
}

FileSpec fileSpec(Cursor& c) {
    FileSpec f;
    c.expectPunct("(");
    do {
        const Token& key = c.next();
        if (key.kind != Token::Word) c.fail();
        c.expectPunct("=");
        const std::string k = lower(key.text);
        if (k == "name") {
            f.logicalName = c.name();
        } else if (k == "filename") {
            f.fileName = c.string();
        } else if (k == "size" || k == "maxsize" || k == "filegrowth") {
            const Token& v = c.next();
            if (v.kind != Token::Number && !isWord(v, "unlimited")) c.fail();
            if (!c.atEnd() && (c.peek().kind == Token::Word || isPunct(c.peek(), "%"))) {
                if (!isWord(c.peek(), "name") && !isWord(c.peek(), "filename")) c.next();
            }
        } else {
            c.fail();
        }
    } while (c.acceptPunct(","));
    c.expectPunct(")");
    if (f.fileName.empty()) c.fail();
    return f;
}

Statement parseCreate(Cursor& c) {
    c.expectWord("create");
    c.expectWord("database");
    CreateDatabase d;
    d.database = c.identifier();
    if (c.acceptWord("on")) {
        c.acceptWord("primary");
        do d.data.push_back(fileSpec(c));
        while (c.acceptPunct(","));
    }
    if (c.acceptWord("log")) {
        c.expectWord("on");
        do d.log.push_back(fileSpec(c));
        while (c.acceptPunct(","));
    }
    c.expectEnd();
    return d;
}

Statement parseDrop(Cursor& c) {
    c.expectWord("drop");
    c.expectWord("database");
    DropDatabase d;
    do d.databases.push_back(c.identifier());
    while (c.acceptPunct(","));
    c.expectEnd();
    return d;
}

std::string disk(Cursor& c) {
    c.expectWord("disk");
    c.expectPunct("=");
    std::string device = c.string();
    if (!c.atEnd() && isPunct(c.peek(), ",")) c.fail();  // striped media sets are not supported
    return device;
}

Statement parseBackup(Cursor& c) {
    c.expectWord("backup");
    BackupDatabase b;
    if (c.acceptWord("log")) {
        b.log = true;
    } else {
        c.expectWord("database");
    }
    b.database = c.identifier();
    c.expectWord("to");
    b.device = disk(c);
    options(c, [&](const std::string& o) {
        static const std::set<std::string> flags = {
            "noinit",       "noformat",  "skip",   "noskip",   "compression", "no_compression", "checksum",
            "no_checksum",  "copy_only", "unload", "nounload", "rewind",      "norewind",       "continue_after_error",
            "stop_on_error"};
        if (o == "init" || o == "format") {
            b.init = true;
        } else if (o == "name" || o == "description" || o == "medianame" || o == "mediadescription") {
            c.expectPunct("=");
            std::string v = c.string();
            if (o == "name") b.name = v;
        } else if (o == "stats") {
            if (c.acceptPunct("=")) c.number();
        } else if (o == "retaindays" || o == "expiredate") {
            c.expectPunct("=");
            c.next();
        } else if (!flags.count(o)) {
            c.fail();
        }
    });
    c.expectEnd();
    return b;
}

Statement parseRestore(Cursor& c) {
    c.expectWord("restore");
    if (!c.atEnd() &&
        (isWord(c.peek(), "filelistonly") || isWord(c.peek(), "headeronly") || isWord(c.peek(), "verifyonly"))) {
        RestoreHeader h;
        const std::string what = lower(c.next().text);
        h.what = what == "filelistonly" ? RestoreHeader::FileList
                 : what == "headeronly" ? RestoreHeader::Header
                                        : RestoreHeader::Verify;
        c.expectWord("from");
        h.device = disk(c);
        options(c, [&](const std::string& o) {
            if (o == "file") {
                c.expectPunct("=");
                h.fileNumber = c.number();
            } else if (o != "nounload" && o != "unload" && o != "rewind" && o != "norewind" && o != "checksum" &&
                       o != "no_checksum") {
                c.fail();
            }
        });
        c.expectEnd();
        return h;
    }
    c.expectWord("database");
    RestoreDatabase r;
    r.database = c.identifier();
    c.expectWord("from");
    r.device = disk(c);
    options(c, [&](const std::string& o) {
        if (o == "file") {
            c.expectPunct("=");
            r.fileNumber = c.number();
        } else if (o == "stats") {
            r.stats = c.acceptPunct("=") ? c.number() : 10;
        } else if (o == "replace") {
            r.replace = true;
        } else if (o == "norecovery" || o == "standby") {
            r.noRecovery = true;
            if (o == "standby") {
                c.expectPunct("=");
                c.string();
            }
        } else if (o == "move") {
            Move m;
            m.logicalName = c.string();
            c.expectWord("to");
            m.path = c.string();
            r.moves.push_back(m);
        } else if (o != "recovery" && o != "nounload" && o != "unload" && o != "rewind" && o != "norewind" &&
                   o != "checksum" && o != "no_checksum" && o != "continue_after_error" && o != "stop_on_error" &&
                   o != "keep_replication" && o != "restricted_user") {
            c.fail();
        }
    });
    c.expectEnd();
    return r;
}

bool isCharacterType(const Token& t) {
    static const char* const types[] = {"char", "varchar", "nchar", "nvarchar", "text", "ntext", "sysname"};
    return t.kind == Token::Word && std::any_of(std::begin(types), std::end(types),
                                                [&](const char* type) { return equalsNoCase(t.text, type); });
}

// Rewrites a statement into SQLite's dialect: N'' literals, dbo. prefixes, TOP n and @@ functions, and the text
// columns of a new table compared as the server compares text (without case and trailing blanks).
std::string toSqlite(std::string_view batch, const std::vector<Token>& t, size_t first, size_t last) {
    std::string out;
    size_t copyFrom = t[first].begin;
    auto skip = [&](size_t from, size_t to) {
        out.append(batch.substr(copyFrom, from - copyFrom));
        copyFrom = to;
    };
    const bool createTable = last - first > 2 && isWord(t[first], "create") && isWord(t[first + 1], "table");
    std::string limit;
    for (size_t i = first; i < last; ++i) {
        const Token& k = t[i];
        if (createTable && i >= first + 4 && isCharacterType(k) &&
            (t[i - 1].kind == Token::Word || t[i - 1].kind == Token::QuotedIdent) &&
            (isPunct(t[i - 2], "(") || isPunct(t[i - 2], ","))) {
            // A column's type, with its length: "Name nvarchar(50)" becomes "Name nvarchar(50) COLLATE zz_text".
            size_t j = i;
            if (j + 1 < last && isPunct(t[j + 1], "(")) {
                while (j + 1 < last && !isPunct(t[j], ")")) ++j;
            }
            if (j + 1 < last && isWord(t[j + 1], "collate")) continue;
            out.append(batch.substr(copyFrom, t[j].end - copyFrom));
            copyFrom = t[j].end;
            out += " COLLATE zz_text";
            i = j;
        } else if (k.kind == Token::String && k.national) {
            skip(k.begin, k.begin + 1);
        } else if (k.kind == Token::Variable && k.text.size() > 2 && k.text[1] == '@') {
            skip(k.begin, k.end);
            out += "zz_" + lower(k.text.substr(2)) + "()";
        } else if ((k.kind == Token::Word || k.kind == Token::QuotedIdent) && i + 1 < last && isPunct(t[i + 1], ".")) {
            // master.dbo.sysfiles, master..sysdatabases, dbo.Table: the server has one schema per database.
            const std::string w = lower(k.text);
            size_t j = i;
            if (w == "master" && i + 2 < last && isPunct(t[i + 1], ".")) {
                j = i + 2;
                if (isPunct(t[j], "."))
                    ++j;
                else if (j + 1 < last && (isWord(t[j], "dbo") || isWord(t[j], "sys")) && isPunct(t[j + 1], "."))
                    j += 2;
                if (j < last && (isWord(t[j], "sysdatabases") || isWord(t[j], "sysfiles"))) {
                    skip(k.begin, t[j].begin);
                    i = j;
                    continue;
                }
            } else if (w == "dbo" || w == "sys") {
                skip(k.begin, t[i + 1].end);
                ++i;
            }
        } else if (i == first + 1 && isWord(t[first], "select") && isWord(k, "top")) {
            size_t j = i + 1;
            bool paren = j < last && isPunct(t[j], "(");
            if (paren) ++j;
            if (j < last && t[j].kind == Token::Number) {
                limit = t[j].text;
                if (paren && j + 1 < last && isPunct(t[j + 1], ")")) ++j;
                skip(k.begin, t[j].end);
                i = j;
            }
        }
    }
    out.append(batch.substr(copyFrom, t[last - 1].end - copyFrom));
    if (!limit.empty()) out += " LIMIT " + limit;
    return out;
}

StatementKind kindOf(const Token& t) {
    const std::string w = lowerWord(t);
    if (w == "select") return StatementKind::Select;
    if (w == "insert") return StatementKind::Insert;
    if (w == "update") return StatementKind::Update;
    if (w == "delete") return StatementKind::Delete;
    return StatementKind::Other;
}

Statement parseOne(std::string_view batch, const std::vector<Token>& t, size_t first, size_t last) {
    Cursor c(t, first, last);
    const std::string head = lowerWord(t[first]);
    const std::string second = first + 1 < last ? lowerWord(t[first + 1]) : std::string();
    if (head == "use") return parseUse(c);
    if (head == "exec" || head == "execute") return parseExec(c);
    if (head == "create" && second == "database") return parseCreate(c);
    if (head == "drop" && second == "database") return parseDrop(c);
    if (head == "backup") return parseBackup(c);
    if (head == "restore") return parseRestore(c);
    if (head == "set") return SetOption{};
    if (head == "print") {
        if (first + 1 >= last) c.fail();
        return Print{toSqlite(batch, t, first + 1, last)};
    }
    return PassThrough{toSqlite(batch, t, first, last), kindOf(t[first])};
}

}  // namespace

ParsedBatch parseBatch(std::string_view sql) {
    ParsedBatch batch;
    std::vector<Token> tokens = tokenize(sql, batch.error);
    if (batch.error) return batch;
    const Split parts = split(tokens);
    for (auto [first, last] : parts.ranges) {
        try {
            ParsedStatement p{parseOne(sql, tokens, first, last), tokens[first].line, std::nullopt};
            if (last < tokens.size()) p.endsTooSoon = syntaxErrorAt(tokens[last]);
            batch.statements.push_back(std::move(p));
        } catch (SyntaxError& e) {
            batch.beforeError = std::move(batch.statements);
            batch.statements.clear();
            batch.error = std::move(e);
            return batch;
        }
    }
    if (parts.misplaced) {
        batch.beforeError = std::move(batch.statements);
        batch.statements.clear();
        batch.error = SyntaxError{{syntaxErrorAt(tokens[*parts.misplaced])}};
    }
    return batch;
}

}  // namespace standin::sql
