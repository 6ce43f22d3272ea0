// vestrake: checks and translates one PL/SQL source.
#include "command_line.h"

int main(int argc, char** argv) { vestrakeMain(argc, argv); }
