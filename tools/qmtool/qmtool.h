#pragma once

// Runs qmtool with the given command line; returns its exit code.
int runQmtool(int argc, char** argv);
