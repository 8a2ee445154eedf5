int a;
int b;
char c;
int arr[4];
void main() {
  a = 5;
  a = b = 5;
  c = a = 300;
  a += b = 3;
  a = b += 2;
  arr[1] = a = 7;
}
