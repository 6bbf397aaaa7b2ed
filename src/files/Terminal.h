#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::files {

// Whether the stream writes to a terminal, where a line may be redrawn in place; not to a
// file or a pipe, which should receive nothing but results.
bool isTerminal(std::FILE* stream);

// The program's arguments, its name first: on Windows in UTF-8, read from the command line
// the system keeps in UTF-16 (argv there is in the ANSI code page, which cannot hold every
// name); elsewhere argv's bytes as the system gave them.
std::vector<std::string> programArguments(int argc, char** argv);

// Writes UTF-8 text to the stream. A Windows console is given it as characters, so that every
// name shows as it is; files, pipes and other systems' terminals get the bytes.
void writeText(std::FILE* stream, std::string_view text);

// A window program started from a console (on Windows it gets none of its own) prints to that
// console from here on; a no-op where standard output and error already go somewhere.
void useParentConsole();

} // namespace kalvex::files
