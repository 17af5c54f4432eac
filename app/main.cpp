// TODO(app)
int main() { return 0; }
