// A stand-in worm: it does nothing but wait until it is terminated. The Wine
// tests copy it under a worm's name into the folders that worms use. It ends
// by itself after two minutes so that a failed test never leaves it behind.
#include <windows.h>

int main() {
  Sleep(120000);
  return 0;
}
