#include "platform/DbCommand.h"

namespace zz {

void TDbCommand::Execute() {
    FConnection.Execute(FCommandText);
}

TDbRowSet TDbCommand::ExecuteWithRows() {
    return FConnection.Query(FCommandText);
}

}  // namespace zz
