// Ends with the exit code given on its command line, so the harness can
// show that a failing Windows program fails its test.
#include <cstdlib>

int main(int argc, char** argv) {
  return argc > 1 ? std::atoi(argv[1]) : 0;
}
