// Runs on the test workstation: its instance "MSSQL$ZELTO" answers the toolbox's own connection strings with the
// default server text "(local)\Zelto", and holds the sample database the suite expects.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/Handle.h"
#include "logic/ConnectionStrings_UNT.h"
#include "platform/DbQuery.h"

namespace {

const wchar_t* const kService = L"MSSQL$ZELTO";

DWORD StateOf(SC_HANDLE service) {
    SERVICE_STATUS status{};
    return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

bool WaitFor(SC_HANDLE service, DWORD state) {
    for (int i = 0; i < 300; ++i) {
        if (StateOf(service) == state) return true;
        Sleep(100);
    }
    return false;
}

// Starts the instance for the test and stops it again afterwards, as a technician would with the services frame.
class WorkstationTest : public testing::Test {
protected:
    void SetUp() override {
        manager_.reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        ASSERT_TRUE(manager_);
        service_.reset(OpenServiceW(manager_.get(), kService, SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS));
        if (!service_)
            GTEST_SKIP() << "not on the workstation: no service "
                         << "MSSQL$ZELTO";
        if (StateOf(service_.get()) != SERVICE_RUNNING) {
            ASSERT_TRUE(StartServiceW(service_.get(), 0, nullptr)) << GetLastError();
            started_ = true;
        }
        ASSERT_TRUE(WaitFor(service_.get(), SERVICE_RUNNING));
    }
    void TearDown() override {
        if (started_) {
            SERVICE_STATUS status{};
            ControlService(service_.get(), SERVICE_CONTROL_STOP, &status);
            WaitFor(service_.get(), SERVICE_STOPPED);
        }
    }

    zz::unique_schandle manager_, service_;
    bool started_ = false;
};

}  // namespace

TEST_F(WorkstationTest, TheDefaultServerAnswersTheAdministratorAndTheSuitesLogin) {
    zz::TDbQuery master;
    master.SetConnectionString(zz::AdminConnectionString(L"(local)\\Zelto"));
    master.SetSQL(L"select name from sysdatabases where name='Zelto'");
    master.Open();
    EXPECT_EQ(master.RecordCount(), 1u);
    master.Close();

    zz::TDbQuery suite;
    suite.SetConnectionString(zz::ProductConnectionString(L"Zelto", L"(local)\\Zelto"));
    suite.SetSQL(L"select Value from ApplicationInfo");
    suite.Open();
    EXPECT_GE(suite.RecordCount(), 3u) << "version, last update and last restore";
    EXPECT_FALSE(suite.FieldAsString(0).empty());
    suite.Close();

    zz::TDbQuery files;
    files.SetConnectionString(zz::AdminConnectionString(L"(local)\\Zelto"));
    files.SetSQL(
        L"Use Zelto select  (select cast(fileName as varchar(260)) from sysfiles where name='zelto_Data' ),"
        L" (select cast(fileName as varchar(260)) from sysfiles where name='zelto_Log' )");
    files.Open();
    EXPECT_NE(files.FieldAsString(0).find(L"Zelto"), std::wstring::npos) << "the sample database's data file";
    EXPECT_FALSE(files.FieldAsString(1).empty());
}
