#pragma once

#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include "common/Handle.h"

namespace zz {

// ODBC handles of one type; a connection handle is disconnected before it is freed (harmless when it never
// connected).
template <SQLSMALLINT HandleType>
struct OdbcTraits {
    using type = SQLHANDLE;
    static constexpr SQLHANDLE invalid() noexcept { return nullptr; }
    static void close(SQLHANDLE h) noexcept {
        if constexpr (HandleType == SQL_HANDLE_DBC) ::SQLDisconnect(h);
        ::SQLFreeHandle(HandleType, h);
    }
};

using unique_odbc_env = UniqueHandle<OdbcTraits<SQL_HANDLE_ENV>>;
using unique_odbc_dbc = UniqueHandle<OdbcTraits<SQL_HANDLE_DBC>>;
using unique_odbc_stmt = UniqueHandle<OdbcTraits<SQL_HANDLE_STMT>>;

}  // namespace zz
