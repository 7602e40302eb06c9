// The CD-menu tool: there is no CD menu to minimise or restore here.
int main() {
    return 0;
}
