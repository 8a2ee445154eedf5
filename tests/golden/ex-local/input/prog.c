








int main() {
int x;
x = 5;
}
