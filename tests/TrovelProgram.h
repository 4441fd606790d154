// RunTrovel: runs the trovel program that the build made (TROVEL_BINARY)
// with `arguments`, as a shell reads them, and returns what it printed on
// standard output and standard error together.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace trovel {

inline std::string RunTrovel(const std::string& arguments) {
  const std::string command = std::string(TROVEL_BINARY) + " " + arguments + " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe.get())) out.append(buffer.data(), n);
  return out;
}

}  // namespace trovel
