// The pff command-line tool.

#include "cli/run_pff.h"

int main(int argc, char** argv) { return pff::cli::RunPff(argc, argv); }
