#include "cli_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tl::cli {

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

CliResult RunCli(const std::string& args, const std::filesystem::path& scratch,
                 const std::filesystem::path& workFolder) {
    const std::string home = scratch.string();
    std::string cmd;
    if (!workFolder.empty()) cmd = "cd '" + workFolder.string() + "' && ";
    cmd += "HOME='" + home + "' XDG_DATA_HOME='" + home + "/data' XDG_CONFIG_HOME='" + home +
           "/config' '" TL_CLI_EXE "' " + args + " >'" + home + "/out' 2>'" + home +
           "/err' </dev/null";
    int status = std::system(cmd.c_str());
    CliResult r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(scratch / "out");
    r.err = Slurp(scratch / "err");
    return r;
}

}  // namespace tl::cli
