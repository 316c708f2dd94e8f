#pragma once

#include <string>
#include <vector>

// The machine's local IPv4 addresses as text ("192.168.1.5"), in the order the system lists its network adapters;
// adapters that are down and the loopback adapter are left out. Empty when there is none or the list cannot be read.
std::vector<std::wstring> LocalIPAddresses();
