char path[] = "C:\temp";
char plain[] = "a/b";
int main() {
  char c;
  c = 'A';
  c = '\n';
  print_string("done\n");
  print_string("no escape");
}
