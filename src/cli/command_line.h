// korva's command line: the subcommands, their options, help and version.
#pragma once

// Parses argv and runs the subcommand; returns the exit status (1 for a
// command line that cannot be used, with one error line on standard error).
int run_command_line(int argc, char** argv);
