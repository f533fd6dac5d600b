#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>

#include "cli/commands.h"
#include "cli/stderr_ui.h"
#include "script/script_file_operations.h"

namespace varnel::cli {

namespace {

bool readListingText(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

}  // namespace

void addScriptCommand(CLI::App& app, int& status) {
    auto* script = app.add_subcommand("script", "Show, patch-list or compile a tracker's on-board script");
    script->require_subcommand(1);
    script->footer("Script text: 'list' prints one statement a line, indented as in the script editor, and\n"
                   "'compile' reads it back to exactly the stored bytes. Lines are as the editor shows them,\n"
                   "with these differences so that any stored program survives the round trip:\n"
                   "  If In Area corners have five decimals, or as many more as the stored angle needs.\n"
                   "  Escaped Exec \"TEXT\" and Escaped Macro \"NAME\": an Exec text or macro name holding\n"
                   "    control or non-ASCII bytes, written with the escapes of PrintA texts: \\a \\b \\t \\n \\r,\n"
                   "    \\xhh for any byte, \\\\ for a backslash.\n"
                   "  Bytes ab 23 80: one whole statement as its bytes in hexadecimal, for a stored statement\n"
                   "    no editor line can hold (an If Flags value bit outside its mask, a text without its\n"
                   "    closing 0x00, an If In Area with extra bytes, ...).\n"
                   "'compile' also reads a code listing saved from the script editor.");

    auto listPath = std::make_shared<std::string>();
    auto* list = script->add_subcommand(
        "list", "Print the script of a configuration file, one line per statement, as 'compile' reads it back");
    list->add_option("FILE", *listPath, "configuration file (.cfg)")->required();
    list->callback([listPath, &status] {
        StderrUi ui;
        std::vector<std::string> lines;
        if (configScriptLines(*listPath, lines, ui) != 0) {
            status = 1;
            return;
        }
        for (const auto& line : lines) std::cout << line << '\n';
    });

    auto patchPath = std::make_shared<std::string>();
    auto* patch = script->add_subcommand("patch", "Print the script of a configuration file as PATCH lines");
    patch->add_option("FILE", *patchPath, "configuration file (.cfg)")->required();
    patch->callback([patchPath, &status] {
        StderrUi ui;
        std::string listing;
        if (configScriptPatch(*patchPath, listing, ui) != 0) {
            status = 1;
            return;
        }
        std::cout << listing;
    });

    struct CompileOptions {
        std::string text;
        std::string into;
        std::string chip = "AP64";
    };
    auto options = std::make_shared<CompileOptions>();
    auto* compile = script->add_subcommand(
        "compile", "Compile a code listing: print its PATCH lines, or store it in a configuration file");
    compile->add_option("TEXT", options->text, "code listing file, as 'script list' prints it ('-': stdin)")
        ->required();
    auto* into = compile->add_option("--into", options->into, "store the program in this configuration file");
    compile->add_option("--chip", options->chip, "chip whose script area the PATCH lines address")
        ->capture_default_str()
        ->excludes(into);
    compile->callback([options, &status] {
        StderrUi ui;
        std::string text;
        if (!readListingText(options->text, text)) {
            ui.message("Cannot read " + options->text);
            status = 1;
            return;
        }
        std::vector<std::vector<std::uint8_t>> statements;
        if (readCodeListingStatements(text, statements, ui) != 0) {
            status = 1;
            return;
        }
        if (!options->into.empty()) {
            const int size = storeScriptInConfig(options->into, statements, ui);
            if (size < 0) {
                status = 1;
                return;
            }
            std::cerr << size - 1 << " of 512 bytes stored in " << options->into << '\n';
            return;
        }
        std::string listing;
        if (chipScriptPatch(options->chip, statements, listing, ui) != 0) {
            status = 1;
            return;
        }
        std::cout << listing;
    });
}

}  // namespace varnel::cli
