/* A tiny shared object for the Linux library loading test: two exported functions. */
int tiny_answer(void) {
    return 42;
}

int tiny_twice(int n) {
    return 2 * n;
}
