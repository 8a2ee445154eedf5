#include "vm_harness.h"

#include <sstream>

#include "vm/command.h"

namespace stackvm::testing {

std::string lines(const std::vector<std::string>& text) {
  std::string out;
  for (const std::string& line : text) out += line + "\r\n";
  return out;
}

std::string mainWith(const std::vector<std::string>& body) {
  std::vector<std::string> all{"main:"};
  all.insert(all.end(), body.begin(), body.end());
  all.push_back("end_function_func_main:");
  all.push_back("return");
  return lines(all);
}

Outcome runFiles(const Files& files, const std::vector<std::string>& options,
                 const std::string& input) {
  std::map<std::string, std::string> disk = files.extra;
  disk["t.001"] = files.code;
  disk["t.002"] = "INI_BLOCK_002:\r\n" + files.data2;
  disk["t.003"] = "INI_BLOCK_003:\r\n" + files.data3;
  disk["t.004"] = "INI_BLOCK_004:\r\n" + files.data4;
  disk["Sys10.c"] = files.sys10;
  if (!disk.count("stackvm.h")) disk["stackvm.h"] = *readFile(STACKVM_HEADER);
  for (const std::string& name : files.missing) disk.erase(name);
  FileReader reader = [&disk](const std::string& path) -> std::optional<std::string> {
    auto it = disk.find(path);
    if (it == disk.end()) return std::nullopt;
    return it->second;
  };
  std::vector<std::string> args{"t.c"};
  args.insert(args.end(), options.begin(), options.end());
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  Outcome o;
  o.status = runCommand(args, {in, out, err}, reader);
  o.out = out.str();
  o.err = err.str();
  return o;
}

Outcome runValue(const std::vector<std::string>& body, const std::string& data) {
  std::vector<std::string> code = body;
  code.push_back("push_parameter print_long");
  code.push_back("gosub");
  Files f;
  f.code = mainWith(code);
  f.data4 = data;
  return runFiles(f);
}

}  // namespace stackvm::testing
