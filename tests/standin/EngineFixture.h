#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Engine.h"
#include "Files.h"
#include "Text.h"

namespace standin::testing {

// Records what a batch produces, values as text.
class RecordingSink : public ResultSink {
public:
    struct Result {
        std::vector<std::string> columns;
        std::vector<std::vector<std::string>> rows;
    };
    std::vector<ServerMessage> messages;
    std::vector<Result> results;
    std::vector<int64_t> counts;
    std::vector<bool> failures;
    std::vector<std::string> databases;
    bool cancelNow = false;

    void message(const ServerMessage& m) override { messages.push_back(m); }
    void databaseChanged(const std::string& db, const std::string&) override { databases.push_back(db); }
    void columns(const std::vector<Column>& cols) override {
        results.emplace_back();
        for (const Column& c : cols) results.back().columns.push_back(c.name);
    }
    void row(const std::vector<Column>&, const Row& values) override {
        std::vector<std::string> r;
        for (const Value& v : values) {
            if (auto* s = std::get_if<std::string>(&v))
                r.push_back(*s);
            else if (auto* i = std::get_if<int64_t>(&v))
                r.push_back(std::to_string(*i));
            else if (auto* d = std::get_if<double>(&v))
                r.push_back(format("%g", *d));
            else if (std::holds_alternative<std::monostate>(v))
                r.push_back("NULL");
            else
                r.push_back("<binary>");
        }
        results.back().rows.push_back(r);
    }
    void statementDone(StatementKind, int64_t count, bool failed) override {
        counts.push_back(count);
        failures.push_back(failed);
    }
    bool cancelled() override { return cancelNow; }

    std::vector<int> errorNumbers() const {
        std::vector<int> out;
        for (const ServerMessage& m : messages) {
            if (m.isError()) out.push_back(m.number);
        }
        return out;
    }
    std::vector<int> messageNumbers() const {
        std::vector<int> out;
        for (const ServerMessage& m : messages) out.push_back(m.number);
        return out;
    }
    std::string text(int number) const {
        for (const ServerMessage& m : messages) {
            if (m.number == number) return m.text;
        }
        return {};
    }
};

// A throw-away data folder with an instance in it; `folder` also takes the databases' own files.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = narrow(tmp) + "zz-standin-" + info->test_suite_name() + "-" + info->name() + "-" +
                 std::to_string(::GetCurrentProcessId());
        removeTree(folder);
        ASSERT_TRUE(files::makeDirectories(folder + "\\data"));
        restart();
    }
    void TearDown() override {
        sessions.clear();
        instance.reset();
        removeTree(folder);
    }

    // A new instance on the same data folder, as after a server restart.
    void restart() {
        sessions.clear();
        instance.reset();
        Instance::Options o;
        o.instanceName = "ZELTO";
        o.machineName = "TESTHOST";
        o.dataFolder = folder + "\\data";
        o.config.addLogin("sa", "3917264");
        instance = std::make_unique<Instance>(o);
    }

    Session& session(size_t i = 0) {
        while (sessions.size() <= i) {
            sessions.push_back(instance->newSession("sa"));
            ServerMessage err;
            EXPECT_TRUE(sessions.back()->open("master", err));
        }
        return *sessions[i];
    }

    RecordingSink run(const std::string& sql, size_t sessionIndex = 0) {
        RecordingSink sink;
        session(sessionIndex).runBatch(sql, sink);
        return sink;
    }

    std::string path(const std::string& name) const { return folder + "\\" + name; }

    // A database in the first layout, with the sample table.
    void makeZelto(const std::string& name = "Zelto") {
        RecordingSink r =
            run("create database " + name + " on (name=zelto_Data, filename='" + path(name + ".mdf") +
                "') log on (name=zelto_Log, filename='" + path(name + "_log.ldf") +
                "')\n"
                "use " +
                name +
                "\n"
                "create table ApplicationInfo (Id int, Value nvarchar(50))\n"
                "insert into ApplicationInfo values (1, N'3.2.1'), (2, N'1402-01-01'), (3, N'1402-02-02')\n"
                "use master");
        ASSERT_TRUE(r.errorNumbers().empty()) << r.messages[0].text;
    }

    static void removeTree(const std::string& dir) {
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW(widen(dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = narrow(fd.cFileName);
                if (n == "." || n == "..") continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeTree(dir + "\\" + n);
                } else {
                    ::DeleteFileW(widen(dir + "\\" + n).c_str());
                }
            } while (::FindNextFileW(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryW(widen(dir).c_str());
    }

    std::string folder;
    std::unique_ptr<Instance> instance;
    std::vector<std::unique_ptr<Session>> sessions;
};

}  // namespace standin::testing
