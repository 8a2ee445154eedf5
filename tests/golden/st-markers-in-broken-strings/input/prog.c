int g(int s)
{
  return s;
}
int f()
{
  return ("ab
cd");
}
int h()
{
  return "ef
gh";
}
int main()
{
  while (g("u
v") == 0) {
    g("w
x");
  }
  return 0;
}
