#include "Connection.h"

#include <windows.h>

#include <algorithm>

#include "Login.h"
#include "Rpc.h"
#include "Text.h"
#include "Tokens.h"

namespace standin {

namespace {
constexpr size_t kMaxMessage = 64u << 20;  // a batch of several MiB is fine; a runaway client is not
constexpr DWORD kCancelPollMs = 20;
}  // namespace

// Turns engine results into tokens. The last DONE of a batch must not carry "more", so each DONE waits until the
// next token shows whether another follows. Never throws: a vanished client only stops the output.
class Connection::Sink : public ResultSink {
public:
    // In a procedure call the statements end with DONEINPROC and the call itself with DONEPROC.
    Sink(Connection& c, bool procedure = false)
        : c_(c), tokens_(c.tdsVersion_, c.instance_.serverName()), procedure_(procedure) {}

    void returnValue(uint16_t ordinal, const std::string& name, int32_t value) {
        returns_.push_back({ordinal, name, value});
    }

    void message(const ServerMessage& m) override {
        flushDone(true);
        tokens_.message(m);
        push();
    }
    void databaseChanged(const std::string& newDb, const std::string& oldDb) override {
        flushDone(true);
        tokens_.envDatabase(newDb, oldDb);
        push();
    }
    void columns(const std::vector<Column>& cols) override {
        flushDone(true);
        tokens_.columns(cols);
        push();
    }
    void row(const std::vector<Column>& cols, const Row& values) override {
        tokens_.row(cols, values);
        if (tokens_.empty()) return;
        push();
    }
    void statementDone(StatementKind kind, int64_t count, bool failed) override {
        flushDone(true);
        pending_ = true;
        failed_ = failed_ || failed;
        status_ = static_cast<uint16_t>((failed ? tds::kDoneError : 0) | (count >= 0 ? tds::kDoneCount : 0));
        cmd_ = static_cast<uint16_t>(kind);
        count_ = count >= 0 ? static_cast<uint64_t>(count) : 0;
    }
    bool cancelled() override {
        if (cancelled_) return true;
        DWORD nowMs = ::GetTickCount();
        if (nowMs - lastPoll_ < kCancelPollMs) return false;
        lastPoll_ = nowMs;
        try {
            if (!c_.stream_.readable()) return false;
            auto msg = c_.reader_.next();
            if (!msg) {
                c_.gone_ = true;
            } else if (msg->type == tds::kAttention) {
                attention_ = true;
            } else {
                c_.gone_ = true;  // a client may send nothing but a cancel while a batch runs
            }
        } catch (const std::exception&) {
            c_.gone_ = true;
        }
        cancelled_ = true;
        return true;
    }

    // Ends the reply: the waiting DONE becomes the last token, or a cancel is acknowledged.
    void finish() {
        if (procedure_ && !attention_) {
            flushDone(true);
            tokens_.returnStatus(failed_ ? 1 : 0);
            for (const Return& r : returns_) tokens_.returnValue(r.ordinal, r.name, r.value);
            tokens_.done(tds::kDoneProc, failed_ ? tds::kDoneError : tds::kDoneFinal, 0, 0);
        } else if (attention_) {
            flushDone(true);
            tokens_.done(tds::kDone, tds::kDoneAttention, 0, 0);
        } else if (pending_) {
            flushDone(false);
        } else {
            tokens_.done(tds::kDone, tds::kDoneFinal, 0, 0);
        }
        push();
        if (!c_.gone_) {
            try {
                c_.writer_.endMessage();
            } catch (const std::exception&) {
                c_.gone_ = true;
            }
        }
    }

private:
    void flushDone(bool more) {
        if (!pending_) return;
        tokens_.done(procedure_ ? tds::kDoneInProc : tds::kDone,
                     static_cast<uint16_t>(status_ | (more ? tds::kDoneMore : 0)), cmd_, count_);
        pending_ = false;
    }
    void push() {
        Bytes b = tokens_.take();
        if (c_.gone_) return;
        try {
            c_.writer_.append(b);
        } catch (const std::exception&) {
            c_.gone_ = true;
            cancelled_ = true;
        }
    }

    Connection& c_;
    tds::TokenWriter tokens_;
    bool pending_ = false;
    uint16_t status_ = 0, cmd_ = 0;
    uint64_t count_ = 0;
    bool cancelled_ = false, attention_ = false;
    DWORD lastPoll_ = 0;
    bool procedure_ = false, failed_ = false;
    struct Return {
        uint16_t ordinal;
        std::string name;
        int32_t value;
    };
    std::vector<Return> returns_;
};

Connection::Connection(Instance& instance, tds::Stream& stream)
    : instance_(instance), stream_(stream), reader_(stream, kMaxMessage), writer_(stream) {}

void Connection::send(const Bytes& tokens) {
    writer_.append(tokens);
    writer_.endMessage();
}

void Connection::run() {
    try {
        while (!gone_) {
            std::optional<tds::Message> msg = reader_.next();
            if (!msg) return;
            if (!session_) {
                if (msg->type == tds::kPreLogin) {
                    tds::parsePreLogin(msg->payload);
                    send(tds::preLoginReply(ServerIdentity::kVersion));
                } else if (msg->type == tds::kLogin7) {
                    if (!login(*msg)) return;
                } else {
                    return;  // nothing else is allowed before a login
                }
                continue;
            }
            switch (msg->type) {
                case tds::kSqlBatch:
                    batch(*msg);
                    break;
                case tds::kAttention:
                    attentionAck();
                    break;
                case tds::kRpc:
                    rpc(*msg);
                    break;
                case tds::kTransactionManager: {
                    tds::TokenWriter t(tdsVersion_, instance_.serverName());
                    t.done(tds::kDone, tds::kDoneFinal, 0, 0);
                    send(t.take());
                    break;
                }
                default:
                    return;
            }
        }
    } catch (const std::exception&) {
        // Malformed input or a broken connection: the client is dropped, the server goes on.
    }
}

bool Connection::login(const tds::Message& msg) {
    tds::Login7 l = tds::parseLogin7(msg.payload);
    if ((l.tdsVersion >> 24) < 0x70) return false;  // TDS 4.x / 5.0 clients are not served
    tdsVersion_ = l.tdsVersion;
    if ((tdsVersion_ >> 24) > 0x74) tdsVersion_ = 0x74000004;
    tds::TokenWriter t(tdsVersion_, instance_.serverName());
    auto refuse = [&](std::vector<ServerMessage> messages) {
        for (ServerMessage& m : messages) t.message(m);
        t.done(tds::kDone, tds::kDoneError, 0, 0);
        send(t.take());
        return false;
    };
    const ServerMessage loginFailed{18456, 1, 14, "Login failed for user '" + l.userName + "'."};
    if (l.userName.empty() && l.integratedSecurity)
        return refuse(
            {{18452, 1, 14,
              "Login failed. The login is from an untrusted domain and cannot be used with Windows authentication."}});
    if (!instance_.checkLogin(l.userName, l.password)) return refuse({loginFailed});
    auto session = instance_.newSession(l.userName);
    ServerMessage dbError;
    if (!session->open(l.database, dbError)) return refuse({dbError, loginFailed});
    session_ = std::move(session);

    uint32_t packetSize = l.packetSize == 0 ? 4096 : l.packetSize;
    packetSize = std::clamp<uint32_t>(packetSize, 512, 32767);
    writer_.setSpid(static_cast<uint16_t>(session_->spid()));
    t.envDatabase(session_->database(), "master");
    t.message({5701, 2, 0, "Changed database context to '" + session_->database() + "'."});
    t.envCollation();
    t.envLanguage("us_english", "");
    t.message({5703, 1, 0, "Changed language setting to us_english."});
    t.loginAck(ServerIdentity::kProgramName, ServerIdentity::kVersion);
    t.envPacketSize(packetSize, 4096);
    t.done(tds::kDone, tds::kDoneFinal, 0, 0);
    send(t.take());
    writer_.setPacketSize(packetSize);
    return true;
}

void Connection::batch(const tds::Message& msg) {
    ByteReader r(msg.payload);
    if (tds::isTds72OrLater(tdsVersion_)) {
        // ALL_HEADERS: its total length counts itself.
        uint32_t total = r.le32();
        if (total < 4 || total > msg.payload.size()) throw FormatError("bad ALL_HEADERS length");
        r.seek(total);
    }
    const size_t chars = r.remaining() / 2;
    const std::string text = utf16ToUtf8(r.utf16(chars));
    Sink sink(*this);
    session_->runBatch(text, sink);
    sink.finish();
}

// Prepared and parameterised statements arrive as calls of system procedures by number.
void Connection::rpc(const tds::Message& msg) {
    tds::RpcCall call;
    try {
        call = tds::parseRpc(msg.payload, tdsVersion_);
    } catch (const FormatError&) {
        unsupported("The remote procedure call could not be read: a parameter type that this server does not take.");
        return;
    }
    auto& p = call.parameters;
    auto text = [&](size_t i) -> std::string {
        if (i >= p.size()) return {};
        if (auto* s = std::get_if<std::string>(&p[i].value)) return *s;
        return {};
    };
    auto number = [&](size_t i) -> int32_t {
        if (i >= p.size()) return 0;
        if (auto* v = std::get_if<int64_t>(&p[i].value)) return static_cast<int32_t>(*v);
        return 0;
    };
    // Values after the fixed parameters, named as the caller named them or else by their declared names.
    auto values = [&](size_t first, const std::vector<std::string>& names) {
        Session::Parameters out;
        for (size_t i = first; i < p.size(); ++i) {
            std::string name = p[i].name;
            if (name.empty() && i - first < names.size()) name = names[i - first];
            out.emplace_back(name, p[i].value);
        }
        return out;
    };
    Sink sink(*this, true);
    switch (call.procId) {
        case tds::kSpExecuteSql: {
            session_->runBatch(text(0), sink, values(2, tds::declaredNames(text(1))));
            break;
        }
        case tds::kSpPrepExec:
        case tds::kSpPrepare: {
            const int32_t handle = nextHandle_++;
            Prepared prep{text(2), tds::declaredNames(text(1))};
            prepared_[handle] = prep;
            if (call.procId == tds::kSpPrepExec) session_->runBatch(prep.sql, sink, values(3, prep.names));
            sink.returnValue(0, p.empty() ? std::string("@handle") : p[0].name, handle);
            break;
        }
        case tds::kSpExecute: {
            auto it = prepared_.find(number(0));
            if (it == prepared_.end()) {
                sink.message(
                    {8179, 2, 16, "Could not find prepared statement with handle " + std::to_string(number(0)) + "."});
                sink.statementDone(StatementKind::Other, -1, true);
            } else {
                session_->runBatch(it->second.sql, sink, values(1, it->second.names));
            }
            break;
        }
        case tds::kSpUnprepare:
            prepared_.erase(number(0));
            break;
        default: {
            const std::string name = call.procName.empty() ? "#" + std::to_string(call.procId) : call.procName;
            sink.message({2812, 62, 16, "Could not find stored procedure '" + name + "'."});
            sink.statementDone(StatementKind::Other, -1, true);
        }
    }
    sink.finish();
}

void Connection::unsupported(const std::string& what) {
    tds::TokenWriter t(tdsVersion_, instance_.serverName());
    t.message({50000, 1, 16, what});
    t.done(tds::kDoneProc, tds::kDoneError, 0, 0);
    send(t.take());
}

void Connection::attentionAck() {
    tds::TokenWriter t(tdsVersion_, instance_.serverName());
    t.done(tds::kDone, tds::kDoneAttention, 0, 0);
    send(t.take());
}

}  // namespace standin
