#include <cstdio>

int main() {
    std::fputs("telvo-clock: the clock window is not built yet\n", stderr);
    return 1;
}
