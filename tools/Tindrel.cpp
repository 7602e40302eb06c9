// Stand-in for the maker's driver installer: installs nothing.
int main() {
    return 0;
}
