// The stand-in SQL Server: a console server for tests, a Windows service for the workstation, and the tools that
// install the service and run setup scripts.
//
//   sqlstandin <instance> <tcp-port> <data-folder> <config-file> [browser-port]
//   sqlstandin --service <instance> <tcp-port> <data-folder> <config-file> [browser-port]
//   sqlstandin --install <instance> <tcp-port> <data-folder> <config-file> [browser-port] [auto|demand]
//   sqlstandin --uninstall <instance>
//   sqlstandin --exec <instance> <data-folder> <config-file> <script-file>
//   sqlstandin --idle [file] waits until the file is gone (or, without one, until its standard input ends): under
//                            Wine, services live only while an ordinary process of the prefix does, so scripts
//                            keep one of these running

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Config.h"
#include "Engine.h"
#include "Files.h"
#include "Server.h"
#include "Service.h"
#include "Text.h"

using namespace standin;

namespace {

constexpr uint16_t kDefaultBrowserPort = 1434;

struct ServerArgs {
    std::string instance;
    uint16_t port = 1433;
    std::string dataFolder;
    std::string configFile;
    uint16_t browserPort = kDefaultBrowserPort;
};

std::wstring serviceName(const std::string& instance) {
    return L"MSSQL$" + widen(instance);
}

std::string absolute(const std::string& path) {
    wchar_t buf[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(widen(path).c_str(), static_cast<DWORD>(std::size(buf)), buf, nullptr);
    return n > 0 && n < std::size(buf) ? narrow(buf) : path;
}

std::string machineName() {
    wchar_t buf[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = static_cast<DWORD>(std::size(buf));
    return ::GetComputerNameW(buf, &n) ? narrow(buf) : std::string("localhost");
}

bool parsePort(const std::string& s, uint16_t& port) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (!end || *end || v < 0 || v > 65535) return false;
    port = static_cast<uint16_t>(v);
    return true;
}

bool parseServerArgs(const std::vector<std::string>& a, size_t at, ServerArgs& out) {
    if (a.size() < at + 4) return false;
    out.instance = a[at];
    if (!parsePort(a[at + 1], out.port) || out.port == 0) return false;
    out.dataFolder = absolute(a[at + 2]);
    out.configFile = absolute(a[at + 3]);
    if (a.size() > at + 4 && !parsePort(a[at + 4], out.browserPort)) return false;
    return true;
}

Instance::Options instanceOptions(const ServerArgs& args) {
    Instance::Options o;
    o.instanceName = args.instance;
    o.machineName = machineName();
    o.dataFolder = args.dataFolder;
    o.config = ServerConfig::load(args.configFile);
    return o;
}

void logLine(const std::string& dataFolder, const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    FILE* log = _wfopen(widen(dataFolder + "\\standin.log").c_str(), L"ab");
    if (log) {
        std::fprintf(log, "%s\r\n", text.c_str());
        std::fclose(log);
    }
}

HANDLE g_consoleStop = nullptr;

BOOL WINAPI onConsoleControl(DWORD) {
    ::SetEvent(g_consoleStop);
    return TRUE;
}

int runConsole(const ServerArgs& args) {
    try {
        Instance instance(instanceOptions(args));
        Server server(instance, args.port, args.browserPort);
        server.start();
        logLine(args.dataFolder, format("sqlstandin: instance %s listening on 127.0.0.1:%u%s", args.instance.c_str(),
                                        static_cast<unsigned>(args.port),
                                        server.browserActive() ? format(", browser on udp %u", args.browserPort).c_str()
                                                               : ", no browser answer"));
        g_consoleStop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
        ::WaitForSingleObject(g_consoleStop, INFINITE);
        server.stop();
        return 0;
    } catch (const std::exception& e) {
        logLine(args.dataFolder, std::string("sqlstandin: ") + e.what());
        return 1;
    }
}

int runService(const ServerArgs& args) {
    std::unique_ptr<Instance> instance;
    std::unique_ptr<Server> server;
    service::Hooks hooks;
    hooks.start = [&](const service::Progress& progress) {
        try {
            instance = std::make_unique<Instance>(instanceOptions(args));
            progress();
            server = std::make_unique<Server>(*instance, args.port, args.browserPort);
            server->start();
            progress();
            logLine(args.dataFolder, "sqlstandin: service started on port " + std::to_string(args.port));
        } catch (const std::exception& e) {
            logLine(args.dataFolder, std::string("sqlstandin: service start failed: ") + e.what());
            throw;
        }
    };
    hooks.stop = [&](const service::Progress& progress) {
        if (server) server->stop();
        progress();
        server.reset();
        instance.reset();
        logLine(args.dataFolder, "sqlstandin: service stopped");
    };
    if (!service::run(serviceName(args.instance), std::move(hooks))) {
        std::fprintf(stderr, "sqlstandin: not started by the service control manager\n");
        return 1;
    }
    return 0;
}

std::wstring quoted(const std::string& s) {
    return L"\"" + widen(s) + L"\"";
}

int install(const std::vector<std::string>& a) {
    ServerArgs args;
    if (!parseServerArgs(a, 2, args)) return 2;
    bool autoStart = !(a.size() > 7 && equalsNoCase(a[7], "demand"));
    wchar_t exe[MAX_PATH * 4];
    ::GetModuleFileNameW(nullptr, exe, static_cast<DWORD>(std::size(exe)));
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --service " + quoted(args.instance) + L" " +
                       std::to_wstring(args.port) + L" " + quoted(args.dataFolder) + L" " + quoted(args.configFile) +
                       L" " + std::to_wstring(args.browserPort);
    std::wstring error;
    if (!service::install(serviceName(args.instance), L"SQL Server (" + widen(args.instance) + L")", cmd, autoStart,
                          error)) {
        std::fprintf(stderr, "sqlstandin: %s\n", narrow(error).c_str());
        return 1;
    }
    std::printf("sqlstandin: service %s installed\n", narrow(serviceName(args.instance)).c_str());
    return 0;
}

int uninstall(const std::vector<std::string>& a) {
    if (a.size() < 3) return 2;
    std::wstring error;
    if (!service::uninstall(serviceName(a[2]), error)) {
        std::fprintf(stderr, "sqlstandin: %s\n", narrow(error).c_str());
        return 1;
    }
    return 0;
}

// Prints what a batch produces, like a command-line query tool.
class PrintingSink : public ResultSink {
public:
    bool failed = false;
    void message(const ServerMessage& m) override {
        if (m.isError()) {
            failed = true;
            std::printf("Msg %d, Level %d, State %d, Line %d\n%s\n", m.number, m.severity, m.state, m.line,
                        m.text.c_str());
        } else {
            std::printf("%s\n", m.text.c_str());
        }
    }
    void databaseChanged(const std::string&, const std::string&) override {}
    void columns(const std::vector<Column>& cols) override {
        std::string line;
        for (const Column& c : cols) line += (line.empty() ? "" : "\t") + c.name;
        std::printf("%s\n", line.c_str());
    }
    void row(const std::vector<Column>&, const Row& values) override {
        std::string line;
        bool first = true;
        for (const Value& v : values) {
            if (!first) line += "\t";
            first = false;
            if (auto* s = std::get_if<std::string>(&v))
                line += *s;
            else if (auto* i = std::get_if<int64_t>(&v))
                line += std::to_string(*i);
            else if (auto* d = std::get_if<double>(&v))
                line += format("%g", *d);
            else if (std::holds_alternative<std::monostate>(v))
                line += "NULL";
            else
                line += "<binary>";
        }
        std::printf("%s\n", line.c_str());
    }
    void statementDone(StatementKind, int64_t count, bool) override {
        if (count >= 0) std::printf("(%lld rows affected)\n", static_cast<long long>(count));
    }
    bool cancelled() override { return false; }
};

// Runs a script file in-process as sa, batch by batch (a line "GO" ends a batch, as in the command-line tools).
int execScript(const std::vector<std::string>& a) {
    if (a.size() < 6) return 2;
    ServerArgs args;
    args.instance = a[2];
    args.dataFolder = absolute(a[3]);
    args.configFile = absolute(a[4]);
    try {
        Instance instance(instanceOptions(args));
        auto bytes = files::read(absolute(a[5]));
        if (!bytes) throw std::runtime_error("cannot read " + a[5]);
        std::istringstream in(std::string(bytes->begin(), bytes->end()));
        auto session = instance.newSession("sa");
        ServerMessage err;
        if (!session->open("master", err)) throw std::runtime_error(err.text);
        PrintingSink sink;
        std::string batch, line;
        auto flush = [&] {
            if (batch.find_first_not_of(" \t\r\n") != std::string::npos) session->runBatch(batch, sink);
            batch.clear();
        };
        while (std::getline(in, line)) {
            std::string t = line;
            t.erase(0, t.find_first_not_of(" \t"));
            t.erase(t.find_last_not_of(" \t\r") + 1);
            if (equalsNoCase(t, "go")) {
                flush();
            } else {
                batch += line + "\n";
            }
        }
        flush();
        return sink.failed ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sqlstandin: %s\n", e.what());
        return 1;
    }
}

void usage() {
    std::fprintf(
        stderr,
        "usage: sqlstandin <instance> <tcp-port> <data-folder> <config-file> [browser-port]\n"
        "       sqlstandin --service|--install <instance> <tcp-port> <data-folder> <config-file> [browser-port] "
        "[auto|demand]\n"
        "       sqlstandin --uninstall <instance>\n"
        "       sqlstandin --exec <instance> <data-folder> <config-file> <script-file>\n"
        "       sqlstandin --idle [file]\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> a;
    for (int i = 0; i < argc; ++i) a.push_back(narrow(argv[i]));
    ServerArgs args;
    int rc = 2;
    if (a.size() > 1 && a[1] == "--service") {
        if (parseServerArgs(a, 2, args)) rc = runService(args);
    } else if (a.size() > 1 && a[1] == "--install") {
        rc = install(a);
    } else if (a.size() > 1 && a[1] == "--uninstall") {
        rc = uninstall(a);
    } else if (a.size() > 1 && a[1] == "--exec") {
        rc = execScript(a);
    } else if (a.size() > 1 && a[1] == "--idle") {
        if (a.size() > 2) {
            while (files::exists(a[2])) ::Sleep(200);
        } else {
            while (std::fgetc(stdin) != EOF) {
            }
        }
        rc = 0;
    } else if (parseServerArgs(a, 1, args)) {
        rc = runConsole(args);
    }
    if (rc == 2) usage();
    return rc;
}
