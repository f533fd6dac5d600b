#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace varnel::test {

struct CliResult {
    int status = -1;
    std::string out;  // stdout
    std::string err;  // stderr
};

// Runs varnelcfg-cli with the given argument text (already quoted for the
// shell) and collects its exit status, stdout and stderr.
inline CliResult runCli(const std::string& args, const std::string& stdinText = {}) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path();
    const fs::path errPath = dir / ("varnel-cli-err-" + std::to_string(::getpid()) + ".txt");
    const fs::path inPath = dir / ("varnel-cli-in-" + std::to_string(::getpid()) + ".txt");
    {
        std::FILE* in = std::fopen(inPath.c_str(), "wb");
        std::fwrite(stdinText.data(), 1, stdinText.size(), in);
        std::fclose(in);
    }
    // Backups (and anything else kept in the data folder) stay in the test's own.
    const std::string cmd = "XDG_DATA_HOME=" + (dir / ("varnel-cli-data-" + std::to_string(::getpid()))).string() +
                            " " + std::string(VARNEL_CLI_PATH) + " " + args + " <" + inPath.string() + " 2>" +
                            errPath.string();
    CliResult r;
    std::FILE* pipe = ::popen(cmd.c_str(), "r");
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (std::FILE* e = std::fopen(errPath.c_str(), "rb")) {
        while ((n = std::fread(buf.data(), 1, buf.size(), e)) > 0) r.err.append(buf.data(), n);
        std::fclose(e);
    }
    fs::remove(errPath);
    fs::remove(inPath);
    return r;
}

}  // namespace varnel::test
