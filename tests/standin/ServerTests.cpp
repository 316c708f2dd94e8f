#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "EngineFixture.h"
#include "Server.h"
#include "TdsTestClient.h"

namespace standin::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

constexpr uint16_t kDoneAttention = 0x20;

// A server on a loopback port of its own for each test.
class ServerTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        makeZelto();
        sessions.clear();
        for (uint16_t candidate = static_cast<uint16_t>(30000 + (::GetCurrentProcessId() * 7) % 20000);;
             candidate += 3) {
            port = candidate;
            server = std::make_unique<Server>(*instance, port, static_cast<uint16_t>(port + 1));
            try {
                server->start();
                break;
            } catch (const std::exception&) {
                server.reset();
            }
        }
    }
    void TearDown() override {
        server.reset();
        EngineTest::TearDown();
    }

    // The server still serves a proper client, and the catalogue still has its database.
    void expectHealthy() {
        TdsTestClient c(port);
        ASSERT_TRUE(c.connected());
        ASSERT_TRUE(c.login("sa", "3917264").loggedIn);
        TdsTestClient::Reply r = c.batch("select count(*) from sysdatabases where name = 'Zelto'");
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.rows[0][0], "1");
    }

    uint16_t port = 0;
    std::unique_ptr<Server> server;
};

TEST_F(ServerTest, LogsInRunsBatchesAndRefusesBadLogins) {
    TdsTestClient ok(port);
    TdsTestClient::Reply login = ok.login("SA", "3917264", "Zelto");
    ASSERT_TRUE(login.loggedIn);
    EXPECT_THAT(login.infos, Contains(5701));
    TdsTestClient::Reply r = ok.batch("select Value from ApplicationInfo select N'سلام', NULL\nprint 'done'");
    EXPECT_THAT(r.rows, ElementsAre(ElementsAre("3.2.1"), ElementsAre("1402-01-01"), ElementsAre("1402-02-02"),
                                    ElementsAre("سلام", "NULL")));
    EXPECT_THAT(r.infos, ElementsAre(0));
    // Two results then the print: only the last DONE goes without "more".
    EXPECT_THAT(r.doneStatus, ElementsAre(0x11, 0x11, 0x00));

    TdsTestClient wrong(port);
    TdsTestClient::Reply refused = wrong.login("sa", "nope");
    EXPECT_FALSE(refused.loggedIn);
    EXPECT_THAT(refused.errors, ElementsAre(18456));
    EXPECT_TRUE(wrong.read().closed);

    TdsTestClient noDb(port);
    EXPECT_THAT(noDb.login("sa", "3917264", "Nowhere").errors, ElementsAre(4060, 18456));
}

TEST_F(ServerTest, MalformedInputDropsOnlyThatClient) {
    const std::vector<Bytes> inputs = {
        {0x12, 0x01, 0x00, 0x04, 0, 0, 1, 0},                                      // length below the header
        {0x12, 0x01, 0x01, 0x00, 0, 0, 1, 0, 1, 2, 3},                             // cut short, then gone
        {0x10, 0x01, 0x00, 0x10, 0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4},  // LOGIN7 far too short
        {0x01, 0x01, 0x00, 0x0A, 0, 0, 1, 0, 'h', 0},                              // a batch before any login
        Bytes(3000, 0xAB),
    };
    for (const Bytes& in : inputs) {
        TdsTestClient c(port);
        c.sendRaw(in);
        c.close();
    }
    {
        // A LOGIN7 whose field offsets point past its end.
        Bytes login = TdsTestClient::login7("sa", "3917264", "");
        login[40] = 0xF0;
        login[41] = 0xFF;
        TdsTestClient c(port);
        c.sendMessage(tds::kLogin7, login);
        EXPECT_TRUE(c.read().closed);
    }
    {
        // After a login: a message marked "ignore" is dropped, an unknown packet type ends the connection.
        TdsTestClient c(port);
        ASSERT_TRUE(c.login("sa", "3917264").loggedIn);
        c.sendMessage(tds::kSqlBatch, TdsTestClient::batchPayload("create table ignored (a int)"),
                      tds::kStatusEndOfMessage | tds::kStatusIgnore);
        EXPECT_THAT(c.batch("select count(*) from sysdatabases").rows, ElementsAre(ElementsAre("2")));
        // A procedure call that cannot be read is answered with an error; the connection stays.
        c.sendMessage(tds::kRpc, Bytes{0x16, 0, 0, 0, 1, 2, 3});
        EXPECT_THAT(c.read().errors, ElementsAre(50000));
        EXPECT_THAT(c.batch("select 5").rows, ElementsAre(ElementsAre("5")));
        c.sendMessage(0x55, Bytes{1, 2, 3});
        EXPECT_TRUE(c.read().closed);
    }
    expectHealthy();
}

TEST_F(ServerTest, AttentionCancelsARunningBatchAndIsAlwaysAcknowledged) {
    const std::string slow =
        "with recursive c(x) as (select 1 union all select x + 1 from c where x < 400000000) select count(*) from c";
    TdsTestClient c(port);
    ASSERT_TRUE(c.login("sa", "3917264").loggedIn);
    c.sendMessage(tds::kSqlBatch, TdsTestClient::batchPayload(slow));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto sent = std::chrono::steady_clock::now();
    c.sendMessage(tds::kAttention, {});
    TdsTestClient::Reply r = c.read();
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(5));
    ASSERT_FALSE(r.doneStatus.empty());
    EXPECT_TRUE(r.doneStatus.back() & kDoneAttention);
    // A cancel that comes after the batch ended is still answered.
    c.batch("select 1");
    c.sendMessage(tds::kAttention, {});
    EXPECT_THAT(c.read().doneStatus, ElementsAre(kDoneAttention));
    EXPECT_THAT(c.batch("select 2").rows, ElementsAre(ElementsAre("2")));
}

TEST_F(ServerTest, AClientVanishingMidBatchHarmsNothing) {
    {
        TdsTestClient c(port);
        ASSERT_TRUE(c.login("sa", "3917264").loggedIn);
        c.sendMessage(tds::kSqlBatch, TdsTestClient::batchPayload(
                                          "backup database Zelto to disk='" + path("gone.bak") +
                                          "'; with recursive c(x) as (select 1 union all select x + 1 from c where "
                                          "x < 400000000) select count(*) from c"));
        c.close();
    }
    {
        TdsTestClient c(port);
        ASSERT_TRUE(c.login("sa", "3917264").loggedIn);
        // Half a batch message, then the connection goes.
        Bytes big = TdsTestClient::batchPayload(std::string(20000, ' ') + "select 1");
        big.resize(6000);
        c.sendMessage(tds::kSqlBatch, big, 0);
        c.close();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    expectHealthy();
}

TEST_F(ServerTest, BatchesAndValuesOfSeveralMegabytesPassWhole) {
    TdsTestClient c(port);
    ASSERT_TRUE(c.login("sa", "3917264").loggedIn);
    const std::string big(3u << 20, 'x');
    TdsTestClient::Reply r = c.batch("select len('" + big + "'), length(printf('%.*c', 100000, 'y'))");
    EXPECT_THAT(r.rows, ElementsAre(ElementsAre(std::to_string(big.size()), "100000")));
    TdsTestClient::Reply wide = c.batch("select printf('%.*c', 70000, 'z') as v");
    ASSERT_EQ(wide.rows.size(), 1u);
    EXPECT_EQ(wide.rows[0][0], std::string(70000, 'z'));
}

TEST_F(ServerTest, TheBrowserAnswersWithThePortOfTheInstance) {
    const std::string expected =
        "ServerName;HOST;InstanceName;ZELTO;IsClustered;No;Version;11.0.2100.60;tcp;" + std::to_string(port) + ";;";
    const uint8_t unicast[] = {0x04, 'z', 'e', 'l', 't', 'o', 0};
    std::string reply = browserReply(unicast, sizeof unicast, "HOST", "ZELTO", port);
    ASSERT_GE(reply.size(), 3u);
    EXPECT_EQ(reply[0], 0x05);
    EXPECT_EQ(static_cast<size_t>(static_cast<uint8_t>(reply[1]) | (static_cast<uint8_t>(reply[2]) << 8)),
              expected.size());
    EXPECT_EQ(reply.substr(3), expected);
    const uint8_t other[] = {0x04, 'O', 'T', 'H', 'E', 'R'};
    EXPECT_EQ(browserReply(other, sizeof other, "HOST", "ZELTO", port), "");
    const uint8_t listing[] = {0x03};
    EXPECT_EQ(browserReply(listing, 1, "HOST", "ZELTO", port).substr(3), expected);

    // And over UDP on the configured browser port.
    UniqueSocket u(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    DWORD timeout = 5000;
    ::setsockopt(u.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port + 1));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const char request[] = "\x04ZELTO";
    ::sendto(u.get(), request, sizeof request, 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    char buf[512];
    int n = ::recv(u.get(), buf, sizeof buf, 0);
    ASSERT_GT(n, 3);
    EXPECT_THAT(std::string(buf + 3, static_cast<size_t>(n - 3)),
                ::testing::HasSubstr(";tcp;" + std::to_string(port) + ";;"));
}

}  // namespace
}  // namespace standin::testing
