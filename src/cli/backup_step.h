#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace varnel {
class BootLink;
class UserInterface;
struct WriteResult;
}  // namespace varnel

namespace varnel::cli {

// The backup every writing command makes first, and its --no-backup flag.
class BackupStep {
public:
    void addOption(CLI::App* cmd);
    // Saves the tracker's settings and script. False after a message when
    // that failed: the command then writes nothing.
    bool run(BootLink& link, UserInterface& ui);
    // Prints where the backup went (nothing when none was made).
    void report() const;
    // After a failed write: what is incomplete, that the tracker can be
    // written again, and how to put the backup back.
    void reportFailedWrite(const BootLink& link, const WriteResult& write, const std::string& port,
                           UserInterface& ui) const;

private:
    bool skip_ = false;
    std::string path_;
};

}  // namespace varnel::cli
