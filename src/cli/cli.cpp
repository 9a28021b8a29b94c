#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <set>
#include <ostream>
#include <unistd.h>

#include "cli/irr_command.h"
#include "cli/simulate_command.h"
#include "cli/usage_error.h"
#include "core/version.h"

namespace valmora::cli {
namespace {

// What CLI11 would say less clearly: no command, a word that is no command,
// an option given twice (a script that repeats one has a fault).
void CheckWords(const std::vector<std::string>& args) {
    if (args.size() < 2) throw UsageError("a command is required: irr or simulate (see valmora-cli --help)");
    const std::string& command = args[1];
    if (!command.empty() && command[0] != '-' && command != "irr" && command != "simulate" && command != "help")
        throw UsageError("'" + command + "' is not a command: irr or simulate (see valmora-cli --help)");
    std::set<std::string> seen;
    for (std::size_t k = 1; k < args.size() && args[k] != "--"; ++k) {
        const std::string& word = args[k];
        if (!word.starts_with("--")) continue;
        const std::string name = word.substr(0, word.find('='));
        if (!seen.insert(name).second) throw UsageError(name + " was given twice");
    }
}

}  // namespace

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    CLI::App app{"Valmora: the internal rate of return (IRR) of an investment, on the command line."};
    app.name("valmora-cli");
    app.require_subcommand(1);
    app.footer("Run 'valmora-cli COMMAND --help' for the options of a command.");
    app.set_version_flag("--version,-V", std::string("valmora-cli ") + kVersionText, "Print the version and exit");
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.get_formatter()->label("SUBCOMMANDS", "COMMANDS");
    app.get_formatter()->label("TEXT", "WORD");

    IrrOptions irr;
    CLI::App* irrCommand = AddIrrCommand(app, irr);
    SimulateOptions simulate;
    CLI::App* simulateCommand = AddSimulateCommand(app, simulate);

    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    // What went to standard output must have reached it: a full disk is an
    // error, not a success.
    auto written = [&](int status) {
        errno = 0;
        out.flush();
        if (out) return status;
        err << "valmora-cli: cannot write the output" << (errno ? std::string(": ") + std::strerror(errno) : "")
            << "\n";
        return 1;
    };
    try {
        CheckWords(args);
        if (args.size() == 2 && args[1] == "help") {
            out << app.help();
            return written(0);
        }
        app.parse(static_cast<int>(argv.size()), argv.data());
        if (irrCommand->parsed()) return written(RunIrr(irr, in, out, err));
        // A progress bar only for a person watching the terminal.
        if (simulateCommand->parsed()) return written(RunSimulate(simulate, out, err, &err == &std::cerr && isatty(2)));
    } catch (const CLI::CallForHelp&) {
        // The help of the command asked for, or of the program.
        const CLI::App* asked = &app;
        for (const CLI::App* sub : app.get_subcommands()) asked = sub;
        out << (asked == &app ? app.help() : asked->help(app.get_name()));
        return written(0);
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return written(0);
    } catch (const CLI::ExtrasError& e) {
        std::string what = e.what();
        if (const auto colon = what.find(": "); colon != std::string::npos) what = what.substr(colon + 2);
        err << "valmora-cli: not expected: " << Shown(what) << " (see valmora-cli --help)\n";
        return kUsageStatus;
    } catch (const CLI::ParseError& e) {
        err << "valmora-cli: " << Shown(e.what()) << "\n";
        return kUsageStatus;
    } catch (const UsageError& e) {
        err << "valmora-cli: " << Shown(e.what()) << "\n";
        return kUsageStatus;
    } catch (const std::exception& e) {
        err << "valmora-cli: " << Shown(e.what()) << "\n";
        return 1;
    }
    return kUsageStatus;
}

}  // namespace valmora::cli
