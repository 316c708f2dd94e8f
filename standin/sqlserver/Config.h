#pragma once

#include <map>
#include <optional>
#include <string>

namespace standin {

// The server's configuration file: an ini file whose [logins] section maps login names to passwords.
class ServerConfig {
public:
    // Throws std::runtime_error when the file cannot be read.
    static ServerConfig load(const std::string& path);
    static ServerConfig parse(const std::string& text);

    // True when `login` exists (names compare without regard to case) and its password is exactly `password`.
    bool checkLogin(const std::string& login, const std::string& password) const;
    void addLogin(const std::string& login, const std::string& password);

private:
    std::map<std::string, std::string> logins_;  // keyed by the lower-cased name
};

}  // namespace standin
