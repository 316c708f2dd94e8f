#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "logic/ConnectionStrings_UNT.h"
#include "platform/DbConnection.h"
#include "tests/support/StandInServer.h"

// The stand-in SQL Server for the setup panes' tests, started once per test process by the tests that need it,
// with databases whose table ApplicationInfo has 0 to 4 rows ("ZzInfo0" ... "ZzInfo4") and one whose table has no
// column "Value" ("ZzNoValue").
class SetupServer {
public:
    static constexpr const wchar_t* kServer = L"(local)\\Zelto";
    static constexpr const wchar_t* kRows[] = {L"3.2.1", L"1394/10/29", L"بازگرداني نشده", L"extra"};

    // Fails the calling test when the server cannot be started.
    static bool Start() {
        static std::unique_ptr<zz::test::TStandInServer> server;
        static std::string error;
        if (!server && error.empty()) {
            try {
                addrinfo* result = nullptr;
                if (getaddrinfo("(local)", nullptr, nullptr, &result) != 0)
                    throw std::runtime_error("\"(local)\" does not resolve: the workstation's hosts file maps it");
                freeaddrinfo(result);
                server = std::make_unique<zz::test::TStandInServer>(zz::test::TStandInServer::TLogins{});
                zz::TDbConnection admin(zz::AdminConnectionString(kServer));
                for (int rows = 0; rows <= 4; ++rows) {
                    const std::wstring name = L"ZzInfo" + std::to_wstring(rows);
                    admin.Execute(CreateDatabase(*server, name));
                    std::wstring batch =
                        L"use " + name +
                        L"\r\ncreate table ApplicationInfo (Name nvarchar(50), Value nvarchar(100))\r\n";
                    for (int i = 0; i < rows; ++i)
                        batch += L"insert into ApplicationInfo values (N'Row" + std::to_wstring(i) + L"', N'" +
                                 kRows[i] + L"')\r\n";
                    admin.Execute(batch);
                }
                admin.Execute(CreateDatabase(*server, L"ZzNoValue"));
                admin.Execute(
                    L"use ZzNoValue\r\ncreate table ApplicationInfo (Name nvarchar(50))\r\n"
                    L"insert into ApplicationInfo values (N'Version')\r\n");
            } catch (const std::exception& e) {
                error = e.what();
                server.reset();
            }
        }
        if (!server) ADD_FAILURE() << "the stand-in SQL Server did not start: " << error;
        return server != nullptr;
    }

private:
    static std::wstring CreateDatabase(const zz::test::TStandInServer& server, const std::wstring& name) {
        return L"create database " + name + L" on (name=" + name + L"_data,filename=" +
               zz::SqlQuoted(server.DataFolder() + L"\\" + name + L".mdf") + L")";
    }
};
