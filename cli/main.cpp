// korvalin-cli.exe: a console program beside korvalin.exe.
#include <new>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  try {
    // The C runtime gives the arguments in the ANSI code page, the code page
    // of every text of the program.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return cli::Run(args);
  } catch (const std::bad_alloc&) {
    platform::WriteStandardStream(platform::StandardStream::Error, "korvalin-cli: 内存不足\r\n");
    return cli::kInternalFailure;
  }
}
