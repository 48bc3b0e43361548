// The first runnable program: one window with one editor.
int main() { return 0; }
