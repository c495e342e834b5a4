// Files that must not outlive a run that stops: a report or model file being
// written under a temporary name is removed at every stop the program controls
// (an error, a numerical stop, an interrupt or termination signal), so that a
// stopped run never leaves something that looks like a result.
#pragma once

// Registers path for removal at a stop (at most a few at a time). The path is
// copied.
void remove_at_stop(const char* path);

// Takes path off the list again (after it has been renamed into place, or
// removed by its owner).
void keep_at_stop(const char* path);

// Removes every registered file now and clears the list. Called by the run's
// stops; safe to call from a signal handler.
void remove_registered_files();

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the registered
// files and then end the process with the signal's default action.
void remove_files_on_signals();
