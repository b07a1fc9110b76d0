// Linked with every object of pipcore and nothing of pipwin: the build fails here when the
// portable library or a seam implementation calls into one of our windows.
int main() {
    return 0;
}
