char s[4] = "ab";
int i;
void main() {
  if (i) { i = 1; }
  print("hi");
}
