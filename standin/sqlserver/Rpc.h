#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Bytes.h"
#include "Results.h"

namespace standin::tds {

// The system procedures that clients call by number for prepared and parameterised statements.
enum ProcId : uint16_t {
    kSpExecuteSql = 10,
    kSpPrepare = 11,
    kSpExecute = 12,
    kSpPrepExec = 13,
    kSpUnprepare = 15,
};

struct RpcParameter {
    std::string name;  // with its @, may be empty
    bool output = false;
    Value value;
};

struct RpcCall {
    uint16_t procId = 0;   // also set for a known procedure called by name
    std::string procName;  // lower-cased
    std::vector<RpcParameter> parameters;
};

// Parses one RPC request (the first call of a batch of calls). Throws FormatError on malformed input or a
// parameter type the server does not take.
RpcCall parseRpc(const Bytes& payload, uint32_t tdsVersion);

// "@P1 int, @P2 nvarchar(10)" -> {"@P1", "@P2"}
std::vector<std::string> declaredNames(const std::string& declaration);

}  // namespace standin::tds
