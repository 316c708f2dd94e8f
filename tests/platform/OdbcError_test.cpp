#include "platform/OdbcError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zz {
namespace {

TEST(OdbcError, MessageIsTheServersOwnTextUnderEitherDriver) {
    const struct {
        const char* what;
        std::vector<TOdbcDiagRecord> records;
        bool keepWarnings;
        std::wstring message;
    } cases[] = {
        {"FreeTDS prefix",
         {{L"42000", 102, L"[FreeTDS][SQL Server]Incorrect syntax near 'x'."}},
         false,
         L"Incorrect syntax near 'x'."},
        {"Windows driver prefix",
         {{L"28000", 18456, L"[Microsoft][ODBC SQL Server Driver][SQL Server]Login failed for user 'sa'."}},
         false,
         L"Login failed for user 'sa'."},
        {"several errors joined by line breaks",
         {{L"42000", 3201, L"[FreeTDS][SQL Server]Cannot open backup device 'C:\\x.bak'. Operating system error 2."},
          {L"42000", 3013, L"[FreeTDS][SQL Server]RESTORE DATABASE is terminating abnormally."}},
         false,
         L"Cannot open backup device 'C:\\x.bak'. Operating system error 2.\r\n"
         L"RESTORE DATABASE is terminating abnormally."},
        {"informational messages do not join an error",
         {{L"01000", 5701, L"[FreeTDS][SQL Server]Changed database context to 'Zelto'."},
          {L"42S02", 208, L"[FreeTDS][SQL Server]Invalid object name 'ApplicationInfo'."}},
         false,
         L"Invalid object name 'ApplicationInfo'."},
        {"a failed connection keeps its reason and drops repeats and the unnumbered summary",
         {{L"08S01", 20009, L"[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable"},
          {L"08S01", 20009, L"[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable"},
          {L"08001", 0, L"[FreeTDS][SQL Server]Unable to connect to data source"},
          {L"01000", 20013, L"[FreeTDS][SQL Server]Unknown host machine name."}},
         true,
         L"Unable to connect: Adaptive Server is unavailable\r\nUnknown host machine name."},
        {"a refused login is the server's message alone",
         {{L"42000", 18456, L"[FreeTDS][SQL Server]Login failed for user 'zlt'."},
          {L"08001", 0, L"[FreeTDS][SQL Server]Unable to connect to data source"}},
         true,
         L"Login failed for user 'zlt'."},
        {"driver manager text and text without prefix",
         {{L"IM002", 0, L"[unixODBC][Driver Manager]Data source name not found"}, {L"HY000", 0, L"plain [text]"}},
         false,
         L"Data source name not found\r\nplain [text]"},
        {"only warnings", {{L"01000", 0, L"[x]note"}}, false, L"note"},
        {"a text that is all prefix stays whole", {{L"HY000", 0, L"[FreeTDS]"}}, false, L"[FreeTDS]"},
    };
    for (const auto& c : cases) EXPECT_EQ(DiagnosticMessage(c.records, c.keepWarnings), c.message) << c.what;
}

}  // namespace
}  // namespace zz
