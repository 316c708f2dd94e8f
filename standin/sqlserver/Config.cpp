#include "Config.h"

#include <sstream>
#include <stdexcept>

#include "Files.h"
#include "Text.h"

namespace standin {

namespace {
std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}
}  // namespace

ServerConfig ServerConfig::load(const std::string& path) {
    auto data = files::read(path);
    if (!data) throw std::runtime_error("cannot read the configuration file " + path);
    return parse(std::string(data->begin(), data->end()));
}

ServerConfig ServerConfig::parse(const std::string& text) {
    ServerConfig cfg;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF) line = trim(line.substr(3));  // BOM
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = lower(trim(line.substr(1, line.size() - 2)));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || section != "logins") continue;
        cfg.addLogin(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }
    return cfg;
}

void ServerConfig::addLogin(const std::string& login, const std::string& password) {
    logins_[lower(login)] = password;
}

bool ServerConfig::checkLogin(const std::string& login, const std::string& password) const {
    auto it = logins_.find(lower(login));
    return it != logins_.end() && it->second == password;
}

}  // namespace standin
