// Exit code 0 when a top-level window of the class named on the command line
// exists, 1 when none does, 2 on a wrong command line. The installer tests
// use it to wait for a started program's window.
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  return FindWindowA(argv[1], nullptr) != nullptr ? 0 : 1;
}
