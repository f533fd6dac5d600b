#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

class UserInterface;
struct Session;

// The script work the command line does on configuration files, kept here so
// it is the same code the tests run.

// Loads a configuration file offline and checks that its chip keeps a script.
// 0, or -1 after a message.
int loadScriptConfig(const std::string& path, Session& session, UserInterface& ui);

// The script of a configuration file as the command line's text: one line
// per statement, indented as in the editor, each reading back to exactly its
// stored bytes (exact_script_text.h).
int configScriptLines(const std::string& path, std::vector<std::string>& lines, UserInterface& ui);

// The patch listing of a configuration file's script, addressed at its chip's
// script area.
int configScriptPatch(const std::string& path, std::string& listing, UserInterface& ui);

// Reads a code listing into statement bytes. 0, or -1 after a message naming
// the first line that is not a statement.
int readCodeListingStatements(std::string_view text, std::vector<std::vector<std::uint8_t>>& statements,
                              UserInterface& ui);

// Compiles the statements into the configuration file's script area and saves
// the file. The program size with its terminator, or -1 after a message; the
// file is not written when the program does not fit.
int storeScriptInConfig(const std::string& path, const std::vector<std::vector<std::uint8_t>>& statements,
                        UserInterface& ui);

// The patch listing of the statements for a chip named in the target table.
int chipScriptPatch(const std::string& chipName, const std::vector<std::vector<std::uint8_t>>& statements,
                    std::string& listing, UserInterface& ui);

}  // namespace varnel
