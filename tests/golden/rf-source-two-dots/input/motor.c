int old;
int main()
{
  return 1;
}
