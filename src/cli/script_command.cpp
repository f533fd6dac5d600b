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

    auto listPath = std::make_shared<std::string>();
    auto* list = script->add_subcommand("list", "Print the script of a configuration file, one line per statement");
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
