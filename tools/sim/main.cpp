// TODO(sim): standalone simulated controller.
int main() { return 0; }
