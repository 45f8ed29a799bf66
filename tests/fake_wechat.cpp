// Stands in for the client's WeChat.exe in a test's client folder: only its
// version resource is ever read, and it is never run.
int main() { return 0; }
