#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Results.h"

namespace standin::sql {

struct Token {
    enum Kind { Word, QuotedIdent, String, Number, Variable, Punct } kind = Punct;
    std::string text;           // identifiers and strings unquoted, everything else as written
    bool national = false;      // N'...'
    size_t begin = 0, end = 0;  // byte range in the batch
    int line = 1;
};

// A batch the server refuses before running any of it.
struct SyntaxError {
    std::vector<ServerMessage> messages;
};

struct FileSpec {
    std::string logicalName;
    std::string fileName;
};

struct Move {
    std::string logicalName;
    std::string path;
};

struct Use {
    std::string database;
};
struct AttachDb {
    std::string database;
    std::vector<std::string> files;
};
struct DetachDb {
    std::string database;
};
struct CreateDatabase {
    std::string database;
    std::vector<FileSpec> data;
    std::vector<FileSpec> log;
};
struct DropDatabase {
    std::vector<std::string> databases;
};
struct BackupDatabase {
    std::string database;
    std::string device;
    bool init = false;
    bool log = false;  // BACKUP LOG
    std::string name;
};
struct RestoreHeader {
    enum What { FileList, Header, Verify } what = FileList;
    std::string device;
    int fileNumber = 1;
};
struct RestoreDatabase {
    std::string database;
    std::string device;
    int fileNumber = 1;
    bool replace = false;
    bool noRecovery = false;
    int stats = 0;  // 0: no progress messages
    std::vector<Move> moves;
};
struct SetOption {};
struct Print {
    std::string expression;  // in SQLite's dialect
};
struct ExecUnknown {
    std::string procedure;
};
// Anything else goes to SQLite, already rewritten into its dialect.
struct PassThrough {
    std::string sql;
    StatementKind kind = StatementKind::Other;
};

using Statement = std::variant<Use, AttachDb, DetachDb, CreateDatabase, DropDatabase, BackupDatabase, RestoreHeader,
                               RestoreDatabase, SetOption, Print, ExecUnknown, PassThrough>;

struct ParsedStatement {
    Statement statement;
    int line = 1;
    // The error when the statement turns out to end too soon: near the token after it, none at the batch's end.
    std::optional<ServerMessage> endsTooSoon;
};

struct ParsedBatch {
    std::vector<ParsedStatement> statements;
    std::optional<SyntaxError> error;
    // With an error: the statements before it, for the checks only the engine can make (the first error counts).
    std::vector<ParsedStatement> beforeError;
};

// Tokens of a batch; nullopt-free: an unterminated string, identifier or comment is reported through `error`.
std::vector<Token> tokenize(std::string_view sql, std::optional<SyntaxError>& error);

// Splits a T-SQL batch into statements (T-SQL needs no separators between them) and recognises the forms the
// server carries out itself. A batch with a syntax error in any recognised statement yields only the error.
ParsedBatch parseBatch(std::string_view sql);

// "Incorrect syntax near '%s'." (102) at a line of the batch.
ServerMessage syntaxErrorNear(const std::string& near, int line);
// "Incorrect syntax near the keyword '%s'." (156): a reserved keyword where it cannot stand.
ServerMessage syntaxErrorNearKeyword(const std::string& keyword, int line);
// A word T-SQL reserves (select, from, use, ...), in any case; such a word is never a bare name.
bool isReservedKeyword(std::string_view word);
// The error for a token where it cannot stand: 156 for a bare reserved keyword, 102 for anything else.
ServerMessage syntaxErrorAt(const Token& token);

}  // namespace standin::sql
