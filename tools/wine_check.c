/* Proves that Wine really runs an exe of this build: it must print its line
   and return 42. A 32-bit exe without wine32 exits 0 silently instead. */
#include <stdio.h>

int main(void) {
  puts("wine-check: alive");
  return 42;
}
